// Planned motion run from game code: the straight-line and potential-field
// steps on small layouts, position by position, and the paths they fill.
#include "motion/Motion_Planning.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "motion/Motion_TestSupport.h"

using namespace px;
using pxtest::WorldRun;

namespace {

constexpr double kDeg = std::numbers::pi / 180;

// The motion test room with the mover at (0, 0), after the setup code ran
// for it.
struct PlanWorld : pxtest::MotionWorld {
  CInstance* self = nullptr;

  explicit PlanWorld(const std::string& setup = "") {
    EXPECT_TRUE(StartRoom());
    self = &w.Create(mover);
    if (!setup.empty()) w.Run(*self, setup);
  }
  double Num(const std::string& expr) { return w.Run(*self, "return " + expr).real; }
};

struct Place {
  double x, y;
  bool reached;
};

// Calls `call` once per expected place and compares where the mover ends;
// gives its direction at the end.
double ExpectSteps(const char* name, const std::string& setup, const std::string& call,
                   const std::vector<Place>& places) {
  PlanWorld p(setup);
  for (std::size_t i = 0; i < places.size(); ++i) {
    const double reached = p.Num(call);
    EXPECT_NEAR(p.self->x, places[i].x, 1e-9) << name << " call " << i;
    EXPECT_NEAR(p.self->y, places[i].y, 1e-9) << name << " call " << i;
    EXPECT_EQ(reached, places[i].reached ? 1 : 0) << name << " call " << i;
  }
  return p.self->direction;
}

TEST(LinearStep, StepsStraightUntilBlockedOrThere) {
  const struct {
    const char* name;
    const char* setup;
    const char* call;
    std::vector<Place> places;
  } cases[] = {
      {"open", "", "mp_linear_step(10, 0, 4, 0)", {{4, 0, 0}, {8, 0, 0}, {10, 0, 1}, {10, 0, 1}}},
      {"wall between",
       "instance_create(10, 0, wall)",
       "mp_linear_step(20, 0, 4, 0)",
       {{4, 0, 0}, {8, 0, 0}, {8, 0, 0}}},
      {"gap in the wall",
       "instance_create(10, -4, wall); instance_create(10, 2, wall)",
       "mp_linear_step(20, 0, 5, 0)",
       {{5, 0, 0}, {10, 0, 0}, {15, 0, 0}, {20, 0, 1}}},
      {"gap too narrow",
       "instance_create(10, -4, wall); instance_create(10, 1, wall)",
       "mp_linear_step(20, 0, 5, 0)",
       {{5, 0, 0}, {5, 0, 0}}},
      {"crate, solid only",
       "instance_create(10, 0, crate)",
       "mp_linear_step(20, 0, 4, 0)",
       {{4, 0, 0}, {8, 0, 0}, {12, 0, 0}, {16, 0, 0}, {20, 0, 1}}},
      {"crate, all",
       "instance_create(10, 0, crate)",
       "mp_linear_step(20, 0, 4, 1)",
       {{4, 0, 0}, {8, 0, 0}, {8, 0, 0}}},
      // Within reach but taken: reached, and the mover stays.
      {"goal taken",
       "x = 6; instance_create(10, 0, wall)",
       "mp_linear_step(10, 0, 4, 0)",
       {{6, 0, 1}, {6, 0, 1}}},
      // The object form is blocked by that object only.
      {"object form",
       "instance_create(10, 0, wall); instance_create(30, 0, crate)",
       "mp_linear_step_object(40, 0, 8, crate)",
       {{8, 0, 0}, {16, 0, 0}, {24, 0, 0}, {24, 0, 0}}},
      {"object form, all",
       "instance_create(10, 0, crate)",
       "mp_linear_step_object(20, 0, 4, all)",
       {{4, 0, 0}, {8, 0, 0}, {8, 0, 0}}},
      {"slanted", "", "mp_linear_step(30, 40, 5, 0)", {{3, 4, 0}, {6, 8, 0}}},
  };
  for (const auto& c : cases) ExpectSteps(c.name, c.setup, c.call, c.places);
}

TEST(LinearStep, TurnsTheMoverOnlyWhenItMoves) {
  PlanWorld p("direction = 45");
  p.Num("mp_linear_step(30, 40, 5, 0)");
  const double towards = 360 - std::atan2(4, 3) / kDeg;
  EXPECT_NEAR(p.self->direction, towards, 1e-9);
  p.w.Run(*p.self, "direction = 45; instance_create(6, 8, wall)");
  p.Num("mp_linear_step(30, 40, 5, 0)");
  EXPECT_EQ(p.self->x, 3);
  EXPECT_EQ(p.self->direction, 45);
}

TEST(PotentialStep, TurnsAsideWithinTheTurnLimit) {
  const double c20 = std::cos(20 * kDeg) * 2, s20 = std::sin(20 * kDeg) * 2;
  const struct {
    const char* name;
    const char* setup;
    const char* call;
    std::vector<Place> places;
    double direction;  // at the end
  } cases[] = {
      {"open", "", "mp_potential_step(10, 0, 4, 0)", {{4, 0, 0}, {8, 0, 0}, {10, 0, 1}}, 0},
      // Straight on, 10 and 20 degrees down, 10 degrees up meet the wall
      // 6 pixels ahead; 20 degrees up passes above it.
      {"wall ahead",
       "x = 4; instance_create(10, 0, wall)",
       "mp_potential_step(30, 0, 2, 0)",
       {{4 + c20, -s20, 0}},
       20},
      {"crate ahead, solid only",
       "x = 4; instance_create(10, 0, crate)",
       "mp_potential_step(30, 0, 2, 0)",
       {{6, 0, 0}},
       0},
      {"crate ahead, object form",
       "x = 4; instance_create(10, 0, crate)",
       "mp_potential_step_object(30, 0, 2, crate)",
       {{4 + c20, -s20, 0}},
       20},
      // A wall 6 pixels ahead but the turn limited to 10 degrees: no way.
      {"turn limit",
       "x = 4; instance_create(10, 0, wall); mp_potential_settings(10, 10, 3, 0)",
       "mp_potential_step(30, 0, 2, 0)",
       {{4, 0, 0}},
       0},
      {"goal taken",
       "x = 8; instance_create(10, 0, wall)",
       "mp_potential_step(10, 0, 4, 0)",
       {{8, 0, 1}},
       0},
      {"goal free within reach",
       "x = 8; direction = 90",
       "mp_potential_step(9, 1, 4, 0)",
       {{9, 1, 1}},
       315},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(ExpectSteps(c.name, c.setup, c.call, c.places), c.direction, 1e-9) << c.name;
}

// Walls close the mover in on every side: no step is free.
constexpr const char* kBoxedIn =
    "x = 20; y = 20;"
    "with (instance_create(16, 16, wall)) image_xscale = 3;"
    "with (instance_create(16, 22, wall)) image_xscale = 3;"
    "with (instance_create(16, 16, wall)) image_yscale = 3;"
    "with (instance_create(22, 16, wall)) image_yscale = 3;";

TEST(PotentialStep, BoxedInItTurnsOnTheSpotWhenAllowed) {
  for (const bool onspot : {true, false}) {
    PlanWorld p(std::string(kBoxedIn) + "mp_potential_settings(45, 10, 3, " + (onspot ? "1" : "0") +
                ")");
    for (int call = 1; call <= 9; ++call) {
      EXPECT_EQ(p.Num("mp_potential_step(60, 20, 2, 0)"), 0);
      EXPECT_EQ(p.self->x, 20);
      EXPECT_EQ(p.self->y, 20);
      EXPECT_EQ(p.self->direction, onspot ? std::fmod(45.0 * call, 360) : 0) << call;
    }
  }
}

TEST(PotentialSettings, EachNumberIsAtLeastOne) {
  PlanWorld p;
  const PotentialSettings& s = p.w.rt.planning.potential;
  EXPECT_EQ(s.maxrot, 30);
  EXPECT_EQ(s.rotstep, 10);
  EXPECT_EQ(s.ahead, 3);
  EXPECT_TRUE(s.onspot);
  p.Num("mp_potential_settings(0, -5, 0.5, 0.4)");
  EXPECT_EQ(s.maxrot, 1);
  EXPECT_EQ(s.rotstep, 1);
  EXPECT_EQ(s.ahead, 1);
  EXPECT_FALSE(s.onspot);
  p.Num("mp_potential_settings(45, 15, 2.5, 1)");
  EXPECT_EQ(s.maxrot, 45);
  EXPECT_EQ(s.rotstep, 15);
  EXPECT_EQ(s.ahead, 2.5);
  EXPECT_TRUE(s.onspot);
}

// ---- Paths ----

struct PathResult {
  double found;
  std::vector<std::pair<double, double>> points;
};

// Runs a path call from game code on a new path (index 0) and reads it.
PathResult PlanPath(PlanWorld& p, const std::string& call) {
  CPath& path = *p.w.rt.resources.paths.get(p.w.rt.resources.paths.add("pth", CPath{}));
  PathResult r{p.Num(call), {}};
  for (const RPathPoint& q : path.points) {
    EXPECT_EQ(q.speed, 100) << call;
    r.points.emplace_back(q.x, q.y);
  }
  if (!path.points.empty()) {
    EXPECT_EQ(path.kind, 0) << call;
    EXPECT_FALSE(path.closed) << call;
    EXPECT_EQ(path.computed().size(), path.points.size()) << call;
  }
  return r;
}

TEST(PlannedPaths, PointsOfTheStepsAndTheMoverPutBack) {
  using Points = std::vector<std::pair<double, double>>;
  const struct {
    const char* name;
    const char* setup;
    const char* call;
    double found;
    Points points;
  } cases[] = {
      {"linear, open", "", "mp_linear_path(0, 10, 0, 4, 0)", 1,
       Points{{0, 0}, {4, 0}, {8, 0}, {10, 0}}},
      {"linear, wall", "instance_create(10, 0, wall)", "mp_linear_path(0, 20, 0, 4, 0)", 0,
       Points{{0, 0}, {4, 0}, {8, 0}}},
      {"linear, crate, object form", "instance_create(10, 0, crate)",
       "mp_linear_path_object(0, 20, 0, 4, crate)", 0, Points{{0, 0}, {4, 0}, {8, 0}}},
      {"linear, on the goal", "x = 5", "mp_linear_path(0, 5, 0, 4, 0)", 1, Points{{5, 0}, {5, 0}}},
      // Within reach but taken still counts as found.
      {"linear, goal taken", "x = 6; instance_create(10, 0, wall)",
       "mp_linear_path(0, 10, 0, 4, 0)", 1, Points{{6, 0}, {10, 0}}},
      {"linear, no step size", "", "mp_linear_path(0, 10, 0, 0, 0)", 0, Points{}},
      {"potential, open", "direction = 0", "mp_potential_path(0, 10, 0, 4, 2, 0)", 1,
       Points{{0, 0}, {4, 0}, {8, 0}, {10, 0}}},
      {"potential, factor below 1", "", "mp_potential_path(0, 10, 0, 4, 0.9, 0)", 0, Points{}},
      {"potential, no step size", "", "mp_potential_path(0, 10, 0, -1, 2, 0)", 0, Points{}},
  };
  for (const auto& c : cases) {
    PlanWorld p(std::string("direction = 90; ") + c.setup);
    const double x = p.self->x, direction = p.self->direction;
    const PathResult r = PlanPath(p, c.call);
    EXPECT_EQ(r.found, c.found) << c.name;
    EXPECT_EQ(r.points, c.points) << c.name;
    EXPECT_EQ(p.self->x, x) << c.name;
    EXPECT_EQ(p.self->y, 0) << c.name;
    EXPECT_EQ(p.self->direction, direction) << c.name;
  }
}

TEST(PlannedPaths, ThePotentialPathGoesAroundAWallWhenLongEnoughIsAllowed) {
  // A wall 24 high across the way: around it the path is at least 38 long.
  for (const double factor : {1.0, 10.0}) {
    PlanWorld p("x = 4; with (instance_create(10, -12, wall)) image_yscale = 6");
    const PathResult r =
        PlanPath(p, "mp_potential_path(0, 30, 0, 2, " + std::to_string(factor) + ", 0)");
    const CPath& path = *p.w.rt.resources.paths.get(0);
    if (factor == 10.0) {
      EXPECT_EQ(r.found, 1);
      EXPECT_EQ(r.points.back(), std::make_pair(30.0, 0.0));
      // The last step reached the goal from within one step size.
      const auto& before = r.points[r.points.size() - 2];
      EXPECT_LE(std::hypot(30 - before.first, before.second), 2);
    } else {
      EXPECT_EQ(r.found, 0) << factor;
      // It gave up with the first point that made the path too long.
      const double last = std::hypot(r.points.back().first - r.points[r.points.size() - 2].first,
                                     r.points.back().second - r.points[r.points.size() - 2].second);
      EXPECT_GT(path.length(), factor * 26) << factor;
      EXPECT_LE(path.length() - last, factor * 26) << factor;
    }
    EXPECT_EQ(r.points.front(), std::make_pair(4.0, 0.0));
    EXPECT_EQ(p.self->x, 4);
  }
}

TEST(PlannedPaths, AStuckPlanGivesUpInsteadOfRunningForEver) {
  for (const char* settings :
       {"mp_potential_settings(30, 10, 3, 1)", "mp_potential_settings(30, 10, 3, 0)"}) {
    PlanWorld p(std::string(kBoxedIn) + settings);
    const PathResult r = PlanPath(p, "mp_potential_path(0, 60, 20, 2, 1000, 0)");
    EXPECT_EQ(r.found, 0) << settings;
    EXPECT_LE(r.points.size(), 20u) << settings;
    EXPECT_EQ(p.self->x, 20);
  }
  // A step so small that the way would take millions of steps.
  PlanWorld p;
  const PathResult r = PlanPath(p, "mp_linear_path(0, 100000000, 0, 1, 0)");
  EXPECT_EQ(r.found, 0);
  EXPECT_EQ(p.self->x, 0);
}

TEST(PlannedPaths, AMissingPathIsReported) {
  for (const char* call :
       {"mp_linear_path(5, 10, 0, 4, 0)", "mp_linear_path_object(-1, 10, 0, 4, 0)",
        "mp_potential_path(5, 10, 0, 4, 2, 0)", "mp_potential_path_object(5, 10, 0, 4, 2, wall)"}) {
    PlanWorld p;
    p.w.rt.resources.paths.add("pth", CPath{});
    EXPECT_EQ(p.Num(call), 0) << call;
    EXPECT_THAT(p.w.rt.code.report.last,
                testing::EndsWith("\r\nTrying to assign to a non-existing path."))
        << call;
    EXPECT_EQ(p.self->x, 0);
  }
}

}  // namespace
