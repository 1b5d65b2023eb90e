// A headless run with its game window and device made, and helpers to draw
// and read pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "code/Function_TestSupport.h"
#include "graphics/Graphics_Display.h"

namespace pxtest {

struct DeviceRun : TestRun {
  DeviceRun() {
    run().rt.display.SetRegionSize(64, 48, true);
    px::GameWindow* window = rt.display.window();
    if (!window || !rt.display.device.Create(*window, 64, 48, false, "test"))
      ADD_FAILURE() << "no device: " << out.str();
    rt.display.device.BeginFrame();
  }
  TestRun& run() { return *this; }
  px::Device& device() { return rt.display.device; }

  // The back-buffer pixel (x, y) as 0xAARRGGBB.
  std::uint32_t Pixel(int x, int y) {
    const auto image = device().ReadBackBuffer(x, y, 1, 1);
    return image ? image->GetPixel(0, 0) : 0xDEADBEEF;
  }
  // A rectangle of one vertex colour, from (x1, y1) to (x2, y2), as two
  // triangles at depth z.
  void Fill(float x1, float y1, float x2, float y2, std::uint32_t argb, float z = 0) {
    const px::ColorVertex v[] = {
        {x1, y1, z, argb}, {x2, y1, z, argb}, {x1, y2, z, argb}, {x2, y2, z, argb}};
    device().Draw(px::PrimitiveType::TriangleStrip, v);
  }
};

}  // namespace pxtest
