#include "motion/Motion_Move.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Rounding.h"
#include "motion/Motion_Place.h"
#include "motion/Sprite_Mask.h"
#include "resources/Resource_Chunks.h"
#include "world/Instance_Match.h"
#include "world/World_Core.h"

namespace px {

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr int kDefaultContactSteps = 1000;
constexpr int kRandomTries = 100;
constexpr int kBounceTurns = 35;
constexpr double kFarAway = 1000000;

struct RoomSize {
  double width = 0;
  double height = 0;
};

RoomSize CurrentRoomSize(WorldCore& rt) {
  const CRoom* room = CurrentRoomData(rt);
  return room ? RoomSize{double(room->width), double(room->height)} : RoomSize{};
}

bool IsFree(WorldCore& rt, CInstance& inst, Blockers against, double x, double y) {
  return against == Blockers::Solid ? PlaceFree(rt, inst, x, y) : PlaceEmpty(rt, inst, x, y);
}

// The number of one-pixel steps a contact or outside move may take.
int StepLimit(double maxdist) {
  return maxdist > 0 ? RealToInt(maxdist) : kDefaultContactSteps;
}

// A place drawn from low .. high - 1, snapped down to a multiple of snap.
double DrawCoordinate(WorldCore& rt, double low, double high, std::int32_t snap) {
  // An empty range still takes its draw and gives low.
  const double range = std::clamp(high - low, 0.0, 4294967295.0);
  double v = low + rt.random.NextInt(range > 0 ? static_cast<std::uint32_t>(range) : 0u);
  if (snap > 0) v = std::floor(v / snap) * snap;
  return v;
}

double Gap(double lowA, double highA, double lowB, double highB) {
  if (highA < lowB) return lowB - highA;
  if (highB < lowA) return highB - lowA;
  return 0;
}

}  // namespace

void ApplyFrictionAndGravity(CInstance& inst) {
  if (inst.friction != 0) {
    const double s = inst.speed;
    const double n = s > 0 ? s - inst.friction : s + inst.friction;
    if ((s > 0 && n < 0) || (s < 0 && n > 0))
      inst.SetSpeed(0);
    else if (s != 0)
      inst.SetSpeed(n);
  }
  if (inst.gravity != 0) inst.AddMotion(inst.gravity_direction, inst.gravity);
}

void MoveTowardsPoint(CInstance& inst, double x, double y, double sp) {
  inst.SetHspeed(x - inst.x);
  inst.SetVspeed(y - inst.y);
  inst.SetSpeed(sp);
}

void MoveRandom(WorldCore& rt, CInstance& inst, double hsnap, double vsnap) {
  const RoomSize room = CurrentRoomSize(rt);
  double left = 0, right = room.width, top = 0, bottom = room.height;
  if (HasShape(rt.resources, inst)) {
    // The range that keeps the bounding box inside the room.
    left = RoundHalfEven(inst.x - inst.bbox_left);
    right = RoundHalfEven(inst.x + room.width - inst.bbox_right);
    top = RoundHalfEven(inst.y - inst.bbox_top);
    bottom = RoundHalfEven(inst.y + room.height - inst.bbox_bottom);
  }
  const std::int32_t hs = RealToInt(hsnap);
  const std::int32_t vs = RealToInt(vsnap);
  for (int i = 0; i < kRandomTries; ++i) {
    const double x = DrawCoordinate(rt, left, right, hs);
    const double y = DrawCoordinate(rt, top, bottom, vs);
    if (PlaceFree(rt, inst, x, y)) {
      inst.SetPosition(rt.resources, x, y);
      return;
    }
  }
}

void MoveSnap(WorldCore& rt, CInstance& inst, double hsnap, double vsnap) {
  const auto snapped = [](double v, double snap) {
    return snap > 0 ? snap * RoundHalfEven(v / snap) : v;
  };
  inst.SetPosition(rt.resources, snapped(inst.x, hsnap), snapped(inst.y, vsnap));
}

void MoveWrap(WorldCore& rt, CInstance& inst, bool hor, bool vert, double margin) {
  const RoomSize room = CurrentRoomSize(rt);
  double x = inst.x, y = inst.y;
  if (hor) {
    if (x < -margin) x += room.width + 2 * margin;
    if (x > room.width + margin) x -= room.width + 2 * margin;
  }
  if (vert) {
    if (y < -margin) y += room.height + 2 * margin;
    if (y > room.height + margin) y -= room.height + 2 * margin;
  }
  inst.SetPosition(rt.resources, x, y);
}

