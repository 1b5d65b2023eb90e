// Following paths in the step loop: positions per step at several speeds,
// every end action at both ends, absolute and relative starts, and the end
// of path event.
#include "motion/Motion_Path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/Run_Main.h"
#include "run/Runtime.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

namespace {

// A walker object that logs its place at the end of each step and its path
// state at the end of its path, and two paths.
class Walker {
 public:
  Walker() {
    w.rt.settings.showErrors = false;
    obj = w.AddObject("walker");
    // An L: 10 to the right, then 10 down; 20 long.
    AddPath({{0, 0, 100}, {10, 0, 100}, {10, 10, 100}});
    // A straight line whose point speed doubles towards its end.
    AddPath({{0, 0, 100}, {4, 0, 200}});
    w.On(obj, EventKind::Step, kEvStepEnd, {CodeAction("log(x, y)")});
    w.On(obj, EventKind::Other, 8, {CodeAction("log('end', path_index, path_position)")});
  }

  std::int32_t AddPath(std::vector<RPathPoint> points) {
    CPath path;
    path.closed = false;
    path.points = std::move(points);
    path.GeometryChanged();
    return w.rt.resources.paths.add("pth" + std::to_string(w.rt.resources.paths.count()), path);
  }

  // Runs `steps` steps of a room holding one walker at (100, 50) whose
  // creation code is `code`; the log.
  std::string Walk(const std::string& code, std::int64_t steps) {
    CRoom room;
    room.width = 640;
    room.height = 480;
    room.instances = {{.x = 100, .y = 50, .object = obj, .id = 100001, .creation_code = code}};
    w.rt.resources.rooms.add("rm", room);
    w.rt.resources.roomOrder = {0};
    return w.Play(steps);
  }

  WorldRun w;
  std::int32_t obj = -1;
};

std::string Walk(const std::string& code, std::int64_t steps) {
  Walker walker;
  return walker.Walk(code, steps);
}

TEST(PathFollowing, EachEndActionAtEachEnd) {
  // Path 0 at 2.5 pixels a step: an eighth of the path.
  const struct {
    const char* start;
    const char* log;
  } cases[] = {
      // Stop: the last point, at either end, and the path is left.
      {"path_start(0, 2.5, 0, 0)",
       "102.5 50|105 50|107.5 50|110 50|110 52.5|110 55|110 57.5|end -1 1|110 60|110 60"},
      {"path_start(0, -2.5, 0, 0)",
       "110 57.5|110 55|110 52.5|110 50|107.5 50|105 50|102.5 50|"
       "end -1 1|110 60|110 60"},
      // Restart: back to the start (to the end when going backwards).
      {"path_start(0, 2.5, 1, 0)",
       "102.5 50|105 50|107.5 50|110 50|110 52.5|110 55|110 57.5|end 0 0|100 50|102.5 50"},
      {"path_start(0, -2.5, 1, 0)",
       "110 57.5|110 55|110 52.5|110 50|107.5 50|105 50|102.5 50|"
       "end 0 1|110 60|110 57.5"},
      // Continue: the next lap starts where the last one ended.
      {"path_start(0, 2.5, 2, 0)",
       "102.5 50|105 50|107.5 50|110 50|110 52.5|110 55|110 57.5|end 0 0|110 60|112.5 60"},
      {"path_start(0, -2.5, 2, 0)",
       "110 57.5|110 55|110 52.5|110 50|107.5 50|105 50|102.5 50|"
       "end 0 1|100 50|100 47.5"},
      // Reverse: back along the path.
      {"path_start(0, 2.5, 3, 0)",
       "102.5 50|105 50|107.5 50|110 50|110 52.5|110 55|110 57.5|end 0 1|110 60|110 57.5"},
      {"path_start(0, -2.5, 3, 0)",
       "110 57.5|110 55|110 52.5|110 50|107.5 50|105 50|102.5 50|"
       "end 0 0|100 50|102.5 50"},
      // An unknown end action stops.
      {"path_start(0, 5, 7, 0)",
       "105 50|110 50|110 55|end -1 1|110 60|110 60|110 60|110 60|"
       "110 60|110 60"},
  };
  for (const auto& c : cases) EXPECT_EQ(Walk(c.start, 9), c.log) << c.start;
}

TEST(PathFollowing, SpeedsScaleByThePointSpeedsAndTheStartIsAbsoluteOrRelative) {
  const struct {
    const char* start;
    std::int64_t steps;
    const char* log;
  } cases[] = {
      // Speed 1 along path 1, whose point speed grows: 0.25, then 0.3125,
      // 0.390625 of the path per step.
      {"path_start(1, 1, 0, 1)", 4, "1 0|2.25 0|3.8125 0|end -1 1|4 0"},
      {"path_start(1, 1, 0, 0)", 3, "101 50|102.25 50|103.8125 50"},
      // Backwards and absolute: the instance jumps to the last point, which
      // then stands for the first one, so the path runs shifted by (10, 10).
      {"path_start(0, -2.5, 0, 1)", 2, "20 17.5|20 15"},
      // Half the scale: half the shape, covered at the same speed.
      {"path_start(0, 2.5, 0, 0); path_scale = 0.5", 2, "102.5 50|105 50"},
      // Turned by 90 degrees: right becomes up, down becomes right.
      {"path_start(0, 5, 0, 0); path_orientation = 90", 3, "100 45|100 40|105 40"},
      // No path, or a speed of 0, does not move.
      {"path_start(-1, 5, 0, 0); log(path_index)", 1, "-1|100 50"},
      {"path_start(0, 0, 0, 0); log(path_index)", 1, "0|100 50"},
      // The path action never turns or scales the path.
      {"path_scale = 2; path_orientation = 90; action_path(0, 5, 0, 0)", 1, "105 50"},
  };
  for (const auto& c : cases) EXPECT_EQ(Walk(c.start, c.steps), c.log) << c.start;
}

TEST(PathFollowing, AStepLeavesTheDirectionOfTheMoveAndNoSpeed) {
  Walker walker;
  WorldRun& w = walker.w;
  const std::int32_t point = walker.AddPath({{5, 5, 100}});
  ASSERT_TRUE(w.Start());
  CInstance& inst = w.Create(walker.obj, 100, 50);
  w.Run(inst, "path_start(0, 5, 0, 0); speed = 3; direction = 45");
  const struct {
    int steps;
    double direction;
  } cases[] = {{1, 0}, {2, 270}};
  for (const auto& c : cases) {
    for (int i = 0; i < c.steps; ++i) EXPECT_FALSE(PathStep(w.rt, inst));
    EXPECT_EQ(inst.direction, c.direction);
    EXPECT_EQ(inst.speed, 0);
    EXPECT_EQ(inst.hspeed, 0);
    EXPECT_EQ(inst.vspeed, 0);
  }
  EXPECT_TRUE(PathStep(w.rt, inst));
  EXPECT_EQ(inst.path_index, -1);
  // A path of one point has no length: starting it leaves no path.
  w.Run(inst, "path_start(0, 5, 0, 0); path_start(" + std::to_string(point) + ", 5, 0, 0)");
  EXPECT_EQ(inst.path_index, -1);
}

}  // namespace
