// A headless run with its game window and device made, and helpers to draw
// and read pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "code/Function_TestSupport.h"
#include "graphics/Graphics_Display.h"
#include "run/Runtime.h"

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

  // The whole used back buffer.
  px::TBitmap32 Frame() {
    const px::Size size = device().backBuffer();
    auto image = device().ReadBackBuffer(0, 0, size.width, size.height);
    return image ? *image : px::TBitmap32();
  }
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

// Calls a function with real arguments from a table; gives the real result.
inline double CallReals(TestRun& run, std::string_view name, const std::vector<double>& args) {
  std::vector<px::RValue> values;
  for (const double a : args) values.push_back(Real(a));
  return CallWith(run, name, values).real;
}

// Calls a function as the action or code of an instance would, self and
// other being the instance; gives the result.
inline px::RValue CallFor(TestRun& run, px::CInstanceBase* self, std::string_view name,
                          const std::vector<double>& args) {
  const int index = run.rt.code.functions.Find(name);
  if (index < 0) {
    ADD_FAILURE() << name << " is not registered";
    return {};
  }
  px::FunctionArgs slots{};
  for (std::size_t i = 0; i < args.size(); ++i) slots[i].setReal(args[i]);
  px::RValue result;
  run.rt.code.functions[static_cast<std::size_t>(index)].handler(
      run.rt, self, self, static_cast<std::int32_t>(args.size()), result, slots);
  return result;
}

// Each channel of a against b (0xAARRGGBB), within `slack`.
inline ::testing::AssertionResult Near(std::uint32_t a, std::uint32_t b, int slack) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(x - y) > slack) {
      char text[64];
      std::snprintf(text, sizeof text, "%08X is not near %08X", a, b);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

// A w × h image whose pixel (x, y) is colour(x, y).
inline px::TBitmap32 MakeImage(int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
  px::TBitmap32 image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.row(y)[x] = colour(x, y);
  return image;
}

// Every image a different opaque colour per pixel (sizes below 32).
inline std::uint32_t Pattern(int image, int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>((image * 37 + 11) & 0xFF) << 16 |
         static_cast<std::uint32_t>(x * 8) << 8 | static_cast<std::uint32_t>(y * 8);
}

// Adds a sprite of these images (origin xoffset, yoffset) with its
// textures made; returns its number.
inline int AddSprite(px::Runtime& rt, std::vector<px::TBitmap32> images, int xoffset = 0,
                     int yoffset = 0) {
  px::CSprite sprite;
  sprite.images = std::move(images);
  sprite.xoffset = xoffset;
  sprite.yoffset = yoffset;
  const int index = rt.resources.sprites.add("spr" + std::to_string(rt.resources.sprites.count()),
                                             std::move(sprite));
  px::MakeTextures(rt.display.textures, *rt.resources.sprites.get(index));
  return index;
}

inline int AddBackground(px::Runtime& rt, px::TBitmap32 image) {
  px::CBackground background;
  background.image = std::move(image);
  const int index = rt.resources.backgrounds.add(
      "back" + std::to_string(rt.resources.backgrounds.count()), std::move(background));
  px::MakeTextures(rt.display.textures, *rt.resources.backgrounds.get(index));
  return index;
}

}  // namespace pxtest
