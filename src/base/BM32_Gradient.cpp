#include "base/BM32_Gradient.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace px {

namespace {

// A colour of game code as an opaque pixel.
std::uint32_t Opaque(std::uint32_t bgr) {
  return 0xFF000000u | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

// (1 - t) × a + t × b per channel with t = num / den, rounded halves to
// even, in exact integer arithmetic; t = 0 / 0 (a single step with nothing
// to divide by) counts as 0.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::int64_t num, std::int64_t den) {
  if (den == 0) num = 0, den = 1;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::int64_t ca = (a >> shift) & 0xFF;
    const std::int64_t cb = (b >> shift) & 0xFF;
    const std::int64_t total = (den - num) * ca + num * cb;
    std::int64_t q = total / den;
    const std::int64_t twice = 2 * (total - q * den);
    if (twice > den || (twice == den && q % 2 != 0)) ++q;
    out |= static_cast<std::uint32_t>(std::clamp<std::int64_t>(q, 0, 255)) << shift;
  }
  return Opaque(out);
}

// A line one pixel wide from (x1, y1) towards (x2, y2), its end point left out.
void Line(TBitmap32& image, int x1, int y1, int x2, int y2, std::uint32_t colour) {
  const int dx = x2 - x1;
  const int dy = y2 - y1;
  const int steps = std::max(std::abs(dx), std::abs(dy));
  for (int k = 0; k < steps; ++k) {
    const auto x = x1 + static_cast<int>(std::lround(static_cast<double>(k) * dx / steps));
    const auto y = y1 + static_cast<int>(std::lround(static_cast<double>(k) * dy / steps));
    image.SetPixel(x, y, colour);
  }
}

// Whether the pixel's centre lies in the ellipse filling the box whose left
// and top edges are in it and right and bottom edges out.
bool InEllipse(double l, double t, double r, double b, int x, int y) {
  const double rx = (r - l) / 2;
  const double ry = (b - t) / 2;
  if (rx <= 0 || ry <= 0) return false;
  const double ex = (x + 0.5 - (l + r) / 2) / rx;
  const double ey = (y + 0.5 - (t + b) / 2) / ry;
  return ex * ex + ey * ey <= 1;
}

// Kind 2 and 3: shapes nested from the rim (f = 0) inwards (f = e); each
// pixel shows the innermost shape that covers it.
void Nested(TBitmap32& image, int w, int h, std::uint32_t c1, std::uint32_t c2, bool ellipses) {
  const int e = std::min(w, h) / 2;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      int f = -1;
      if (!ellipses) {
        f = std::min({x, y, w - 1 - x, h - 1 - y, e});
      } else {
        // The ellipses shrink as f grows: search the last one holding the pixel.
        int lo = 0, hi = e;
        while (lo <= hi) {
          const int mid = (lo + hi) / 2;
          if (InEllipse(mid, mid, w - mid, h - mid, x, y)) {
            f = mid;
            lo = mid + 1;
          } else {
            hi = mid - 1;
          }
        }
      }
      if (f >= 0) image.row(y)[x] = Mix(c1, c2, f, e);
    }
  }
}

// Kinds 8..11: filled circles of radius n down to 1 around a corner (cx,
// cy); each pixel shows the smallest circle that covers it.
void Circles(TBitmap32& image, int w, int h, std::uint32_t c1, std::uint32_t c2, int cx, int cy) {
  const int n = std::min(w, h);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const double dx = x + 0.5 - cx;
      const double dy = y + 0.5 - cy;
      const auto d = static_cast<std::int64_t>(std::ceil(std::sqrt(dx * dx + dy * dy)));
      if (d >= 1 && d <= n) image.row(y)[x] = Mix(c2, c1, d, n);
    }
  }
}

bool CanvasFits(int w, int h) {
  return std::int64_t{std::max(w, 1)} * std::max(h, 1) <= TBitmap32::kMaxPixels;
}

}  // namespace

TBitmap32 SolidImage(int w, int h, std::uint32_t colour) {
  TBitmap32 image;
  if (w > 0 && h > 0 && CanvasFits(w, h)) image.SetSizeFilled(w, h, Opaque(colour));
  return image;
}

TBitmap32 GradientImage(int w, int h, std::uint32_t c1, std::uint32_t c2, int kind) {
  TBitmap32 image;
  if (!CanvasFits(w, h)) return image;
  image.SetSizeFilled(std::max(w, 1), std::max(h, 1), Opaque(c1));
  switch (kind) {
    case 0:
      for (int i = 0; i < w; ++i) Line(image, i, 0, i, h, Mix(c1, c2, i, w));
      break;
    case 1:
      for (int i = 0; i < h; ++i) Line(image, 0, i, w, i, Mix(c1, c2, i, h));
      break;
    case 2:
    case 3:
      Nested(image, w, h, c1, c2, kind == 3);
      break;
    case 4:
      for (int i = 0, e = w / 2; i <= e; ++i) {
        Line(image, i, 0, i, h, Mix(c1, c2, i, e));
        Line(image, w - i, 0, w - i, h, Mix(c1, c2, i, e));
      }
      break;
    case 5:
      for (int i = 0, e = h / 2; i <= e; ++i) {
        Line(image, 0, i, w, i, Mix(c1, c2, i, e));
        Line(image, 0, h - i, w, h - i, Mix(c1, c2, i, e));
      }
      break;
    case 6:
      for (int i = 0; i <= h; ++i) {
        Line(image, 0, i, w, h + i, Mix(c1, c2, i, h));
        Line(image, 0, -i, w, h - i, Mix(c1, c2, i, h));
      }
      break;
    case 7:
      for (int i = 0; i <= h; ++i) {
        Line(image, 0, h + i, w, i, Mix(c1, c2, i, h));
        Line(image, 0, h - i, w, -i, Mix(c1, c2, i, h));
      }
      break;
    case 8:
      Circles(image, w, h, c1, c2, 0, 0);
      break;
    case 9:
      Circles(image, w, h, c1, c2, w, 0);
      break;
    case 10:
      Circles(image, w, h, c1, c2, 0, h);
      break;
    case 11:
      Circles(image, w, h, c1, c2, w, h);
      break;
    default:
      break;
  }
  return image;
}

}  // namespace px
