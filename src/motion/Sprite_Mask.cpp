#include "motion/Sprite_Mask.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

#include "base/Rounding.h"
#include "resources/Resource_Chunks.h"

namespace px {

namespace {

// Cosine and sine of an angle in degrees, exact at quarter turns, where the
// rounding error of the library functions would put pixels on a cell edge
// into the cell before.
std::pair<double, double> CosSin(double degrees) {
  const double turns = degrees / 90;
  if (turns == std::floor(turns) && std::fabs(turns) < 1e15) {
    static constexpr double kCos[] = {1, 0, -1, 0};
    const auto q = static_cast<std::size_t>(std::fmod(std::fmod(turns, 4) + 4, 4));
    return {kCos[q], kCos[(q + 3) % 4]};
  }
  const double r = degrees * std::numbers::pi / 180.0;
  return {std::cos(r), std::sin(r)};
}

// Maps room pixels to mask cells of one placed instance.
class PlacedMask {
 public:
  PlacedMask(const CSprite& sprite, const TMask& mask, const CInstance& inst)
      : mask_(mask),
        ox_(sprite.xoffset),
        oy_(sprite.yoffset),
        x_(RoundHalfEven(inst.x)),
        y_(RoundHalfEven(inst.y)),
        sx_(inst.image_xscale),
        sy_(inst.image_yscale),
        plain_(inst.image_xscale == 1 && inst.image_yscale == 1 && inst.image_angle == 0),
        c_(CosSin(inst.image_angle).first),
        s_(CosSin(inst.image_angle).second) {}

  bool Set(double px, double py) const {
    const double dx = px - x_;
    const double dy = py - y_;
    if (plain_) return Cell(dx + ox_, dy + oy_);
    return Cell(std::floor(ox_ + (dx * c_ - dy * s_) / sx_),
                std::floor(oy_ + (dy * c_ + dx * s_) / sy_));
  }

 private:
  bool Cell(double cx, double cy) const {
    if (!(cx >= 0 && cy >= 0 && cx < mask_.width && cy < mask_.height)) return false;
    return mask_.solid(static_cast<int>(cx), static_cast<int>(cy));
  }

