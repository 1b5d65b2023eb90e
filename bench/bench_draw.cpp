// Sprite drawing against the best a program could do on the same context:
// 10,000 sprites of 32 × 32 per frame, each through the textured-quad
// routine behind draw_sprite_ext, beside a raw loop that writes the same
// quads into one array and draws them with the same texture in one call.
// Both end every frame with a present; 300 frames each. The ratio printed
// at the end is raw time / our time (1.0: as fast as the raw loop).
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/Graphics_Display.h"
#include "platform/Platform.h"

namespace {

constexpr int kSprites = 10000;
constexpr int kFrames = 300;

struct Headless {
  std::ostringstream out;
  std::unique_ptr<px::Platform> platform = px::CreateHeadlessPlatform(out);
  px::Display display{*platform};
  int texture = -1;

  Headless() {
    display.SetRegionSize(640, 480, true);
    display.device.Create(*display.window(), 640, 480, false, "bench");
    display.device.BeginFrame();
    px::TBitmap32 image(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) image.row(y)[x] = (x + y) % 8 < 4 ? 0xC0FF8040u : 0x80FFFFFFu;
    texture = display.textures.TextureFromImage(image);
  }
  void EndFrame() {
    display.EndFramePresent();
    display.device.BeginFrame();
  }
};

// Where sprite i goes in frame f: spread over the region and moving.
float SpriteX(int i, int f) {
  return static_cast<float>((i * 37 + f) % 608);
}
float SpriteY(int i, int f) {
  return static_cast<float>((i * 53 + f) % 448);
}

void BM_DrawSprites(benchmark::State& state) {
  Headless run;
  int frame = 0;
  for (auto _ : state) {
    run.display.device.ClearTarget(0, 1);
    for (int i = 0; i < kSprites; ++i)
      run.display.draw.TextureExt(run.texture, 0, 0, SpriteX(i, frame), SpriteY(i, frame), 1, 1, 0,
                                  0xFFFFFF, 1);
    run.EndFrame();
    ++frame;
  }
  state.counters["sprites/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kSprites, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawSprites)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

struct RawVertex {
  float x, y, z;
  std::uint32_t color;
  float u, v;
};

void BM_RawBatchedGL(benchmark::State& state) {
  Headless run;
  const GLuint texture = run.display.textures.Get(run.texture)->texture;
  std::vector<RawVertex> vertices(kSprites * 4);
  std::vector<GLuint> indices(kSprites * 6);
  for (GLuint q = 0; q < kSprites; ++q) {
    const GLuint b = q * 4;
    const GLuint quad[6] = {b, b + 1, b + 2, b, b + 2, b + 3};
    std::copy(quad, quad + 6, indices.begin() + q * 6);
  }
  int frame = 0;
  for (auto _ : state) {
    run.display.device.ClearTarget(0, 1);
    for (int i = 0; i < kSprites; ++i) {
      const float x = SpriteX(i, frame) - 0.5f, y = SpriteY(i, frame) - 0.5f;
      RawVertex* v = &vertices[static_cast<std::size_t>(i) * 4];
      v[0] = {x, y, 0, 0xFFFFFFFF, 0, 0};
      v[1] = {x + 32, y, 0, 0xFFFFFFFF, 1, 0};
      v[2] = {x + 32, y + 32, 0, 0xFFFFFFFF, 1, 1};
      v[3] = {x, y + 32, 0, 0xFFFFFFFF, 0, 1};
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(RawVertex), &vertices[0].x);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(RawVertex), &vertices[0].color);
    glTexCoordPointer(2, GL_FLOAT, sizeof(RawVertex), &vertices[0].u);
    glDrawElements(GL_TRIANGLES, kSprites * 6, GL_UNSIGNED_INT, indices.data());
    run.EndFrame();
    ++frame;
  }
  state.counters["sprites/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kSprites, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RawBatchedGL)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

// The console report, keeping each benchmark's time per frame for the
// ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.iterations > 0) times[r.benchmark_name()] = r.real_accumulated_time / r.iterations;
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const std::string ours = "BM_DrawSprites/iterations:300/real_time";
  const std::string raw = "BM_RawBatchedGL/iterations:300/real_time";
  if (reporter.times.count(ours) && reporter.times.count(raw))
    std::printf("frame: draw_sprite %.2f ms, raw GL %.2f ms, speed ratio %.3f\n",
                reporter.times[ours] * 1e3, reporter.times[raw] * 1e3,
                reporter.times[raw] / reporter.times[ours]);
  benchmark::Shutdown();
  return 0;
}
