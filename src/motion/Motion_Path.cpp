#include "motion/Motion_Path.h"

#include <cmath>
#include <numbers>

#include "resources/Resource_Chunks.h"
#include "world/World_Core.h"

namespace px {

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

struct Offset {
  double x = 0;
  double y = 0;
};

// A vector in path coordinates turned by the path orientation and scaled by
// the path scale.
Offset Turned(const CInstance& inst, double px, double py) {
  const double c = std::cos(inst.path_orientation * kDegToRad);
  const double s = std::sin(inst.path_orientation * kDegToRad);
  return {(c * px + s * py) * inst.path_scale, (c * py - s * px) * inst.path_scale};
}

// Applies the end action to a position that left 0..1. Which end was passed
// is told by the position itself: at or beyond 1 the end, else the start.
void EndOfPath(const CPath& path, CInstance& inst) {
  const bool atEnd = inst.path_position >= 1;
  switch (static_cast<PathEndAction>(inst.path_endaction)) {
    case PathEndAction::Restart:
      inst.path_position += atEnd ? -1 : 1;
      break;
    case PathEndAction::Continue: {
      const RPathPoint first = path.PointAt(0);
      const RPathPoint last = path.PointAt(1);
      const Offset lap = Turned(inst, last.x - first.x, last.y - first.y);
      const double sign = atEnd ? 1 : -1;
      inst.path_origin_x += sign * lap.x;
      inst.path_origin_y += sign * lap.y;
      inst.path_position -= sign;
      break;
    }
    case PathEndAction::Reverse:
      if (atEnd) {
        inst.path_position = 2 - inst.path_position;
        inst.path_speed = -std::fabs(inst.path_speed);
      } else {
        inst.path_position = 0 - inst.path_position;  // +0, not -0, at the start
        inst.path_speed = std::fabs(inst.path_speed);
      }
      break;
    default:  // stop, and any unknown action
      inst.path_position = 1;
      inst.path_index = -1;
      break;
  }
}

}  // namespace

void PathStart(WorldCore& rt, CInstance& inst, std::int32_t path, double speed,
               std::int32_t endaction, bool absolute) {
  inst.path_index = path;
  if (path < 0) return;
  const CPath* p = rt.resources.paths.get(path);
  if (!p || !(p->length() > 0)) {
    inst.path_index = -1;
    return;
  }
  inst.path_speed = speed;
  inst.path_position = speed >= 0 ? 0 : 1;
  inst.path_positionprevious = inst.path_position;
  inst.path_scale = 1;
  inst.path_orientation = 0;
  inst.path_endaction = endaction;
  if (absolute) {
    const RPathPoint at = p->PointAt(inst.path_position);
    inst.SetPosition(rt.resources, at.x, at.y);
  }
  inst.path_origin_x = inst.x;
  inst.path_origin_y = inst.y;
}

bool PathStep(WorldCore& rt, CInstance& inst) {
  const CPath* path = rt.resources.paths.get(inst.path_index);
  if (!path || !(path->length() > 0) || inst.path_speed == 0) return false;
  const double pointSpeed = path->PointAt(inst.path_position).speed;
  inst.path_position += inst.path_speed * pointSpeed / (100 * inst.path_scale) / path->length();
  const bool ended = inst.path_position >= 1 || inst.path_position <= 0;
  if (ended) EndOfPath(*path, inst);
  const RPathPoint at = path->PointAt(inst.path_position);
  const RPathPoint first = path->PointAt(0);
  const Offset offset = Turned(inst, at.x - first.x, at.y - first.y);
  const double nx = offset.x + inst.path_origin_x;
  const double ny = offset.y + inst.path_origin_y;
  inst.SetHspeed(nx - inst.x);
  inst.SetVspeed(ny - inst.y);
  inst.SetSpeed(0);
  inst.SetPosition(rt.resources, nx, ny);
  return ended;
}

}  // namespace px
