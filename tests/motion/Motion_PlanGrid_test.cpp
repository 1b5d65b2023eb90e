// Planning grids: the cells a room rectangle covers, the breadth-first
// search with and without diagonal moves, the way written into a path, and
// what a failed search leaves.
#include "motion/Motion_PlanGrid.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace px;

namespace {

// Grids in these tests lie at (100, 50) with cells 10 wide and 8 high.
constexpr int kLeft = 100, kTop = 50, kCellW = 10, kCellH = 8;

// A grid drawn as rows of '.' (free) and '#' (forbidden).
CPlanGrid Drawn(const std::vector<std::string_view>& rows) {
  CPlanGrid g(kLeft, kTop, static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), kCellW,
              kCellH);
  for (std::size_t v = 0; v < rows.size(); ++v)
    for (std::size_t h = 0; h < rows[v].size(); ++h)
      if (rows[v][h] == '#')
        g.SetCell(static_cast<std::int64_t>(h), static_cast<std::int64_t>(v), CellState::Forbidden);
  return g;
}

// The grid drawn back as rows.
std::vector<std::string> Rows(const CPlanGrid& g) {
  std::vector<std::string> rows(static_cast<std::size_t>(g.vcells()));
  for (int v = 0; v < g.vcells(); ++v)
    for (int h = 0; h < g.hcells(); ++h)
      rows[static_cast<std::size_t>(v)] += g.cell(h, v) == 0 ? '.' : g.cell(h, v) < 0 ? '#' : '?';
  return rows;
}

using Points = std::vector<std::pair<double, double>>;

Points PointsOf(const CPath& p) {
  Points out;
  for (const RPathPoint& q : p.points) {
    EXPECT_EQ(q.speed, 100);
    out.emplace_back(q.x, q.y);
  }
  return out;
}

// The point at the centre of cell (h, v).
std::pair<double, double> Centre(int h, int v) {
  return {kLeft + h * kCellW + kCellW / 2, kTop + v * kCellH + kCellH / 2};
}

// A point inside cell (h, v), off its centre.
std::pair<int, int> In(int h, int v) {
  return {kLeft + h * kCellW + 2, kTop + v * kCellH + 7};
}

TEST(PlanGrid, SearchFindsTheWayAndWritesItFromStartToGoal) {
  const struct {
    const char* name;
    std::vector<std::string_view> rows;
    std::pair<int, int> start, goal;  // cells
    bool diagonal;
    std::vector<std::pair<int, int>> between;  // the cells whose centres lie between
  } cases[] = {
      {"around a wall",
       {".....", "###..", "....."},
       {0, 0},
       {0, 2},
       false,
       {{1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}, {2, 2}, {1, 2}}},
      // No diagonal past the wall's end: both cells beside a diagonal move
      // must be free when it is taken.
      {"around a wall, diagonals allowed",
       {".....", "###..", "....."},
       {0, 0},
       {0, 2},
       true,
       {{1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}, {2, 2}, {1, 2}}},
      // The way back prefers left, right, up, down, so it reads along the
      // bottom row first.
      {"open, straight moves",
       {"....", "....", "....", "...."},
       {0, 0},
       {3, 3},
       false,
       {{0, 1}, {0, 2}, {0, 3}, {1, 3}, {2, 3}}},
      {"open, diagonal moves",
       {"....", "....", "....", "...."},
       {0, 0},
       {3, 3},
       true,
       {{1, 1}, {2, 2}}},
      {"round a block, diagonals allowed",
       {"...", ".#.", "..."},
       {0, 0},
       {2, 2},
       true,
       {{0, 1}, {0, 2}, {1, 2}}},
      {"start and goal in one cell", {"...", "..."}, {1, 1}, {1, 1}, true, {}},
      {"next cell", {"..."}, {0, 0}, {1, 0}, false, {}},
      // The goal at (1, 2) counts 7 both from (2, 1) and from (0, 3); the way
      // back must not take the diagonal to (0, 3) past the forbidden (1, 3).
      {"no corner cut on the way back",
       {"#.###", "#....", "...#.", ".##..", "....."},
       {4, 4},
       {1, 2},
       true,
       {{4, 3}, {4, 2}, {4, 1}, {3, 1}, {2, 1}}},
  };
  for (const auto& c : cases) {
    CPlanGrid g = Drawn(c.rows);
    const auto [xs, ys] = In(c.start.first, c.start.second);
    const auto [xg, yg] = In(c.goal.first, c.goal.second);
    CPath path;
    path.points = {{1, 1, 50}};
    path.kind = 1;
    ASSERT_TRUE(g.FindPath(xs, ys, xg, yg, c.diagonal, path)) << c.name;
    Points expected{{xs, ys}};
    for (const auto& [h, v] : c.between) expected.push_back(Centre(h, v));
    expected.emplace_back(xg, yg);
    EXPECT_EQ(PointsOf(path), expected) << c.name;
    EXPECT_EQ(path.kind, 0) << c.name;
    EXPECT_FALSE(path.closed) << c.name;
    EXPECT_EQ(path.computed().size(), expected.size()) << c.name;
    // The step counts of the search are gone again.
    EXPECT_EQ(Rows(g), std::vector<std::string>(c.rows.begin(), c.rows.end())) << c.name;
  }
}