void MoveContact(WorldCore& rt, CInstance& inst, Blockers against, double dir, double maxdist) {
  if (!IsFree(rt, inst, against, inst.x, inst.y)) return;
  const double c = std::cos(dir * kDegToRad);
  const double s = std::sin(dir * kDegToRad);
  const int limit = StepLimit(maxdist);
  for (int i = 0; i < limit; ++i) {
    const double x = inst.x + c, y = inst.y - s;
    if (!IsFree(rt, inst, against, x, y)) return;
    inst.SetPosition(rt.resources, x, y);
  }
}

void MoveOutside(WorldCore& rt, CInstance& inst, Blockers against, double dir, double maxdist) {
  const double c = std::cos(dir * kDegToRad);
  const double s = std::sin(dir * kDegToRad);
  const int limit = StepLimit(maxdist);
  for (int i = 0; i < limit && !IsFree(rt, inst, against, inst.x, inst.y); ++i)
    inst.SetPosition(rt.resources, inst.x + c, inst.y - s);
}

void MoveContactOrOutside(WorldCore& rt, CInstance& inst, Blockers against, double dir,
                          double maxdist) {
  if (IsFree(rt, inst, against, inst.x, inst.y))
    MoveContact(rt, inst, against, dir, maxdist);
  else
    MoveOutside(rt, inst, against, dir, maxdist);
}

void MoveBounce(WorldCore& rt, CInstance& inst, Blockers against, bool advanced) {
  const auto free = [&](double x, double y) { return IsFree(rt, inst, against, x, y); };
  bool bounced = false;
  if (!free(inst.x, inst.y)) {
    inst.SetPosition(rt.resources, inst.xprevious, inst.yprevious);
    bounced = true;
  }
  if (advanced) {
    // Turn away from the motion's direction, in steps of 10 degrees each
    // way, until one step at the current speed is free; the new direction
    // mirrors the motion between the two free directions found.
    const double m = 10 * RoundHalfEven(inst.direction / 10);
    const auto firstFree = [&](double turn) {
      double d = m;
      for (int i = 0; i < kBounceTurns; ++i) {
        d += turn;
        if (free(inst.x + std::cos(d * kDegToRad) * inst.speed,
                 inst.y - std::sin(d * kDegToRad) * inst.speed))
          break;
        bounced = true;
      }
      return d;
    };
    const double o = firstFree(-10);
    const double r = firstFree(10);
    if (bounced) inst.SetDirection(o + r + 180 - m);
    return;
  }
  const bool h = free(inst.x + inst.hspeed, inst.y);
  const bool v = free(inst.x, inst.y + inst.vspeed);
  const bool d = free(inst.x + inst.hspeed, inst.y + inst.vspeed);
  if ((!h && !v) || (h && v && !d)) {
    inst.SetHspeed(-inst.hspeed);
    inst.SetVspeed(-inst.vspeed);
  } else if (!h) {
    inst.SetHspeed(-inst.hspeed);
  } else if (!v) {
    inst.SetVspeed(-inst.vspeed);
  }
}

double DistanceToPoint(const CInstance& inst, double x, double y) {
  const auto gap = [](double v, double low, double high) {
    return v > high ? v - high : v < low ? v - low : 0.0;
  };
  const double dx = gap(x, inst.bbox_left, inst.bbox_right);
  const double dy = gap(y, inst.bbox_top, inst.bbox_bottom);
  return std::sqrt(dx * dx + dy * dy);
}

double DistanceToObject(WorldCore& rt, CInstance& self, CInstance* other, std::int32_t obj) {
  double best = kFarAway;
  const auto measure = [&](const CInstance& o) {
    if (&o == &self || o.deleted) return true;
    const double dx = Gap(self.bbox_left, self.bbox_right, o.bbox_left, o.bbox_right);
    const double dy = Gap(self.bbox_top, self.bbox_bottom, o.bbox_top, o.bbox_bottom);
    best = std::min(best, std::sqrt(dx * dx + dy * dy));
    return true;
  };
  if (obj == kOther) {
    if (other) measure(*other);
  } else if (obj != kSelf) {
    ForEachMatch(rt.world.instances, obj, measure);
  }
  return best;
}

}  // namespace px
