// Frames of the headless device: a frame with nothing drawn (clear and
// present) at three region sizes, and blended quads sent in one draw call.
// The software rasteriser draws on threads of its own, so times are wall
// clock.
#include <benchmark/benchmark.h>

#include <sstream>
#include <vector>

#include "graphics/Graphics_Display.h"
#include "platform/Platform.h"

namespace {

struct Headless {
  std::ostringstream out;
  std::unique_ptr<px::Platform> platform = px::CreateHeadlessPlatform(out);
  px::Display display{*platform};

  explicit Headless(int w, int h) {
    display.SetRegionSize(w, h, true);
    display.device.Create(*display.window(), w, h, false, "bench");
    display.device.BeginFrame();
  }
};

void BM_EmptyFrame(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = w * 3 / 4;
  Headless run(w, h);
  for (auto _ : state) {
    run.display.device.ClearTarget(0x336699, 1);
    run.display.EndFramePresent();
    run.display.device.BeginFrame();
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EmptyFrame)->Arg(320)->Arg(640)->Arg(1024)->Unit(benchmark::kMillisecond)->UseRealTime();

// Blended 32 × 32 quads over a 640 × 480 region, all in one draw.
void BM_BlendedQuads(benchmark::State& state) {
  Headless run(640, 480);
  const int count = static_cast<int>(state.range(0));
  std::vector<px::ColorVertex> vertices;
  for (int i = 0; i < count; ++i) {
    const float x = static_cast<float>(i * 37 % 608), y = static_cast<float>(i * 53 % 448);
    const px::ColorVertex a{x, y, 0, 0x80FF8040}, b{x + 32, y, 0, 0x80FF8040},
        c{x, y + 32, 0, 0x80FF8040}, d{x + 32, y + 32, 0, 0x80FF8040};
    vertices.insert(vertices.end(), {a, b, c, b, d, c});
  }
  for (auto _ : state) {
    run.display.device.ClearTarget(0, 1);
    run.display.device.Draw(px::PrimitiveType::TriangleList, vertices);
    run.display.EndFramePresent();
    run.display.device.BeginFrame();
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BlendedQuads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
