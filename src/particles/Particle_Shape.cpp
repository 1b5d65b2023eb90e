// The alpha masks of the fourteen built-in particle shapes, 64 × 64 each,
// white images whose alpha is drawn here. The pixel, disk, square and line
// are exact; the others follow a radial profile, some with fixed noise so
// they look irregular but come out the same on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <utility>
#include <vector>

#include "particles/Particle_Main.h"

namespace px {

namespace {

constexpr int kSide = 64;
constexpr double kCentre = 31.5;

using Mask = std::vector<std::uint8_t>;

std::uint8_t Clamp255(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// Fills each pixel with f(x, y).
template <class F>
Mask Fill(F&& f) {
  Mask m(kSide * kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) m[static_cast<std::size_t>(y * kSide + x)] = Clamp255(f(x, y));
  return m;
}

double Radius(int x, int y) {
  return std::hypot(x - kCentre, y - kCentre);
}

double Angle(int x, int y) {
  return std::atan2(kCentre - y, x - kCentre);
}

// A profile given at a few radii, straight between them, 0 beyond the last.
double Profile(double r, std::initializer_list<std::pair<double, double>> points) {
  auto prev = *points.begin();
  if (r <= prev.first) return prev.second;
  for (const auto& p : points) {
    if (r <= p.first)
      return prev.second + (p.second - prev.second) * (r - prev.first) / (p.first - prev.first);
    prev = p;
  }
  return 0;
}

// Fixed noise from 0 to 1 per pixel.
double Noise(int x, int y, std::uint32_t salt) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                    static_cast<std::uint32_t>(y) * 668265263u + salt * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFF) / 65535.0;
}

// Noise smoothed over a 3 × 3 neighbourhood, so blobs look cloudy rather
// than grainy.
double SoftNoise(int x, int y, std::uint32_t salt) {
  double sum = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) sum += Noise(x / 2 + dx, y / 2 + dy, salt);
  return sum / 9;
}

Mask PixelMask() {
  Mask m(kSide * kSide, 0);
  const auto set = [&m](int x, int y, std::uint8_t v) {
    m[static_cast<std::size_t>(y * kSide + x)] = v;
  };
  set(32, 32, 255);
  for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
    set(32 + dx, 32 + dy, 138);
    set(32 + 2 * dx, 32 + 2 * dy, 32);
  }
  for (const auto& [dx, dy] : {std::pair{1, 1}, {-1, 1}, {1, -1}, {-1, -1}})
    set(32 + dx, 32 + dy, 64);
  return m;
}

// Columns 3 to 60 and rows 3 to 59, two soft pixels at the rim.
Mask DiskMask() {
  return Fill([](int x, int y) {
    const double r = std::hypot(x - kCentre, y - 31.0);
    return r <= 26.75 ? 255 : r <= 27.75 ? 192 : r <= 28.5 ? 128 : 0;
  });
}

Mask SquareMask() {
  return Fill([](int x, int y) {
    if (x < 3 || x > 60 || y < 3 || y > 60) return 0;
    return x == 3 || x == 60 || y == 3 || y == 60 ? 128 : 255;
  });
}

Mask LineMask() {
  const auto row = [](int y) -> double {
    switch (y) {
      case 27:
        return 76;
      case 28:
        return 178;
      case 35:
        return 229;
      case 36:
        return 127;
      case 37:
        return 25;
      default:
        return y >= 29 && y <= 34 ? 255 : 0;
    }
  };
  const auto column = [](int x) -> double {
    if (x >= 8 && x <= 55) return 255;
    if (x >= 4 && x <= 7) return 51.0 * (x - 3);
    if (x >= 56 && x <= 59) return 51.0 * (60 - x);
    return 0;
  };
  return Fill([&](int x, int y) { return row(y) * column(x) / 255; });
}