TEST(PlanGrid, AFailedSearchLeavesThePathAndTheGridAsTheyWere) {
  const std::vector<std::string_view> rows{".....", ".###.", ".#.#.", ".###.", "....."};
  const auto free = In(0, 0);
  const std::pair<int, int> outside[] = {
      {kLeft - 1, kTop},                                // left of the grid
      {kLeft + 5 * kCellW, kTop},                       // just past the last column
      {kLeft, kTop + 5 * kCellH},                       // just below the last row
      {kLeft + 5 * kCellW - 1, kTop + 5 * kCellH - 1},  // the last cell
  };
  const struct {
    const char* name;
    std::pair<int, int> start, goal;
    bool found;
  } cases[] = {
      {"walled in", free, In(2, 2), false},
      {"walled in, from inside", In(2, 2), free, false},
      {"forbidden goal", free, In(1, 1), false},
      {"forbidden start", In(2, 1), free, false},
      {"start left of the grid", outside[0], free, false},
      {"goal past the last column", free, outside[1], false},
      {"goal below the last row", free, outside[2], false},
      {"last column and row", free, outside[3], true},
  };
  for (const auto& c : cases) {
    for (const bool diagonal : {false, true}) {
      CPlanGrid g = Drawn(rows);
      CPath path;
      path.points = {{1, 2, 50}, {3, 4, 60}};
      path.kind = 1;
      path.GeometryChanged();
      const CPath before = path;
      EXPECT_EQ(
          g.FindPath(c.start.first, c.start.second, c.goal.first, c.goal.second, diagonal, path),
          c.found)
          << c.name;
      if (!c.found) {
        EXPECT_EQ(path, before) << c.name;
      }
      EXPECT_EQ(Rows(g), std::vector<std::string>(rows.begin(), rows.end())) << c.name;
    }
  }
}

