#include "graphics/Graphics_Color.h"

#include <algorithm>
#include <cmath>

#include "base/Rounding.h"

namespace px {

std::uint32_t MergeColor(std::uint32_t a, std::uint32_t b, double amount) {
  std::uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    const double c = std::clamp(RoundHalfEven((1 - amount) * ca + amount * cb), 0.0, 255.0);
    result |= static_cast<std::uint32_t>(c) << shift;
  }
  return result;
}

HSV ColorToHSV(std::uint32_t bgr) {
  const double r = (bgr & 0xFF) / 255.0, g = ((bgr >> 8) & 0xFF) / 255.0,
               b = ((bgr >> 16) & 0xFF) / 255.0;
  const double max = std::max({r, g, b}), min = std::min({r, g, b}), delta = max - min;
  const double s = max == 0 ? 0 : delta / max;
  double h = 0;
  if (s != 0) {
    if (r == max)
      h = 60 * (g - b) / delta;
    else if (g == max)
      h = 120 + 60 * (b - r) / delta;
    else
      h = 240 + 60 * (r - g) / delta;
    if (h < 0) h += 360;
  }
  return {static_cast<int>(std::trunc(h * 255 / 360)), static_cast<int>(std::trunc(s * 255)),
          static_cast<int>(std::trunc(max * 255))};
}

std::uint32_t ColorFromHSV(double h, double s, double v) {
  auto lowByte = [](double x) { return static_cast<int>(RealToInt64(x) & 0xFF); };
  double hue = lowByte(h) * 360.0 / 255.0;
  if (hue >= 360) hue = 0;
  const double sat = lowByte(s) / 255.0, val = lowByte(v) / 255.0;
  double r = val, g = val, b = val;
  if (sat > 0) {
    const int sector = static_cast<int>(std::trunc(hue / 60));
    const double f = hue / 60 - sector;
    const double p = val * (1 - sat), q = val * (1 - sat * f), t = val * (1 - sat * (1 - f));
    switch (sector) {
      case 0:
        r = val, g = t, b = p;
        break;
      case 1:
        r = q, g = val, b = p;
        break;
      case 2:
        r = p, g = val, b = t;
        break;
      case 3:
        r = p, g = q, b = val;
        break;
      case 4:
        r = t, g = p, b = val;
        break;
      default:
        r = val, g = p, b = q;
        break;
    }
  }
  auto channel = [](double x) { return static_cast<std::uint32_t>(std::trunc(x * 255)); };
  return channel(r) | channel(g) << 8 | channel(b) << 16;
}

}  // namespace px
