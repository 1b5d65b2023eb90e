// 100,000 living particles with colour and alpha over their life, gravity
// and an attractor, headless: the time of one update per particle, and the
// time of drawing the system per frame beside a raw loop that writes the
// same quads into one array and draws them with the same texture in one
// call. Both draws end with a present and wait for the frame.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <vector>

#include "particles/Particle_Main.h"
#include "platform/Platform.h"
#include "run/Runtime.h"

namespace {

constexpr int kParticles = 100000;
constexpr double kSize = 0.25;  // 16 × 16 pixels of the 64 × 64 shape
constexpr int kDiskShape = 1;

struct Headless {
  std::ostringstream out;
  std::unique_ptr<px::Platform> platform = px::CreateHeadlessPlatform(out);
  px::Runtime rt{*platform};
  px::Particles& particles = rt.particles.particles;
  std::int32_t system = -1;

  Headless() {
    rt.display.SetRegionSize(640, 480, true);
    rt.display.device.Create(*rt.display.window(), 640, 480, false, "bench");
    rt.display.device.BeginFrame();
    rt.random.seed = 1;
    system = particles.CreateSystem();
    const std::int32_t t = particles.CreateType();
    px::ParticleType& type = *particles.Type(t);
    type.shape = kDiskShape;
    type.size_min = type.size_max = kSize;
    type.life_min = type.life_max = 1000000000;
    type.speed_min = 0.5;
    type.speed_max = 2;
    type.dir_max = 360;
    type.grav_amount = 0.05;
    type.color_mode = px::ColorMode::Three;
    type.color = {0x0000FF, 0x00FFFF, 0xFF0000, 0, 0, 0};
    type.alpha1 = 1;
    type.alpha2 = 0.8;
    type.alpha3 = 0.2;
    px::ParticleSystem& s = *particles.System(system);
    const std::int32_t a = s.attractors.Create();
    s.attractors.Get(a)->x = 320;
    s.attractors.Get(a)->y = 240;
    s.attractors.Get(a)->force = 0.5;
    s.attractors.Get(a)->dist = 1000;
    // Spread over the region, so the draw covers it.
    for (int i = 0; i < kParticles; ++i)
      particles.CreateParticles(system, (i * 37) % 640, (i * 53) % 480, t, 1);
  }
  void EndFrame() {
    rt.display.EndFramePresent();
    rt.display.device.BeginFrame();
    glFinish();
  }
};

void BM_Update(benchmark::State& state) {
  Headless run;
  for (auto _ : state) run.particles.Update(run.system);
  // Seconds per particle and step (shown as, say, "12n" for 12 ns).
  state.counters["per_particle"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kParticles,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Update)->Unit(benchmark::kMillisecond)->MinTime(2.0);

struct RawVertex {
  float x, y, z;
  std::uint32_t color;
  float u, v;
};

// The particles' quads as a program would send them at best: turned and
// scaled like the sprite routine does, one array, one call.
struct RawLoop {
  std::vector<RawVertex> vertices = std::vector<RawVertex>(kParticles * 4);
  std::vector<GLuint> indices = std::vector<GLuint>(kParticles * 6);
  RawLoop() {
    for (GLuint q = 0; q < kParticles; ++q) {
      const GLuint b = q * 4;
      const GLuint quad[6] = {b, b + 1, b + 2, b, b + 2, b + 3};
      std::copy(quad, quad + 6, indices.begin() + q * 6);
    }
  }
  void Frame(Headless& run) {
    run.rt.display.device.ClearTarget(0, 1);
    const px::ParticleArrays& p = run.particles.System(run.system)->particles;
    const double half = 32 * kSize;
    for (std::size_t i = 0; i < p.count(); ++i) {
      const double a = p.angle[i] * std::numbers::pi / 180;
      const double c = std::cos(a) * half, s = std::sin(a) * half;
      const auto x = static_cast<float>(p.x[i]), y = static_cast<float>(p.y[i]);
      const std::uint32_t colour = px::VertexColor(p.color[i], p.alpha[i]);
      RawVertex* v = &vertices[i * 4];
      v[0] = {x + float(-c - s), y + float(s - c), 0, colour, 0, 0};
      v[1] = {x + float(c - s), y + float(-s - c), 0, colour, 1, 0};
      v[2] = {x + float(c + s), y + float(-s + c), 0, colour, 1, 1};
      v[3] = {x + float(-c + s), y + float(s + c), 0, colour, 0, 1};
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D,
                  run.rt.display.textures.Get(run.particles.ShapeTexture(kDiskShape))->texture);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(RawVertex), &vertices[0].x);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(RawVertex), &vertices[0].color);
    glTexCoordPointer(2, GL_FLOAT, sizeof(RawVertex), &vertices[0].u);
    glDrawElements(GL_TRIANGLES, kParticles * 6, GL_UNSIGNED_INT, indices.data());
    run.EndFrame();
  }
};

void DrawParticles(Headless& run) {
  run.rt.display.device.ClearTarget(0, 1);
  run.particles.Draw(run.system, run.rt.resources.sprites, run.rt.display.draw,
                     run.rt.display.device);
  run.EndFrame();
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Frames of the two draws in turn on one context, the first one of each
// left out; the ratio is raw time / our time (1.0: as fast as the raw loop).
void BM_DrawBesideRawGL(benchmark::State& state) {
  Headless run;
  RawLoop raw;
  DrawParticles(run);
  raw.Frame(run);
  double ours = 0, theirs = 0;
  int frame = 0;
  for (auto _ : state) {
    const bool oursFirst = frame % 2 == 0;
    for (int k = 0; k < 2; ++k) {
      const auto t0 = std::chrono::steady_clock::now();
      if ((k == 0) == oursFirst) {
        DrawParticles(run);
        ours += Seconds(std::chrono::steady_clock::now() - t0);
      } else {
        raw.Frame(run);
        theirs += Seconds(std::chrono::steady_clock::now() - t0);
      }
    }
    ++frame;
  }
  state.counters["ours_ms"] = ours * 1e3 / frame;
  state.counters["raw_ms"] = theirs * 1e3 / frame;
  state.counters["ratio"] = theirs / ours;
  std::printf("per frame: particle draw %.2f ms, raw batched GL %.2f ms, ratio %.3f\n",
              ours * 1e3 / frame, theirs * 1e3 / frame, theirs / ours);
}
BENCHMARK(BM_DrawBesideRawGL)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
