// The planning grids as game code uses them: numbering, cells, rectangles
// and instances marked, paths found into path resources, the errors, the
// drawing of a grid, and the two planning actions.
#include "library/Function_MotionPlanning.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "code/Function_TestSupport.h"
#include "graphics/Graphics_TestSupport.h"
#include "run/Runtime.h"
#include "world/Room_State.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CallReal;
using pxtest::WorldRun;

namespace {

struct PlanningGrids : testing::Test {
  WorldRun w;
  std::int32_t diagonal = w.AddSprite("spr_diagonal", {"#...", ".#..", "..#.", "...#"});
  std::int32_t thing = w.AddObject("thing");
  std::int32_t other = w.AddObject("other_thing");
  CInstance* self = nullptr;

  void SetUp() override {
    w.rt.settings.showErrors = false;
    w.object(thing).sprite_index = diagonal;
    w.object(other).sprite_index = diagonal;
    ASSERT_TRUE(w.Start());
    w.rt.rooms.live.push_back(std::make_unique<LiveRoom>());
    w.rt.rooms.current = w.rt.rooms.live.back().get();
    w.rt.resources.paths.add("pth", CPath{});
    self = &w.Create(thing, 100, 100);
  }
  double Num(const std::string& expr) { return w.Run(*self, "return " + expr).real; }
  void Do(const std::string& code) { w.Run(*self, code); }

