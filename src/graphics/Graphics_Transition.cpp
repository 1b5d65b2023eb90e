#include "graphics/Graphics_Transition.h"

#include <cmath>
#include <numbers>

#include "base/Rounding.h"

namespace px {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

int Round(double v) {
  return static_cast<int>(RoundHalfEven(v));
}

struct Frame {
  Drawing& draw;
  int a, b, w, h;

  void Whole(int texture, double x, double y, double alpha = 1) const {
    draw.TextureExt(texture, 0, 0, x, y, 1, 1, 0, kWhite, alpha);
  }
  // The part of B at its own place.
  void PartOfB(int left, int top, int width, int height) const {
    draw.TexturePartExt(b, left, top, width, height, left, top, 1, 1, 0, kWhite, 1);
  }
};

// Kinds 1 to 4: B uncovered from one edge over A.
void Wipe(const Frame& fr, int edge, double f) {
  fr.Whole(fr.a, 0, 0);
  const int sw = Round(fr.w * f), sh = Round(fr.h * f);
  switch (edge) {
    case 1:
      fr.PartOfB(0, 0, sw, fr.h);
      break;
    case 2:
      fr.PartOfB(fr.w - sw, 0, sw, fr.h);
      break;
    case 3:
      fr.PartOfB(0, 0, fr.w, sh);
      break;
    default:
      fr.PartOfB(0, fr.h - sh, fr.w, sh);
      break;
  }
}

// Where B lies while it slides in (kinds 6 to 9, and B of 14 to 17).
Point SlideOffset(int kind, int w, int h, double f) {
  switch (kind) {
    case 6:
      return {Round(w * f - w), 0};
    case 7:
      return {-Round(w * f - w), 0};
    case 8:
      return {0, Round(h * f - h)};
    default:
      return {0, -Round(h * f - h)};
  }
}

// Kinds 10 to 13: a wipe in the second half, over which strips of B grow in.
void Interlaced(const Frame& fr, int kind, double f, int n) {
  const int k = Round(f * n), half = n / 2;
  if (k >= n) {
    fr.Whole(fr.b, 0, 0);
    return;
  }
  if (k > half)
    Wipe(fr, kind - 9, static_cast<double>(k - half) / half);
  else
    fr.Whole(fr.a, 0, 0);
  const bool across = kind == 10 || kind == 11;
  const int size = Round(across ? static_cast<double>(fr.w) / n : static_cast<double>(fr.h) / n);
  const bool fromStart = kind == 10 || kind == 12;
  for (int i = 0; i <= half; ++i) {
    if (fromStart ? i > k : i < half - k) continue;
    if (across)
      fr.PartOfB(2 * i * size, 0, size, fr.h);
    else
      fr.PartOfB(0, 2 * i * size, fr.w, size);
  }
}

// Kinds 18 and 19: B grows and turns about the screen's centre.
void Rotate(const Frame& fr, bool clockwise, double f) {
  fr.Whole(fr.a, 0, 0);
  double angle = 2 * std::numbers::pi * std::sqrt(f);
  if (clockwise) angle = -angle;
  const double c = std::cos(angle), s = std::sin(angle);
  const double x = fr.w / 2.0 - f * fr.w * c / 2 - f * fr.h * s / 2;
  const double y = fr.h / 2.0 - f * fr.h * c / 2 + f * fr.w * s / 2;
  fr.draw.TextureExt(fr.b, 0, 0, x, y, f, f, angle, kWhite, 1);
}

}  // namespace

void DrawTransitionFrame(Device& device, Drawing& draw, int kind, int a, int b, int w, int h,
                         double f, int steps) {
  const Frame fr{draw, a, b, w, h};
  switch (kind) {
    case 1:
    case 2:
    case 3:
    case 4:
      Wipe(fr, kind, f);
      break;
    case 5: {
      fr.Whole(a, 0, 0);
      const int sw = Round(w * f), sh = Round(h * f);
      fr.PartOfB((w - sw) / 2, (h - sh) / 2, sw, sh);
      break;
    }
    case 6:
    case 7:
    case 8:
    case 9: {
      fr.Whole(a, 0, 0);
      const Point p = SlideOffset(kind, w, h, f);
      fr.Whole(b, p.x, p.y);
      break;
    }
    case 10:
    case 11:
    case 12:
    case 13:
      Interlaced(fr, kind, f, steps);
      break;
    case 14:
    case 15:
    case 16:
    case 17: {
      const Point pushed = SlideOffset(kind - 8, w, h, f);
      const int dx = Round(w * f), dy = Round(h * f);
      const Point away = kind == 14   ? Point{dx, 0}
                         : kind == 15 ? Point{-dx, 0}
                         : kind == 16 ? Point{0, dy}
                                      : Point{0, -dy};
      fr.Whole(a, away.x, away.y);
      fr.Whole(b, pushed.x, pushed.y);
      break;
    }
    case 18:
    case 19:
      Rotate(fr, kind == 19, f);
      break;
    case 20:
      fr.Whole(a, 0, 0);
      fr.Whole(b, 0, 0, f);
      break;
    case 21:
      device.ClearTarget(0, 1);
      if (f > 0.5)
        fr.Whole(b, 0, 0, 2 * f - 1);
      else
        fr.Whole(a, 0, 0, 1 - 2 * f);
      break;
    default:
      break;
  }
}

}  // namespace px