Mask StarMask() {
  return Fill([](int x, int y) {
    const double r = Radius(x, y);
    const double a = Angle(x, y) - std::numbers::pi / 2;
    const double point = std::pow(std::max(0.0, std::cos(2.5 * a)), 2);
    const double reach = 10 + 16 * std::abs(point);
    if (r <= 10) return 230 - 4 * r;
    if (r >= reach) return 0.0;
    return 190 * (1 - (r - 10) / (reach - 10));
  });
}

Mask CircleMask() {
  return Fill([](int x, int y) {
    const double d = Radius(x, y) - 25.5;
    return 215 * std::exp(-d * d / (2 * 1.2 * 1.2));
  });
}

Mask RingMask() {
  return Fill([](int x, int y) {
    return Profile(
        Radius(x, y),
        {{8, 0}, {10, 15}, {14, 46}, {18, 94}, {22, 173}, {25.5, 232}, {27, 150}, {28, 0}});
  });
}

Mask SphereMask() {
  return Fill([](int x, int y) { return 255 * (1 - Radius(x, y) / 32); });
}

Mask FlareMask() {
  return Fill([](int x, int y) {
    return Profile(Radius(x, y), {{0, 250},
                                  {4, 250},
                                  {6, 196},
                                  {10, 122},
                                  {14, 74},
                                  {18, 43},
                                  {22, 28},
                                  {26, 18},
                                  {32, 8},
                                  {36, 0}});
  });
}

Mask SparkMask() {
  return Fill([](int x, int y) {
    const double r = Radius(x, y);
    const double rays = 0.7 + 0.6 * std::pow(std::abs(std::cos(3 * Angle(x, y))), 6);
    const double base = Profile(r, {{0, 250}, {6, 143}, {10, 74}, {14, 38}, {18, 18}, {26, 0}});
    return r < 3 ? base : base * rays * (0.85 + 0.3 * Noise(x, y, 9));
  });
}

Mask ExplosionMask() {
  return Fill([](int x, int y) {
    const double base =
        Profile(Radius(x, y), {{0, 200}, {16, 200}, {22, 155}, {26, 115}, {30, 31}, {33, 0}});
    return base * (0.7 + 0.6 * SoftNoise(x, y, 10));
  });
}

Mask CloudMask() {
  return Fill([](int x, int y) {
    const double base = Profile(Radius(x, y), {{0, 50}, {16, 40}, {32, 8}, {46, 4}});
    return std::min(110.0, base * 2.2 * SoftNoise(x, y, 11));
  });
}

Mask SmokeMask() {
  return Fill([](int x, int y) {
    const double base =
        Profile(Radius(x, y), {{0, 215}, {12, 184}, {22, 125}, {28, 60}, {32, 5}, {33, 0}});
    return base * (0.85 + 0.3 * SoftNoise(x, y, 12));
  });
}

Mask SnowMask() {
  return Fill([](int x, int y) {
    const double r = Radius(x, y);
    if (r <= 13) return 255.0;
    if (r > 28) return 0.0;
    // The distance to the nearest of six arms, 60 degrees apart.
    constexpr double kArm = std::numbers::pi / 3;
    double a = std::fmod(Angle(x, y) + 2 * std::numbers::pi, kArm);
    a = std::min(a, kArm - a);
    const double off = r * std::sin(a);
    return off <= 1 ? 255.0 : off <= 2 ? 255 * (2 - off) : 0.0;
  });
}

}  // namespace

std::vector<std::uint8_t> ParticleShapeMask(int shape) {
  switch (shape) {
    case 0:
      return PixelMask();
    case 1:
      return DiskMask();
    case 2:
      return SquareMask();
    case 3:
      return LineMask();
    case 4:
      return StarMask();
    case 5:
      return CircleMask();
    case 6:
      return RingMask();
    case 7:
      return SphereMask();
    case 8:
      return FlareMask();
    case 9:
      return SparkMask();
    case 10:
      return ExplosionMask();
    case 11:
      return CloudMask();
    case 12:
      return SmokeMask();
    case 13:
      return SnowMask();
    default:
      return Mask(kSide * kSide, 0);
  }
}

}  // namespace px