  // The grid's cells as rows of '.' and '#'.
  std::vector<std::string> Rows(double id) {
    const CPlanGrid& g = *w.rt.planning.grids.Find(static_cast<std::int64_t>(id));
    std::vector<std::string> rows(static_cast<std::size_t>(g.vcells()));
    for (int v = 0; v < g.vcells(); ++v)
      for (int h = 0; h < g.hcells(); ++h)
        rows[static_cast<std::size_t>(v)] += g.cell(h, v) < 0 ? '#' : '.';
    return rows;
  }
  const std::string& LastError() const { return w.rt.code.report.last; }
};

TEST_F(PlanningGrids, GridsAreNumberedBySlotAndMissingOnesDoNothing) {
  EXPECT_EQ(Num("mp_grid_create(0, 0, 4, 4, 10, 10)"), 0);
  EXPECT_EQ(Num("mp_grid_create(0, 0, 4, 4, 10, 10)"), 1);
  Do("mp_grid_destroy(0); mp_grid_destroy(0); mp_grid_destroy(-1); mp_grid_destroy(9)");
  EXPECT_EQ(Num("mp_grid_create(0, 0, 2, 2, 10, 10)"), 0);
  EXPECT_EQ(Num("mp_grid_create(0, 0, 4, 4, 10, 10)"), 2);
  Do("mp_grid_destroy(1)");
  for (const char* call :
       {"mp_grid_clear_all(1)", "mp_grid_add_cell(1, 0, 0)", "mp_grid_clear_cell(7, 0, 0)",
        "mp_grid_add_rectangle(1, 0, 0, 40, 40)", "mp_grid_clear_rectangle(-1, 0, 0, 9, 9)",
        "mp_grid_add_instances(1, all, 1)", "mp_grid_draw(1)",
        "mp_grid_path(1, 0, 5, 5, 15, 15, 1)"})
    EXPECT_EQ(Num(call), 0) << call;
  EXPECT_EQ(LastError(), "");
  EXPECT_TRUE(w.rt.resources.paths.get(0)->points.empty());
}

TEST_F(PlanningGrids, SizesOfNoCellsAndTooManyCells) {
  // A grid of no cells exists, but every way on it is missing.
  EXPECT_EQ(Num("mp_grid_create(0, 0, 0, 5, 10, 10)"), 0);
  EXPECT_EQ(Num("mp_grid_create(0, 0, -4, -4, 10, 10)"), 1);
  EXPECT_EQ(Num("mp_grid_path(1, 0, 0, 0, 0, 0, 0)"), 0);
  EXPECT_EQ(Num("mp_grid_create(0, 0, 100000, 100000, 1, 1)"), -1);
  EXPECT_THAT(LastError(), testing::EndsWith("\r\nGrid is too large."));
  EXPECT_EQ(Num("mp_grid_create(0, 0, 3, 3, 0, 0)"), 2);
  Do("mp_grid_add_rectangle(2, 0, 0, 100, 100); mp_grid_add_cell(2, 1, 1)");
  EXPECT_EQ(Rows(2), (std::vector<std::string>{"...", ".#.", "..."}));
  EXPECT_EQ(Num("mp_grid_path(2, 0, 0, 0, 0, 0, 0)"), 0);
}

TEST_F(PlanningGrids, CellsAndRectanglesAreSetAndCleared) {
  Do("g = mp_grid_create(10, 20, 4, 3, 10, 10); mp_grid_add_rectangle(g, 25, 35, 39, 20)");
  const double g = Num("g");
  EXPECT_EQ(Rows(g), (std::vector<std::string>{".##.", ".##.", "...."}));
  Do("mp_grid_clear_cell(g, 2, 1); mp_grid_add_cell(g, 0, 2); mp_grid_add_cell(g, 4, 0);"
     "mp_grid_add_cell(g, 0, -1)");
  EXPECT_EQ(Rows(g), (std::vector<std::string>{".##.", ".#..", "#..."}));
  Do("mp_grid_clear_rectangle(g, 0, 0, 29, 29)");
  EXPECT_EQ(Rows(g), (std::vector<std::string>{"..#.", ".#..", "#..."}));
  Do("mp_grid_clear_all(g)");
  EXPECT_EQ(Rows(g), (std::vector<std::string>{"....", "....", "...."}));
}

TEST_F(PlanningGrids, InstancesMarkTheirBoxOrTheCellsTheirShapeMeets) {
  // The diagonal sprite at (100, 100) covers 100..103 on both axes; cells
  // of 2 × 2 from (100, 100) cut it into four, two of which it meets.
  w.Create(other, 104, 100);
  const struct {
    const char* obj;
    bool precise;
    std::vector<std::string> rows;
  } cases[] = {
      {"self", false, {"##..", "##.."}},  {"self", true, {"#...", ".#.."}},
      {"all", true, {"#.#.", ".#.#"}},    {"other_thing", false, {"..##", "..##"}},
      {"thing", false, {"##..", "##.."}}, {"noone", false, {"....", "...."}},
  };
  for (const auto& c : cases) {
    const double g = Num("mp_grid_create(100, 100, 4, 2, 2, 2)");
    Do("mp_grid_add_instances(" + std::to_string(g) + ", " + c.obj + ", " +
       (c.precise ? "1" : "0") + ")");
    EXPECT_EQ(Rows(g), c.rows) << c.obj << " " << c.precise;
    Do("mp_grid_destroy(" + std::to_string(g) + ")");
  }
}

TEST_F(PlanningGrids, AWayFoundIsWrittenIntoThePath) {
  // Columns of 10 from x 0, rows of 10 from y 0; a wall down column 1 but
  // for its last row.
  Do("g = mp_grid_create(0, 0, 3, 3, 10, 10); mp_grid_add_rectangle(g, 10, 0, 19, 19)");
  EXPECT_EQ(Num("mp_grid_path(g, 0, 2.4, 3.6, 27, 1, 0)"), 1);
  const CPath& path = *w.rt.resources.paths.get(0);
  std::vector<std::pair<double, double>> points;
  for (const RPathPoint& p : path.points) points.emplace_back(p.x, p.y);
  EXPECT_EQ(points, (std::vector<std::pair<double, double>>{
                        {2, 4}, {5, 15}, {5, 25}, {15, 25}, {25, 25}, {25, 15}, {27, 1}}));
  EXPECT_DOUBLE_EQ(path.length(), std::hypot(3, 11) + 40 + std::hypot(2, 14));
  // The goal walled in: nothing found and the path as it was.
  Do("mp_grid_add_cell(g, 1, 2)");
  EXPECT_EQ(Num("mp_grid_path(g, 0, 2, 4, 27, 1, 1)"), 0);
  EXPECT_EQ(path.points.size(), 7u);
  EXPECT_EQ(Num("mp_grid_path(g, 3, 2, 4, 27, 1, 1)"), 0);
  EXPECT_THAT(LastError(), testing::EndsWith("\r\nTrying to assign to a non-existing path."));
}

TEST(PlanningGridDrawing, FreeCellsGreenForbiddenRed) {
  pxtest::DeviceRun run;
  const double g = CallReal(run, "mp_grid_create", {8, 4, 3, 1, 10, 12});
  CallReal(run, "mp_grid_add_cell", {g, 1, 0});
  run.device().ClearTarget(0, 1);
  CallReal(run, "mp_grid_draw", {g});
  EXPECT_EQ(run.Pixel(10, 8), 0xFF008000u);
  EXPECT_EQ(run.Pixel(20, 8), 0xFFFF0000u);
  EXPECT_EQ(run.Pixel(35, 15), 0xFF008000u);
  EXPECT_EQ(run.Pixel(7, 8), 0xFF000000u);
  EXPECT_EQ(run.Pixel(20, 17), 0xFF000000u);
  EXPECT_EQ(run.Pixel(40, 8), 0xFF000000u);
}

TEST(PlanningActions, StepTowardsAGoalRelativeOrNot) {
  const struct {
    const char* function;
    std::vector<std::string> args;
    bool relative;
    double x, y;
  } cases[] = {
      {"action_linear_step", {"30", "20", "4", "0"}, false, 14, 20},
      {"action_linear_step", {"30", "0", "4", "0"}, true, 14, 20},
      {"action_potential_step", {"30", "20", "4", "0"}, false, 14, 20},
      {"action_potential_step", {"20", "0", "4", "0"}, true, 14, 20},
      // checkall: the crate at (16, 20) blocks.
      {"action_linear_step", {"30", "20", "8", "1"}, false, 10, 20},
      {"action_linear_step", {"30", "20", "8", "0"}, false, 18, 20},
  };
  for (const auto& c : cases) {
    WorldRun w;
    const std::int32_t obj = w.AddObject("obj");
    const std::int32_t crate = w.AddObject("crate");
    w.object(crate).sprite_index = w.AddSprite("spr", {"####"});
    w.object(obj).sprite_index = w.object(crate).sprite_index;
    CAction action = pxtest::FunctionAction(c.function, c.args);
    action.may_be_relative = true;
    action.relative = c.relative;
    w.On(obj, EventKind::Other, 10, {action});
    ASSERT_TRUE(w.Start());
    w.Create(crate, 16, 20);
    CInstance& self = w.Create(obj, 10, 20);
    PerformEvent(w.rt, &self, &self, 7, 10);
    EXPECT_EQ(self.x, c.x) << c.function << " " << c.relative;
    EXPECT_EQ(self.y, c.y) << c.function << " " << c.relative;
  }
}

}  // namespace
