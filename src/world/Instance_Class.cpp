#include "world/Instance_Class.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Rounding.h"
#include "resources/Resource_Chunks.h"

namespace px {

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

std::int32_t RoundToInt(double v) {
  return static_cast<std::int32_t>(RoundHalfEven(v));
}

// Reduces an angle to [0, 360).
double Normalized(double d) {
  return d - 360.0 * std::floor(d / 360.0);
}

}  // namespace

double Snap(double v) {
  const double r = RoundHalfEven(v);
  return std::fabs(v - r) < 0.0001 ? r : v;
}

CInstance::CInstance(const GameResources& res, std::int32_t newId, std::int32_t objectIndex,
                     double nx, double ny)
    : id(newId), x(nx), y(ny), xprevious(nx), yprevious(ny), xstart(nx), ystart(ny) {
  SetObject(res, objectIndex);
}

void CInstance::SetObject(const GameResources& res, std::int32_t objectIndex) {
  object_index = objectIndex;
  object = res.objects.get(objectIndex);
  if (object) {
    sprite_index = object->sprite_index;
    mask_index = object->mask;
    depth = object->depth;
    solid = object->solid;
    visible = object->visible;
    persistent = object->persistent;
  }
  ComputeBoundingBox(res);
}

void CInstance::CopyFrom(const CInstance& other) {
  // The variable list deep-copies itself; everything else is plain fields
  // but the grid link, which belongs to the instance's own place in a list.
  *this = other;
  grid = {};
}

void CInstance::SetPosition(const GameResources& res, double nx, double ny) {
  if (nx == x && ny == y) return;
  x = nx;
  y = ny;
  ComputeBoundingBox(res);
}

void CInstance::SetSprite(const GameResources& res, std::int32_t sprite) {
  sprite_index = sprite;
  const CSprite* s = res.sprites.get(sprite);
  const double images = s ? static_cast<double>(s->images.size()) : 0.0;
  if (std::floor(image_index) >= images) image_index = 0;
  ComputeBoundingBox(res);
}

void CInstance::SetMask(const GameResources& res, std::int32_t mask) {
  if (mask == mask_index) return;
  mask_index = mask;
  ComputeBoundingBox(res);
}

void CInstance::SetXScale(const GameResources& res, double v) {
  if (v == image_xscale) return;
  image_xscale = v;
  ComputeBoundingBox(res);
}

void CInstance::SetYScale(const GameResources& res, double v) {
  if (v == image_yscale) return;
  image_yscale = v;
  ComputeBoundingBox(res);
}

void CInstance::SetAngle(const GameResources& res, double v) {
  if (v == image_angle) return;
  image_angle = v;
  ComputeBoundingBox(res);
}

void CInstance::UpdateBoundingBox(const GameResources& res) {
  const std::int32_t l = bbox_left, t = bbox_top, r = bbox_right, b = bbox_bottom;
  ComputeBox(res);
  if (l != bbox_left || t != bbox_top || r != bbox_right || b != bbox_bottom) grid.NoteChange(this);
}

void CInstance::ComputeBox(const GameResources& res) {
  const CSprite* s = res.sprites.get(shapeSprite());
  if (!s) {
    bbox_left = bbox_top = bbox_right = bbox_bottom = kNoBoundingBox;
    return;
  }
  const double sbl = s->bbox_left, sbt = s->bbox_top, sbr = s->bbox_right, sbb = s->bbox_bottom;
  const double ox = s->xoffset, oy = s->yoffset;
  if (image_angle == 0) {
    bbox_left = RoundToInt((sbl - ox) * image_xscale + x);
    bbox_right = RoundToInt((sbr - ox + 1) * image_xscale + x - 1);
    if (bbox_right < bbox_left) std::swap(bbox_left, bbox_right);
    bbox_top = RoundToInt((sbt - oy) * image_yscale + y);
    bbox_bottom = RoundToInt((sbb - oy + 1) * image_yscale + y - 1);
    if (bbox_bottom < bbox_top) std::swap(bbox_top, bbox_bottom);
    return;
  }
  const double c = std::cos(image_angle * kDegToRad);
  const double sn = std::sin(image_angle * kDegToRad);
  const double e1 = (std::min(sbl, sbr) - ox) * image_xscale;
  const double e2 = (std::max(sbl, sbr) - ox + 1) * image_xscale - 1;
  const double d1 = (std::min(sbt, sbb) - oy) * image_yscale;
  const double d2 = (std::max(sbt, sbb) - oy + 1) * image_yscale - 1;
  bbox_left = RoundToInt(x + std::min(c * e1, c * e2) + std::min(sn * d1, sn * d2));
  bbox_right = RoundToInt(x + std::max(c * e1, c * e2) + std::max(sn * d1, sn * d2));
  bbox_top = RoundToInt(y + std::min(c * d1, c * d2) - std::max(sn * e1, sn * e2));
  bbox_bottom = RoundToInt(y + std::max(c * d1, c * d2) - std::min(sn * e1, sn * e2));
}

void CInstance::ComponentsFromDirectionAndSpeed() {
  hspeed = Snap(std::cos(direction * kDegToRad) * speed);
  vspeed = Snap(-std::sin(direction * kDegToRad) * speed);
}

void CInstance::DirectionAndSpeedFromComponents() {
  double d;
  if (hspeed == 0) {
    d = vspeed > 0 ? 270.0 : vspeed < 0 ? 90.0 : 0.0;
  } else {
    const double a = std::atan2(vspeed, hspeed) / kDegToRad;
    d = a > 0 ? 360.0 - a : -a;
  }
  direction = Normalized(Snap(d));
  speed = Snap(std::sqrt(hspeed * hspeed + vspeed * vspeed));
}

void CInstance::SetDirection(double d) {
  if (d == direction) return;
  direction = Normalized(d);
  ComponentsFromDirectionAndSpeed();
}

void CInstance::SetSpeed(double s) {
  if (s == speed) return;
  speed = s;
  ComponentsFromDirectionAndSpeed();
}

void CInstance::SetHspeed(double h) {
  if (h == hspeed) return;
  hspeed = h;
  DirectionAndSpeedFromComponents();
}

void CInstance::SetVspeed(double v) {
  if (v == vspeed) return;
  vspeed = v;
  DirectionAndSpeedFromComponents();
}

void CInstance::AddMotion(double dir, double amount) {
  hspeed += std::cos(dir * kDegToRad) * amount;
  vspeed -= std::sin(dir * kDegToRad) * amount;
  DirectionAndSpeedFromComponents();
}

}  // namespace px