TEST(PlanGrid, RectanglesCoverTheCellsTheirCornersFallIn) {
  // Four columns and three rows at (100, 50), cells 10 × 8.
  const struct {
    const char* name;
    std::int64_t x1, y1, x2, y2;
    std::vector<std::string_view> rows;
  } cases[] = {
      {"one cell", 110, 58, 119, 65, {"....", ".#..", "...."}},
      {"corners swapped", 129, 65, 111, 50, {".##.", ".##.", "...."}},
      {"out on every side", 0, 0, 1000, 1000, {"####", "####", "####"}},
      // Division truncates towards zero: up to a cell less one pixel left
      // of or above the grid still counts as the first column or row.
      {"a little left", 91, 50, 105, 50, {"#...", "....", "...."}},
      {"wholly left, within a cell", 91, 60, 97, 60, {"....", "#...", "...."}},
      {"a cell or more left", 80, 60, 90, 60, {"....", "....", "...."}},
      {"below the grid", 110, 80, 120, 90, {"....", "....", "...."}},
  };
  for (const auto& c : cases) {
    CPlanGrid g(kLeft, kTop, 4, 3, kCellW, kCellH);
    g.SetRange(g.CellsOf(c.x1, c.y1, c.x2, c.y2), CellState::Forbidden);
    EXPECT_EQ(Rows(g), std::vector<std::string>(c.rows.begin(), c.rows.end())) << c.name;
    g.SetRange(g.CellsOf(c.x1, c.y1, c.x2, c.y2), CellState::Free);
    EXPECT_EQ(Rows(g), std::vector<std::string>(3, "....")) << c.name;
  }
}

TEST(PlanGrid, EmptyAndDegenerateGridsFindNoWay) {
  const struct {
    int hcells, vcells, cellwidth, cellheight;
  } cases[] = {{0, 5, 10, 10}, {-3, 5, 10, 10}, {5, -1, 10, 10}, {3, 3, 0, 10}, {3, 3, 10, -4}};
  for (const auto& c : cases) {
    CPlanGrid g(0, 0, c.hcells, c.vcells, c.cellwidth, c.cellheight);
    EXPECT_GE(g.hcells(), 0);
    EXPECT_GE(g.vcells(), 0);
    g.SetCell(0, 0, CellState::Forbidden);
    g.SetCell(-1, 7, CellState::Forbidden);
    g.SetRange(g.CellsOf(-100, -100, 100, 100), CellState::Forbidden);
    g.SetAll(CellState::Free);
    CPath path;
    EXPECT_FALSE(g.FindPath(0, 0, 1, 1, true, path)) << c.hcells << " " << c.cellwidth;
    EXPECT_TRUE(path.points.empty());
  }
  EXPECT_TRUE(CPlanGrid::ValidSize(1000, 1000));
  EXPECT_TRUE(CPlanGrid::ValidSize(-5, 1000));
  EXPECT_FALSE(CPlanGrid::ValidSize(100000, 100000));
  EXPECT_FALSE(CPlanGrid::ValidSize(1, 2147483647));
}

TEST(PlanGrid, CellsOutsideTheGridAreLeftAlone) {
  CPlanGrid g(0, 0, 3, 2, 10, 10);
  for (const auto& [h, v] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {3, 2}})
    g.SetCell(h, v, CellState::Forbidden);
  EXPECT_EQ(Rows(g), (std::vector<std::string>{"...", "..."}));
  EXPECT_EQ(g.cell(-1, 0), -1);  // reads as forbidden
  g.SetCell(2, 1, CellState::Forbidden);
  EXPECT_EQ(Rows(g), (std::vector<std::string>{"...", "..#"}));
}

TEST(PlanGridTable, NewGridsTakeTheFirstEmptySlot) {
  PlanGridTable t;
  const auto grid = [] { return std::make_unique<CPlanGrid>(0, 0, 1, 1, 1, 1); };
  EXPECT_EQ(t.Add(grid()), 0);
  EXPECT_EQ(t.Add(grid()), 1);
  EXPECT_EQ(t.Add(grid()), 2);
  t.Destroy(1);
  t.Destroy(0);
  t.Destroy(0);
  t.Destroy(7);
  t.Destroy(-1);
  EXPECT_EQ(t.Find(0), nullptr);
  EXPECT_EQ(t.Find(-1), nullptr);
  EXPECT_NE(t.Find(2), nullptr);
  EXPECT_EQ(t.Add(grid()), 0);
  EXPECT_EQ(t.Add(grid()), 1);
  EXPECT_EQ(t.Add(grid()), 3);
}

}  // namespace
