#include "motion/Motion_Planning.h"

#include <cmath>
#include <numbers>

#include "motion/Motion_Place.h"
#include "world/World_Core.h"

namespace px {

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

// A path plan gives up after this many steps, so that a tiny step size or
// a huge length factor cannot keep a call busy (and growing a path) for
// ever.
constexpr std::int64_t kMaxPlanSteps = 100'000;

// The direction from (x1, y1) to (x2, y2) in degrees, 0 .. 360.
double DirectionTo(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  if (dx == 0.0) return dy > 0.0 ? 270.0 : dy < 0.0 ? 90.0 : 0.0;
  const double a = std::atan2(dy, dx) / kDegToRad;
  return a > 0.0 ? 360.0 - a : -a;
}

double Reduced(double d) {
  return d - 360.0 * std::floor(d / 360.0);
}

// How far apart two directions are, 0 .. 180.
double AngleDifference(double a, double b) {
  const double d = std::fabs(Reduced(a) - Reduced(b));
  return d > 180.0 ? 360.0 - d : d;
}

bool IsFree(WorldCore& rt, CInstance& inst, const PlanBlockers& b, double x, double y) {
  switch (b.kind) {
    case PlanBlockers::Kind::Solid:
      return PlaceFree(rt, inst, x, y);
    case PlanBlockers::Kind::All:
      return PlaceEmpty(rt, inst, x, y);
    case PlanBlockers::Kind::Object:
      return !PlaceMeeting(rt, inst, b.other, x, y, b.obj);
  }
  return false;
}

double DistanceTo(const CInstance& inst, double x, double y) {
  const double dx = x - inst.x, dy = y - inst.y;
  return std::sqrt(dx * dx + dy * dy);
}

void MoveAlong(WorldCore& rt, CInstance& inst, double x, double y) {
  inst.SetDirection(DirectionTo(inst.x, inst.y, x, y));
  inst.SetPosition(rt.resources, x, y);
}

// Keeps the instance's position and direction and puts them back at the
// end of a simulated plan.
class SavedPlace {
 public:
  SavedPlace(WorldCore& rt, CInstance& inst)
      : rt_(rt), inst_(inst), x_(inst.x), y_(inst.y), direction_(inst.direction) {}
  ~SavedPlace() {
    inst_.SetPosition(rt_.resources, x_, y_);
    inst_.SetDirection(direction_);
  }
  SavedPlace(const SavedPlace&) = delete;
  SavedPlace& operator=(const SavedPlace&) = delete;

 private:
  WorldCore& rt_;
  CInstance& inst_;
  double x_, y_, direction_;
};

// A path being planned: its points, and its length kept as the geometry of
// a straight open path would sum it.
class PlannedPath {
 public:
  explicit PlannedPath(CPath& path) : path_(path) { BeginPlannedPath(path); }
  ~PlannedPath() { path_.GeometryChanged(); }
  PlannedPath(const PlannedPath&) = delete;
  PlannedPath& operator=(const PlannedPath&) = delete;

  void Add(double x, double y) {
    if (!path_.points.empty()) {
      const RPathPoint& last = path_.points.back();
      length_ += std::hypot(x - last.x, y - last.y);
    }
    path_.points.push_back({x, y, 100});
  }
  double length() const { return length_; }

 private:
  CPath& path_;
  double length_ = 0;
};

}  // namespace

bool LinearStep(WorldCore& rt, CInstance& inst, double xg, double yg, double stepsize,
                const PlanBlockers& blockers) {
  if (inst.x == xg && inst.y == yg) return true;
  const double distance = DistanceTo(inst, xg, yg);
  const bool reached = !(distance > stepsize);
  const double x = reached ? xg : inst.x + (xg - inst.x) * stepsize / distance;
  const double y = reached ? yg : inst.y + (yg - inst.y) * stepsize / distance;
  if (IsFree(rt, inst, blockers, x, y)) MoveAlong(rt, inst, x, y);
  return reached;
}

bool PotentialStep(WorldCore& rt, const PotentialSettings& settings, CInstance& inst, double xg,
                   double yg, double stepsize, const PlanBlockers& blockers) {
  if (inst.x == xg && inst.y == yg) return true;
  if (DistanceTo(inst, xg, yg) <= stepsize) {
    if (IsFree(rt, inst, blockers, xg, yg)) MoveAlong(rt, inst, xg, yg);
    return true;
  }
  // A direction is taken when it needs no sharper turn than maxrot and
  // both the place a step away and the place `ahead` steps away are free.
  const auto tryDirection = [&](double a) {
    if (AngleDifference(inst.direction, a) > settings.maxrot) return false;
    const double c = std::cos(a * kDegToRad), s = std::sin(a * kDegToRad);
    const double far = stepsize * settings.ahead;
    if (!IsFree(rt, inst, blockers, inst.x + c * far, inst.y - s * far)) return false;
    const double x = inst.x + c * stepsize, y = inst.y - s * stepsize;
    if (!IsFree(rt, inst, blockers, x, y)) return false;
    inst.SetDirection(a);
    inst.SetPosition(rt.resources, x, y);
    return true;
  };
  // The goal's direction first, then ever wider turns to either side.
  const double goal = DirectionTo(inst.x, inst.y, xg, yg);
  for (double s = 0; s < 180; s += settings.rotstep) {
    if (tryDirection(goal - s)) return false;
    if (s > 0 && tryDirection(goal + s)) return false;
  }
  if (settings.onspot) inst.SetDirection(inst.direction + settings.maxrot);
  return false;
}

bool LinearPath(WorldCore& rt, CInstance& inst, CPath& path, double xg, double yg, double stepsize,
                const PlanBlockers& blockers) {
  if (!(stepsize > 0)) return false;
  const SavedPlace saved(rt, inst);
  PlannedPath planned(path);
  for (std::int64_t step = 0; step < kMaxPlanSteps; ++step) {
    planned.Add(inst.x, inst.y);
    const double x = inst.x, y = inst.y;
    if (LinearStep(rt, inst, xg, yg, stepsize, blockers)) {
      planned.Add(xg, yg);
      return true;
    }
    if (inst.x == x && inst.y == y) return false;
  }
  return false;
}

bool PotentialPath(WorldCore& rt, const PotentialSettings& settings, CInstance& inst, CPath& path,
                   double xg, double yg, double stepsize, double factor,
                   const PlanBlockers& blockers) {
  if (factor < 1 || !(stepsize > 0)) return false;
  const double limit = factor * DistanceTo(inst, xg, yg);
  // An instance that stayed put for a whole turn on the spot (or one step
  // when it does not turn) has tried every direction from there and stays
  // for good.
  const double stuckLimit = settings.onspot ? std::ceil(360.0 / settings.maxrot) + 1 : 1;
  const SavedPlace saved(rt, inst);
  PlannedPath planned(path);
  planned.Add(inst.x, inst.y);
  double stuck = 0;
  for (std::int64_t step = 0; step < kMaxPlanSteps; ++step) {
    const double x = inst.x, y = inst.y;
    if (PotentialStep(rt, settings, inst, xg, yg, stepsize, blockers)) {
      planned.Add(xg, yg);
      return true;
    }
    planned.Add(inst.x, inst.y);
    if (planned.length() > limit) return false;
    stuck = inst.x == x && inst.y == y ? stuck + 1 : 0;
    if (stuck >= stuckLimit) return false;
  }
  return false;
}

}  // namespace px
