#include "motion/Sprite_Mask.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "code/Code_Value.h"
#include "resources/Resource_Chunks.h"

namespace px {

namespace {

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
        c_(std::cos(inst.image_angle * std::numbers::pi / 180.0)),
        s_(std::sin(inst.image_angle * std::numbers::pi / 180.0)) {}

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

const TMask* ShapeMask(const GameResources& res, const CInstance& inst) {
  const CSprite* sprite = res.sprites.get(inst.shapeSprite());
  if (!sprite || sprite->images.empty() || sprite->masks.empty()) return nullptr;
  if (!sprite->separateMasks) return &sprite->masks.front();
  const auto count = static_cast<std::int64_t>(sprite->masks.size());
  std::int64_t sub = static_cast<std::int64_t>(std::floor(inst.image_index)) % count;
  if (sub < 0) sub += count;
  return &sprite->masks[static_cast<std::size_t>(sub)];
}

bool PointInInstance(const GameResources& res, const CInstance& inst, bool precise, double x,
                     double y) {
  if (inst.deleted) return false;
  if (!(inst.bbox_left <= x && x < inst.bbox_right + 1 && inst.bbox_top <= y &&
        y < inst.bbox_bottom + 1))
    return false;
  if (!precise) return true;
  const TMask* mask = ShapeMask(res, inst);
  if (!mask) return false;
  const PlacedMask placed(*res.sprites.get(inst.shapeSprite()), *mask, inst);
  return placed.Set(RoundHalfEven(x), RoundHalfEven(y));
}

bool InstancesCollide(const GameResources& res, const CInstance& a, const CInstance& b) {
  if (&a == &b || a.deleted || b.deleted) return false;
  if (!(a.bbox_left <= b.bbox_right && b.bbox_left <= a.bbox_right && a.bbox_top <= b.bbox_bottom &&
        b.bbox_top <= a.bbox_bottom))
    return false;
  const TMask* ma = ShapeMask(res, a);
  const TMask* mb = ShapeMask(res, b);
  if (!ma || !mb) return false;
  const PlacedMask pa(*res.sprites.get(a.shapeSprite()), *ma, a);
  const PlacedMask pb(*res.sprites.get(b.shapeSprite()), *mb, b);
  const int left = std::max(a.bbox_left, b.bbox_left);
  const int right = std::min(a.bbox_right, b.bbox_right);
  const int top = std::max(a.bbox_top, b.bbox_top);
  const int bottom = std::min(a.bbox_bottom, b.bbox_bottom);
  for (int x = left; x <= right; ++x) {
    for (int y = top; y <= bottom; ++y) {
      if (pa.Set(x, y) && pb.Set(x, y)) return true;
    }
  }
  return false;
}

}  // namespace px
