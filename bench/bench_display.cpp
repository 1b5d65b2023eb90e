// Frames of the headless device: a frame with nothing drawn (clear and
// present) at three region sizes, blended quads sent in one draw call,
// reading single pixels of a surface, and frames that draw many surfaces.
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
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EmptyFrame)
    ->Arg(320)
    ->Arg(640)
    ->Arg(1024)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BlendedQuads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// 1,000 single pixels read back from a 256 × 256 surface, each after a
// little drawing into it, so every read waits for the drawing before it.
void BM_SurfaceGetpixel(benchmark::State& state) {
  Headless run(640, 480);
  px::SurfaceTable& surfaces = run.display.surfaces;
  const int s = surfaces.Create(256, 256);
  std::uint32_t sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      surfaces.SetTarget(s);
      run.display.device.ClearTarget(static_cast<std::uint32_t>(i), 1);
      surfaces.ResetTarget();
      sum += surfaces.Pixel(s, i % 256, i / 4 % 256).value_or(0);
    }
  }
  benchmark::DoNotOptimize(sum);
  state.counters["reads/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 1000,
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SurfaceGetpixel)->Unit(benchmark::kMillisecond)->UseRealTime();

// Frames that draw 100 surfaces of 256 × 256, half of them blended, over a
// 640 × 480 region.
void BM_DrawSurfaces(benchmark::State& state) {
  Headless run(640, 480);
  px::SurfaceTable& surfaces = run.display.surfaces;
  std::vector<int> textures;
  for (int i = 0; i < 100; ++i) {
    const int s = surfaces.Create(256, 256);
    surfaces.SetTarget(s);
    run.display.device.ClearTarget(static_cast<std::uint32_t>(i * 0x020406), 1);
    textures.push_back(surfaces.Get(s)->texture);
  }
  surfaces.ResetTarget();
  for (auto _ : state) {
    run.display.device.ClearTarget(0, 1);
    for (int i = 0; i < 100; ++i)
      run.display.draw.TextureExt(textures[static_cast<std::size_t>(i)], 0, 0, i * 37 % 384,
                                  i * 53 % 224, 1, 1, 0, 0xFFFFFF, i % 2 ? 0.5 : 1.0);
    run.display.EndFramePresent();
    run.display.device.BeginFrame();
  }
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawSurfaces)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
