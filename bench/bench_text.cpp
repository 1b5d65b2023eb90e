// Text drawing through the glyph quads: 200 lines of 60 characters a
// frame in a 12-point system font, laid out and drawn each frame, centred
// and wrapped; 300 frames.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_Font.h"
#include "platform/Platform.h"
#include "resources/Font_Class.h"

namespace {

constexpr int kLines = 200;
constexpr int kFrames = 300;

struct Headless {
  std::ostringstream out;
  std::unique_ptr<px::Platform> platform = px::CreateHeadlessPlatform(out);
  px::Display display{*platform};
  px::CFont font;
  std::string text;

  Headless() {
    display.SetRegionSize(640, 480, true);
    display.device.Create(*display.window(), 640, 480, false, "bench");
    display.device.BeginFrame();
    px::RenderSystemFont(font, "DejaVu Sans", 12, false, false, 32, 127);
    px::MakeTextures(display.textures, font);
    for (int i = 0; i < 60; ++i) text += static_cast<char>('a' + (i * 7) % 26);
    text[20] = text[40] = ' ';
  }
};

void BM_TextLines(benchmark::State& state) {
  Headless run;
  px::TextStyle style;
  style.halign = 1;
  style.width = 300;
  for (auto _ : state) {
    for (int f = 0; f < kFrames; ++f) {
      run.display.device.ClearTarget(0, 1);
      for (int i = 0; i < kLines; ++i)
        px::DrawText(run.display.draw, run.display.text.layout, run.font, nullptr, 320,
                     (i * 17 + f) % 480, run.text, style);
      run.display.EndFramePresent();
      run.display.device.BeginFrame();
      glFinish();
    }
  }
}
BENCHMARK(BM_TextLines)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