  const TMask& mask_;
  double ox_, oy_, x_, y_, sx_, sy_;
  bool plain_;
  double c_, s_;
};

}  // namespace

bool HasShape(const GameResources& res, const CInstance& inst) {
  return res.sprites.exists(inst.sprite_index) || res.sprites.exists(inst.mask_index);
}

const TMask* ShapeMask(const GameResources& res, const CInstance& inst) {
  const CSprite* sprite = res.sprites.get(inst.shapeSprite());
  if (!sprite || sprite->images.empty() || sprite->masks.empty()) return nullptr;
  if (!sprite->separateMasks) return &sprite->masks.front();
  const auto count = static_cast<std::int64_t>(sprite->masks.size());
  std::int64_t sub = static_cast<std::int64_t>(std::floor(inst.image_index)) % count;
  if (sub < 0) sub += count;
  return &sprite->masks[static_cast<std::size_t>(sub)];
}

namespace {

// The instance's mask placed in the room, when it has one.
std::optional<PlacedMask> Placed(const GameResources& res, const CInstance& inst) {
  const TMask* mask = ShapeMask(res, inst);
  if (!mask) return std::nullopt;
  return PlacedMask(*res.sprites.get(inst.shapeSprite()), *mask, inst);
}

// Whether any pixel of the columns left..right and rows top..bottom, visited
// column by column, for which take(x, y) holds lies on a set cell.
template <class Take>
bool AnySet(const PlacedMask& placed, double left, double top, double right, double bottom,
            Take&& take) {
  for (double x = left; x <= right; ++x)
    for (double y = top; y <= bottom; ++y)
      if (take(x, y) && placed.Set(x, y)) return true;
  return false;
}

// A rectangle normalised so that left <= right and top <= bottom.
struct Rect {
  double left, top, right, bottom;
};

Rect Normalised(double x1, double y1, double x2, double y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

bool BoxMisses(const CInstance& inst, const Rect& r) {
  return r.left >= inst.bbox_right + 1 || r.right < inst.bbox_left ||
         r.top >= inst.bbox_bottom + 1 || r.bottom < inst.bbox_top;
}

// The pixels of the instance's box within the rounded rectangle for which
// take holds, tested against the mask.
template <class Take>
bool AnySetInRect(const GameResources& res, const CInstance& inst, const Rect& r, Take&& take) {
  const auto placed = Placed(res, inst);
  if (!placed) return false;
  return AnySet(*placed, std::max<double>(inst.bbox_left, RoundHalfEven(r.left)),
                std::max<double>(inst.bbox_top, RoundHalfEven(r.top)),
                std::min<double>(inst.bbox_right, RoundHalfEven(r.right)),
                std::min<double>(inst.bbox_bottom, RoundHalfEven(r.bottom)),
                std::forward<Take>(take));
}

constexpr auto kEvery = [](double, double) { return true; };

}  // namespace

bool PointInInstance(const GameResources& res, const CInstance& inst, bool precise, double x,
                     double y) {
  if (inst.deleted) return false;
  if (!(inst.bbox_left <= x && x < inst.bbox_right + 1 && inst.bbox_top <= y &&
        y < inst.bbox_bottom + 1))
    return false;
  if (!precise) return true;
  const auto placed = Placed(res, inst);
  return placed && placed->Set(RoundHalfEven(x), RoundHalfEven(y));
}

bool RectInInstance(const GameResources& res, const CInstance& inst, bool precise, double x1,
                    double y1, double x2, double y2) {
  const Rect r = Normalised(x1, y1, x2, y2);
  if (inst.deleted || BoxMisses(inst, r)) return false;
  return !precise || AnySetInRect(res, inst, r, kEvery);
}

bool EllipseInInstance(const GameResources& res, const CInstance& inst, bool precise, double x1,
                       double y1, double x2, double y2) {
  const Rect r = Normalised(x1, y1, x2, y2);
  if (inst.deleted || BoxMisses(inst, r)) return false;
  const double l = RoundHalfEven(r.left), t = RoundHalfEven(r.top);
  const double rr = RoundHalfEven(r.right), b = RoundHalfEven(r.bottom);
  if (l == rr || t == b) return RectInInstance(res, inst, precise, x1, y1, x2, y2);
  const double cx = (l + rr) / 2, cy = (t + b) / 2, rx = (rr - l) / 2, ry = (b - t) / 2;
  const auto inside = [&](double px, double py) {
    const double u = (px - cx) / rx, v = (py - cy) / ry;
    return u * u + v * v <= 1;
  };
  const bool centreAcross = (inst.bbox_left <= cx && cx <= inst.bbox_right) ||
                            (inst.bbox_top <= cy && cy <= inst.bbox_bottom);
  if (!centreAcross && !inside(inst.bbox_left, inst.bbox_top) &&
      !inside(inst.bbox_right, inst.bbox_top) && !inside(inst.bbox_left, inst.bbox_bottom) &&
      !inside(inst.bbox_right, inst.bbox_bottom))
    return false;
  return !precise || AnySetInRect(res, inst, r, inside);
}

bool LineInInstance(const GameResources& res, const CInstance& inst, bool precise, double x1,
                    double y1, double x2, double y2) {
  if (inst.deleted) return false;
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const double left = inst.bbox_left, right = inst.bbox_right + 1.0;
  const double top = inst.bbox_top, bottom = inst.bbox_bottom + 1.0;
  if (x2 < left || x1 >= right) return false;
  // Clipped to the box's columns.
  double cy1 = y1, cy2 = y2;
  if (x1 < left) cy1 = y1 + (y2 - y1) * (left - x1) / (x2 - x1);
  if (x2 > right) cy2 = y1 + (y2 - y1) * (right - x1) / (x2 - x1);
  if ((cy1 < top && cy2 < top) || (cy1 >= bottom && cy2 >= bottom)) return false;
  if (!precise) return true;
  const double ix1 = RoundHalfEven(x1), iy1 = RoundHalfEven(y1);
  const double ix2 = RoundHalfEven(x2), iy2 = RoundHalfEven(y2);
  if (ix1 == ix2 || iy1 == iy2) return RectInInstance(res, inst, true, ix1, iy1, ix2, iy2);
  const auto placed = Placed(res, inst);
  if (!placed) return false;
  const double dx = ix2 - ix1, dy = iy2 - iy1;
  if (std::fabs(dx) < std::fabs(dy)) {
    const double from = std::max(top, std::min(iy1, iy2));
    const double to = std::min<double>(inst.bbox_bottom, std::max(iy1, iy2));
    for (double y = from; y <= to; ++y)
      if (placed->Set(ix1 + (y - iy1) * dx / dy, y)) return true;
    return false;
  }
  const double from = std::max(left, ix1);
  const double to = std::min<double>(inst.bbox_right, ix2);
  for (double x = from; x <= to; ++x)
    if (placed->Set(x, iy1 + (x - ix1) * dy / dx)) return true;
  return false;
}

bool InstancesCollide(const GameResources& res, const CInstance& a, const CInstance& b) {
  if (&a == &b || a.deleted || b.deleted) return false;
  if (!(a.bbox_left <= b.bbox_right && b.bbox_left <= a.bbox_right && a.bbox_top <= b.bbox_bottom &&
        b.bbox_top <= a.bbox_bottom))
    return false;
  const auto pa = Placed(res, a);
  const auto pb = Placed(res, b);
  if (!pa || !pb) return false;
  const int left = std::max(a.bbox_left, b.bbox_left);
  const int right = std::min(a.bbox_right, b.bbox_right);
  const int top = std::max(a.bbox_top, b.bbox_top);
  const int bottom = std::min(a.bbox_bottom, b.bbox_bottom);
  return AnySet(*pa, left, top, right, bottom, [&](double x, double y) { return pb->Set(x, y); });
}

}  // namespace px
