// Sprite drawing against the best a program could do on the same context:
// 10,000 sprites of 32 × 32 per frame, each through the textured-quad
// routine behind draw_sprite_ext, beside a raw loop that writes the same
// quads into one array and draws them with the same texture in one call.
// Both end every frame with a present; 300 frames each.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
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
  // Presents and waits until the frame is drawn, so its time is its own.
  void EndFrame() {
    display.EndFramePresent();
    display.device.BeginFrame();
    glFinish();
  }
};

// Where sprite i goes in frame f: spread over the region and moving.
float SpriteX(int i, int f) {
  return static_cast<float>((i * 37 + f) % 608);
}
float SpriteY(int i, int f) {
  return static_cast<float>((i * 53 + f) % 448);
}

// One frame of sprites through the textured-quad routine.
void DrawSprites(Headless& run, int frame) {
  run.display.device.ClearTarget(0, 1);
  for (int i = 0; i < kSprites; ++i)
    run.display.draw.TextureExt(run.texture, 0, 0, SpriteX(i, frame), SpriteY(i, frame), 1, 1, 0,
                                0xFFFFFF, 1);
  run.EndFrame();
}

struct RawVertex {
  float x, y, z;
  std::uint32_t color;
  float u, v;
};

// The same frame written straight into one array and drawn in one call,
// with the states the renderer left (texture, sampler, blending).
struct RawLoop {
  std::vector<RawVertex> vertices = std::vector<RawVertex>(kSprites * 4);
  std::vector<GLuint> indices = std::vector<GLuint>(kSprites * 6);
  RawLoop() {
    for (GLuint q = 0; q < kSprites; ++q) {
      const GLuint b = q * 4;
      const GLuint quad[6] = {b, b + 1, b + 2, b, b + 2, b + 3};
      std::copy(quad, quad + 6, indices.begin() + q * 6);
    }
  }
  void Frame(Headless& run, int frame) {
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
    glBindTexture(GL_TEXTURE_2D, run.display.textures.Get(run.texture)->texture);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(RawVertex), &vertices[0].x);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(RawVertex), &vertices[0].color);
    glTexCoordPointer(2, GL_FLOAT, sizeof(RawVertex), &vertices[0].u);
    glDrawElements(GL_TRIANGLES, kSprites * 6, GL_UNSIGNED_INT, indices.data());
    run.EndFrame();
  }
};

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Frames of the two loops taken in turn on one context, so that a busy
// machine slows both alike. The counters give the time per frame of each
// and the ratio raw time / our time (1.0: as fast as the raw loop).
void BM_SpritesBesideRawGL(benchmark::State& state) {
  Headless run;
  RawLoop raw;
  DrawSprites(run, 0);  // the first frame of each warms the driver up
  raw.Frame(run, 0);
  double ours = 0, theirs = 0;
  int frame = 0;
  for (auto _ : state) {
    // Which loop goes first changes every frame, so neither always
    // follows the other's present.
    const bool oursFirst = frame % 2 == 0;
    for (int k = 0; k < 2; ++k) {
      const auto t0 = std::chrono::steady_clock::now();
      if ((k == 0) == oursFirst) {
        DrawSprites(run, frame);
        ours += Seconds(std::chrono::steady_clock::now() - t0);
      } else {
        raw.Frame(run, frame);
        theirs += Seconds(std::chrono::steady_clock::now() - t0);
      }
    }
    ++frame;
  }
  state.counters["ours_ms"] = ours * 1e3 / frame;
  state.counters["raw_ms"] = theirs * 1e3 / frame;
  state.counters["ratio"] = theirs / ours;
  std::printf("per frame: draw routine %.2f ms, raw batched GL %.2f ms, ratio %.3f\n",
              ours * 1e3 / frame, theirs * 1e3 / frame, theirs / ours);
}
BENCHMARK(BM_SpritesBesideRawGL)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
