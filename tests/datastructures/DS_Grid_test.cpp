// Grids: cells, regions and disks clipped to the grid, statistics and
// searches, copies of regions between and within grids, and sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "datastructures/DS_TestSupport.h"

namespace {

using pxtest::Describe;
using pxtest::DsRun;
using pxtest::Real;
using pxtest::Str;

using Rows = std::vector<std::string>;

// The grid row by row, cells separated by spaces.
Rows Show(DsRun& run, const px::RValue& grid) {
  const auto w = static_cast<int>(run.Num("ds_grid_width", {grid}));
  const auto h = static_cast<int>(run.Num("ds_grid_height", {grid}));
  Rows rows;
  for (int y = 0; y < h; ++y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      if (x > 0) row += ' ';
      row += Describe(run.Call("ds_grid_get", {grid, Real(x), Real(y)}));
    }
    rows.push_back(row);
  }
  return rows;
}

// A w × h grid whose cell (x, y) holds 10 × x + y.
px::RValue Numbered(DsRun& run, int w, int h) {
  const px::RValue g = run.Call("ds_grid_create", {Real(w), Real(h)});
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) run.Call("ds_grid_set", {g, Real(x), Real(y), Real(10 * x + y)});
  }
  return g;
}

TEST(DsGrid, CellsOutsideTheGridAreLeftAlone) {
  DsRun run;
  const px::RValue g = run.Call("ds_grid_create", {Real(3), Real(2)});
  EXPECT_EQ(Show(run, g), (Rows{"0 0 0", "0 0 0"}));
  run.Call("ds_grid_set", {g, Real(0), Real(0), Real(2)});
  run.Call("ds_grid_add", {g, Real(0), Real(0), Real(3)});
  run.Call("ds_grid_multiply", {g, Real(0), Real(0), Real(4)});
  run.Call("ds_grid_set", {g, Real(2), Real(1), Str("s")});
  run.Call("ds_grid_add", {g, Real(2), Real(1), Str("t")});
  run.Call("ds_grid_multiply", {g, Real(2), Real(1), Real(5)});
  run.Call("ds_grid_add", {g, Real(1.5), Real(0.5), Real(7)});  // rounds to (2, 0)
  for (const auto& [x, y] :
       std::vector<std::pair<double, double>>{{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) {
    run.Call("ds_grid_set", {g, Real(x), Real(y), Real(99)});
    EXPECT_EQ(run.Call("ds_grid_get", {g, Real(x), Real(y)}), Real(0));
  }
  EXPECT_EQ(Show(run, g), (Rows{"20 0 7", "0 0 'st'"}));
  EXPECT_EQ(run.Num("ds_grid_width", {g}), 3);
  EXPECT_EQ(run.Num("ds_grid_height", {g}), 2);
  run.Call("ds_grid_clear", {g, Str("c")});
  EXPECT_EQ(Show(run, g), (Rows{"'c' 'c' 'c'", "'c' 'c' 'c'"}));
  EXPECT_EQ(run.TakeError(), "");
}

TEST(DsGrid, RegionsAreOrderedAndClippedToTheGrid) {
  struct Case {
    double x1, y1, x2, y2;
    Rows expected;
  } cases[] = {
      {1, 1, 2, 2, {"0 0 0 0", "0 1 1 0", "0 1 1 0"}},
      {2, 2, 1, 1, {"0 0 0 0", "0 1 1 0", "0 1 1 0"}},
      {-2, -1, 1, 0, {"1 1 0 0", "0 0 0 0", "0 0 0 0"}},
      {3, 2, 9, 9, {"0 0 0 0", "0 0 0 0", "0 0 0 1"}},
      {9, -9, -9, 9, {"1 1 1 1", "1 1 1 1", "1 1 1 1"}},
      {-5, -5, -1, -1, {"0 0 0 0", "0 0 0 0", "0 0 0 0"}},
      {4, 0, 6, 2, {"0 0 0 0", "0 0 0 0", "0 0 0 0"}},
      {0, 3, 3, 3, {"0 0 0 0", "0 0 0 0", "0 0 0 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x1) + "," + std::to_string(c.y1) + " to " + std::to_string(c.x2) +
                 "," + std::to_string(c.y2));
    DsRun run;
    const px::RValue g = run.Call("ds_grid_create", {Real(4), Real(3)});
    run.Call("ds_grid_set_region", {g, Real(c.x1), Real(c.y1), Real(c.x2), Real(c.y2), Real(1)});
    EXPECT_EQ(Show(run, g), c.expected);
    // Add and multiply cover the same cells.
    run.Call("ds_grid_add_region", {g, Real(c.x1), Real(c.y1), Real(c.x2), Real(c.y2), Real(2)});
    run.Call("ds_grid_multiply_region",
             {g, Real(c.x1), Real(c.y1), Real(c.x2), Real(c.y2), Real(5)});
    Rows scaled = c.expected;
    for (std::string& row : scaled) {
      for (std::size_t at = row.find('1'); at != std::string::npos; at = row.find('1', at + 2)) {
        row.replace(at, 1, "15");
      }
    }
    EXPECT_EQ(Show(run, g), scaled);
  }
}

TEST(DsGrid, DisksHoldTheCellsWithinTheRadius) {
  struct Case {
    double xm, ym, r;
    Rows expected;
  } cases[] = {
      {2, 2, 1, {"0 0 0 0 0", "0 0 1 0 0", "0 1 1 1 0", "0 0 1 0 0"}},
      {2, 2, 1.5, {"0 0 0 0 0", "0 1 1 1 0", "0 1 1 1 0", "0 1 1 1 0"}},
      {2, 2, 0, {"0 0 0 0 0", "0 0 0 0 0", "0 0 1 0 0", "0 0 0 0 0"}},
      {2.5, 1.5, 0.75, {"0 0 0 0 0", "0 0 1 1 0", "0 0 1 1 0", "0 0 0 0 0"}},
      {0, 0, 2, {"1 1 1 0 0", "1 1 0 0 0", "1 0 0 0 0", "0 0 0 0 0"}},
      {-1, 4, 2, {"0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0", "1 0 0 0 0"}},
      {2, 2, -1, {"0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0"}},
      {-9, -9, 3, {"0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0"}},
      {2, 2, 1e300, {"1 1 1 1 1", "1 1 1 1 1", "1 1 1 1 1", "1 1 1 1 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.xm) + "," + std::to_string(c.ym) + " r " + std::to_string(c.r));
    DsRun run;
    const px::RValue g = run.Call("ds_grid_create", {Real(5), Real(4)});
    run.Call("ds_grid_set_disk", {g, Real(c.xm), Real(c.ym), Real(c.r), Real(1)});
    EXPECT_EQ(Show(run, g), c.expected);
    run.Call("ds_grid_add_disk", {g, Real(c.xm), Real(c.ym), Real(c.r), Real(1)});
    run.Call("ds_grid_multiply_disk", {g, Real(c.xm), Real(c.ym), Real(c.r), Real(3)});
    std::size_t ones = 0;
    for (const std::string& row : c.expected)
      ones += static_cast<std::size_t>(std::count(row.begin(), row.end(), '1'));
    EXPECT_EQ(run.Num("ds_grid_get_sum", {g, Real(0), Real(0), Real(4), Real(3)}), 6.0 * ones);
  }
}

TEST(DsGrid, StatisticsOverRegionsAndDisksPassOverStrings) {
  DsRun run;
  const px::RValue g = run.Call("ds_grid_create", {Real(4), Real(4)});
  run.Call("ds_grid_set_region", {g, Real(0), Real(0), Real(1), Real(1), Str("text")});
  run.Call("ds_grid_set", {g, Real(2), Real(0), Real(4)});
  run.Call("ds_grid_set", {g, Real(3), Real(0), Real(-6)});
  run.Call("ds_grid_set", {g, Real(2), Real(1), Real(2)});
  run.Call("ds_grid_set", {g, Real(0), Real(3), Real(-3e8)});
  run.Call("ds_grid_set", {g, Real(3), Real(3), Real(5e8)});
  struct Case {
    const char* what;
    std::vector<double> area;
    double expected;
  } cases[] = {
      {"sum", {0, 0, 3, 1}, 0},
      {"max", {0, 0, 3, 1}, 4},
      {"min", {0, 0, 3, 1}, -6},
      {"mean", {0, 0, 3, 1}, 0},
      {"max", {2, 0, 3, 0}, 4},
      {"mean", {3, 0, 2, 1}, 0},
      // Only strings: the bounds the search starts from.
      {"max", {0, 0, 1, 1}, -100000000},
      {"min", {1, 1, 0, 0}, 100000000},
      {"sum", {0, 0, 1, 1}, 0},
      {"mean", {0, 0, 1, 1}, 0},
      // Reals beyond those bounds are still found.
      {"max", {0, 3, 0, 3}, -3e8},
      {"min", {3, 3, 3, 3}, 5e8},
      {"sum", {-5, -5, 9, 9}, 2e8},
      {"mean", {2, 0, 3, 1}, 0},
      // A region without any cell gives 0.
      {"max", {5, 5, 9, 9}, 0},
      {"min", {-3, 0, -1, 3}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.area[0]) + "," +
                 std::to_string(c.area[1]) + " to " + std::to_string(c.area[2]) + "," +
                 std::to_string(c.area[3]));
    EXPECT_EQ(run.Num(std::string("ds_grid_get_") + c.what,
                      {g, Real(c.area[0]), Real(c.area[1]), Real(c.area[2]), Real(c.area[3])}),
              c.expected);
  }
  struct Disk {
    const char* what;
    double xm, ym, r, expected;
  } disks[] = {
      {"sum", 2, 0, 1, 0},
      {"max", 2, 0, 1, 4},
      {"min", 2, 0, 1, -6},
      {"mean", 2.5, 0.5, 0.8, 0},
      {"max", 0.5, 0.5, 0.8, -100000000},
      {"min", 0, 0, 0, 100000000},
      {"sum", 9, 9, 1, 0},
      {"max", 9, 9, 1, 0},
  };
  for (const Disk& d : disks) {
    SCOPED_TRACE(std::string(d.what) + " disk " + std::to_string(d.xm) + "," +
                 std::to_string(d.ym) + " r " + std::to_string(d.r));
    EXPECT_EQ(
        run.Num(std::string("ds_grid_get_disk_") + d.what, {g, Real(d.xm), Real(d.ym), Real(d.r)}),
        d.expected);
  }
}

TEST(DsGrid, ValueSearchesGoColumnByColumn) {
  DsRun run;
  const px::RValue g = run.Call("ds_grid_create", {Real(4), Real(4)});
  run.Call("ds_grid_set", {g, Real(2), Real(0), Str("v")});
  run.Call("ds_grid_set", {g, Real(1), Real(3), Str("v")});
  run.Call("ds_grid_set", {g, Real(3), Real(2), Real(0.5)});
  struct Case {
    std::vector<double> area;
    px::RValue value;
    double exists, x, y;
  } cases[] = {
      {{0, 0, 3, 3}, Str("v"), 1, 1, 3},         {{3, 3, 2, 0}, Str("v"), 1, 2, 0},
      {{0, 0, 3, 2}, Str("v"), 1, 2, 0},         {{0, 0, 3, 3}, Str("V"), 0, 0, 0},
      {{-9, -9, 9, 9}, Real(0.5), 1, 3, 2},      {{0, 0, 3, 3}, Real(0), 1, 0, 0},
      {{1, 0, 3, 3}, Real(0.5 + 1e-9), 1, 3, 2}, {{5, 5, 8, 8}, Real(0), 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.value) + " in " + std::to_string(c.area[0]) + "," +
                 std::to_string(c.area[1]) + " to " + std::to_string(c.area[2]) + "," +
                 std::to_string(c.area[3]));
    const std::vector<px::RValue> args = {Real(c.area[0]), Real(c.area[1]), Real(c.area[2]),
                                          Real(c.area[3])};
    EXPECT_EQ(run.Num("ds_grid_value_exists", {g, args[0], args[1], args[2], args[3], c.value}),
              c.exists);
    EXPECT_EQ(run.Num("ds_grid_value_x", {g, args[0], args[1], args[2], args[3], c.value}), c.x);
    EXPECT_EQ(run.Num("ds_grid_value_y", {g, args[0], args[1], args[2], args[3], c.value}), c.y);
  }
  struct Disk {
    double xm, ym, r;
    px::RValue value;
    double exists, x, y;
  } disks[] = {
      {1.5, 1.5, 2, Str("v"), 1, 1, 3}, {2, 1, 1, Str("v"), 1, 2, 0},
      {1, 3, 0.5, Str("v"), 1, 1, 3},   {0, 0, 1, Str("v"), 0, 0, 0},
      {3, 3, 1, Real(0.5), 1, 3, 2},    {-5, -5, 1, Real(0), 0, 0, 0},
  };
  for (const Disk& d : disks) {
    SCOPED_TRACE(Describe(d.value) + " near " + std::to_string(d.xm) + "," + std::to_string(d.ym));
    EXPECT_EQ(run.Num("ds_grid_value_disk_exists", {g, Real(d.xm), Real(d.ym), Real(d.r), d.value}),
              d.exists);
    EXPECT_EQ(run.Num("ds_grid_value_disk_x", {g, Real(d.xm), Real(d.ym), Real(d.r), d.value}),
              d.x);
    EXPECT_EQ(run.Num("ds_grid_value_disk_y", {g, Real(d.xm), Real(d.ym), Real(d.r), d.value}),
              d.y);
  }
}

// Copies of a region of a 4 × 3 grid numbered 10x + y, within the grid
// itself and into an empty 3 × 3 grid.
TEST(DsGrid, RegionCopiesClipBothGridsAndNeverReadOverwrittenCells) {
  struct Case {
    bool self;
    std::vector<double> args;  // x1, y1, x2, y2, xpos, ypos
    Rows expected;
  } cases[] = {
      // Onto itself shifted right and down, and left and up: no smearing.
      {true, {0, 0, 2, 1, 1, 1}, {"0 10 20 30", "1 0 10 20", "2 1 11 21"}},
      {true, {1, 1, 3, 2, 0, 0}, {"11 21 31 30", "12 22 32 31", "2 12 22 32"}},
      {true, {0, 0, 2, 2, 1, 0}, {"0 0 10 20", "1 1 11 21", "2 2 12 22"}},
      {true, {0, 1, 3, 2, 0, 0}, {"1 11 21 31", "2 12 22 32", "2 12 22 32"}},
      {true, {1, 0, 3, 2, 1, 0}, {"0 10 20 30", "1 11 21 31", "2 12 22 32"}},
      // A negative corner drops the columns and rows left of or above the grid.
      {false, {0, 0, 3, 2, -2, -1}, {"21 31 0", "22 32 0", "0 0 0"}},
      {false, {3, 2, 0, 0, -1, 0}, {"10 20 30", "11 21 31", "12 22 32"}},
      // Clipped to the target from the corner, and to the source first.
      {false, {0, 0, 3, 2, 2, 1}, {"0 0 0", "0 0 0", "0 0 1"}},
      {false, {-5, -5, 1, 0, 1, 1}, {"0 0 0", "0 0 10", "0 0 0"}},
      {false, {2, 0, 9, 9, 0, 2}, {"0 0 0", "0 0 0", "20 30 0"}},
      {false, {0, 0, 3, 2, 3, 0}, {"0 0 0", "0 0 0", "0 0 0"}},
      {false, {0, 0, 3, 2, -4, 0}, {"0 0 0", "0 0 0", "0 0 0"}},
      {false, {5, 5, 9, 9, 0, 0}, {"0 0 0", "0 0 0", "0 0 0"}},
      {false, {0, 0, 1, 1, -1e30, 0}, {"0 0 0", "0 0 0", "0 0 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.self ? "self " : "other ") + std::to_string(c.args[0]) + "," +
                 std::to_string(c.args[1]) + " to " + std::to_string(c.args[2]) + "," +
                 std::to_string(c.args[3]) + " at " + std::to_string(c.args[4]) + "," +
                 std::to_string(c.args[5]));
    DsRun run;
    const px::RValue source = Numbered(run, 4, 3);
    const px::RValue target = c.self ? source : run.Call("ds_grid_create", {Real(3), Real(3)});
    run.Call("ds_grid_set_grid_region",
             {target, source, Real(c.args[0]), Real(c.args[1]), Real(c.args[2]), Real(c.args[3]),
              Real(c.args[4]), Real(c.args[5])});
    EXPECT_EQ(Show(run, target), c.expected);
    EXPECT_EQ(run.TakeError(), "");
  }
}

TEST(DsGrid, RegionCopiesAddAndMultiply) {
  DsRun run;
  const px::RValue g = Numbered(run, 3, 2);
  run.Call("ds_grid_set", {g, Real(2), Real(1), Str("s")});
  run.Call("ds_grid_add_grid_region", {g, g, Real(0), Real(0), Real(1), Real(1), Real(1), Real(0)});
  EXPECT_EQ(Show(run, g), (Rows{"0 10 30", "1 12 11"}));
  const px::RValue other = run.Call("ds_grid_create", {Real(2), Real(2)});
  run.Call("ds_grid_set_region", {other, Real(0), Real(0), Real(1), Real(1), Real(2)});
  run.Call("ds_grid_set", {other, Real(1), Real(1), Str("t")});
  run.Call("ds_grid_multiply_grid_region",
           {g, other, Real(0), Real(0), Real(1), Real(1), Real(1), Real(0)});
  EXPECT_EQ(Show(run, g), (Rows{"0 20 60", "1 24 11"}));
  run.Call("ds_grid_add_grid_region",
           {g, other, Real(1), Real(1), Real(1), Real(1), Real(0), Real(0)});
  EXPECT_EQ(Show(run, g), (Rows{"'t' 20 60", "1 24 11"}));
}

TEST(DsGrid, ResizeKeepsTheSharedCellsAndCopyTakesTheSize) {
  DsRun run;
  const px::RValue g = Numbered(run, 3, 3);
  run.Call("ds_grid_resize", {g, Real(4), Real(2)});
  EXPECT_EQ(Show(run, g), (Rows{"0 10 20 0", "1 11 21 0"}));
  run.Call("ds_grid_resize", {g, Real(1), Real(3)});
  EXPECT_EQ(Show(run, g), (Rows{"0", "1", "0"}));
  const px::RValue copy = run.Call("ds_grid_create", {Real(5), Real(5)});
  run.Call("ds_grid_copy", {copy, g});
  EXPECT_EQ(Show(run, copy), (Rows{"0", "1", "0"}));
  run.Call("ds_grid_resize", {g, Real(0), Real(0)});
  EXPECT_EQ(run.Num("ds_grid_width", {g}), 0);
  EXPECT_EQ(run.Num("ds_grid_get_sum", {g, Real(0), Real(0), Real(9), Real(9)}), 0);
  EXPECT_EQ(Show(run, copy), (Rows{"0", "1", "0"}));
  EXPECT_EQ(run.TakeError(), "");
}

TEST(DsGrid, SizesThatCannotBeMadeAreReported) {
  struct Case {
    double w, h;
    std::string message;
  } cases[] = {
      {-1, 3, "Grid width and height must not be negative."},
      {3, -0.6, "Grid width and height must not be negative."},
      {100000, 100000, "Grid is too large."},
      {3e9, 1, "Grid is too large."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " by " + std::to_string(c.h));
    DsRun run;
    EXPECT_EQ(run.Num("ds_grid_create", {Real(c.w), Real(c.h)}), -1);
    EXPECT_TRUE(pxtest::EndsWith(run.TakeError(), c.message));
    const px::RValue g = Numbered(run, 2, 1);
    EXPECT_EQ(g, Real(0));
    run.Call("ds_grid_resize", {g, Real(c.w), Real(c.h)});
    EXPECT_TRUE(pxtest::EndsWith(run.TakeError(), c.message));
    EXPECT_EQ(Show(run, g), (Rows{"0 10"}));
  }
  DsRun run;
  EXPECT_EQ(run.Num("ds_grid_create", {Real(0), Real(7)}), 0);
  EXPECT_EQ(run.Num("ds_grid_height", {Real(0)}), 7);
  EXPECT_EQ(run.TakeError(), "");
}

TEST(DsGrid, ShuffleDrawsBothColumnsThenBothRows) {
  DsRun run;
  const px::RValue g = Numbered(run, 3, 2);
  run.rt.random.seed = 99;
  run.Call("ds_grid_shuffle", {g});
  px::CRandom reference;
  reference.seed = 99;
  int cells[3][2];
  for (int x = 0; x < 3; ++x) {
    for (int y = 0; y < 2; ++y) cells[x][y] = 10 * x + y;
  }
  for (int k = 0; k < 3 * 2 * 8; ++k) {
    const std::uint32_t x1 = reference.NextInt(3);
    const std::uint32_t x2 = reference.NextInt(3);
    const std::uint32_t y1 = reference.NextInt(2);
    const std::uint32_t y2 = reference.NextInt(2);
    std::swap(cells[x1][y1], cells[x2][y2]);
  }
  Rows expected;
  for (int y = 0; y < 2; ++y) {
    expected.push_back(std::to_string(cells[0][y]) + " " + std::to_string(cells[1][y]) + " " +
                       std::to_string(cells[2][y]));
  }
  EXPECT_EQ(Show(run, g), expected);
  EXPECT_NE(expected, (Rows{"0 10 20", "1 11 21"}));
  EXPECT_EQ(run.rt.random.seed, reference.seed);
}

}  // namespace
