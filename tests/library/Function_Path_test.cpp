// Paths made and changed by game code: numbering, points, properties, the
// transformations and the errors of the functions that report them.
#include "library/Function_Path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "code/Function_TestSupport.h"
#include "run/Runtime.h"

namespace {

using namespace px;
using pxtest::CallReal;

struct PathEditing : testing::Test {
  pxtest::TestRun run;
  GameResources& res = run.rt.resources;

  void SetUp() override {
    run.rt.settings.showErrors = false;
    res.paths.add("pth_old", CPath{});
  }

  double Do(std::string_view name, std::initializer_list<double> args) {
    return CallReal(run, name, args);
  }
  // A new path with these points.
  int Make(std::vector<RPathPoint> points) {
    const int p = static_cast<int>(Do("path_add", {}));
    for (const RPathPoint& q : points) Do("path_add_point", {double(p), q.x, q.y, q.speed});
    return p;
  }
  const std::string& LastError() const { return run.rt.code.report.last; }
};

TEST_F(PathEditing, NewPathsAreNumberedAfterTheOthersAndStartEmpty) {
  EXPECT_EQ(Do("path_add", {}), 1);
  EXPECT_EQ(res.paths.name(1), "__newpath1");
  const CPath& p = *res.paths.get(1);
  EXPECT_EQ(p.kind, 0);
  EXPECT_TRUE(p.closed);
  EXPECT_EQ(p.precision, 4);
  EXPECT_TRUE(p.points.empty());
  EXPECT_EQ(Do("path_duplicate", {1}), 2);
  EXPECT_EQ(res.paths.name(2), "__newpath2");
}

TEST_F(PathEditing, ALongPathBuiltPointByPointHasItsFullLength) {
  // Each added point must not rebuild the whole path: built that way, this
  // path would take minutes.
  const double pd = Do("path_add", {});
  Do("path_set_closed", {pd, 0});
  constexpr int kPoints = 200000;
  for (int i = 0; i < kPoints; ++i)
    Do("path_add_point", {pd, double(i % 2 ? 10 : 0), double(i), 100});
  EXPECT_NEAR(Do("path_get_length", {pd}), (kPoints - 1) * std::hypot(10, 1), 1e-3);
  Do("path_add_point", {pd, 0, kPoints + 1.0, 100});
  EXPECT_EQ(Do("path_get_number", {pd}), kPoints + 1);
  EXPECT_NEAR(Do("path_get_length", {pd}), (kPoints - 1) * std::hypot(10, 1) + std::hypot(10, 2),
              1e-3);
}

TEST_F(PathEditing, PointsAreAddedInsertedChangedAndDeletedWithinTheirRange) {
  const int p = Make({{0, 0, 100}, {10, 0, 100}, {10, 10, 50}});
  const double pd = p;
  const struct {
    const char* function;
    std::vector<double> args;
    std::vector<double> xs;  // the x of every point afterwards
  } cases[] = {
      {"path_insert_point", {pd, 3, 20, 0, 100}, {0, 10, 10, 20}},
      {"path_insert_point", {pd, 0, -5, 0, 100}, {-5, 0, 10, 10, 20}},
      {"path_insert_point", {pd, 6, 99, 0, 100}, {-5, 0, 10, 10, 20}},
      {"path_insert_point", {pd, -1, 99, 0, 100}, {-5, 0, 10, 10, 20}},
      {"path_change_point", {pd, 4, 30, 0, 100}, {-5, 0, 10, 10, 30}},
      {"path_change_point", {pd, 5, 99, 0, 100}, {-5, 0, 10, 10, 30}},
      {"path_delete_point", {pd, 0}, {0, 10, 10, 30}},
      {"path_delete_point", {pd, 4}, {0, 10, 10, 30}},
      {"path_delete_point", {pd, 3}, {0, 10, 10}},
  };
  for (const auto& c : cases) {
    std::vector<RValue> args;
    for (const double a : c.args) args.push_back(pxtest::Real(a));
    pxtest::CallWith(run, c.function, args);
    std::vector<double> xs;
    for (const RPathPoint& q : res.paths.get(p)->points) xs.push_back(q.x);
    EXPECT_EQ(xs, c.xs) << c.function << " " << c.args[1];
  }
  // The geometry follows: an open L of 20.
  Do("path_set_closed", {pd, 0});
  EXPECT_EQ(Do("path_get_length", {pd}), 20);
  EXPECT_EQ(Do("path_get_point_speed", {pd, 2}), 50);
  Do("path_clear_points", {pd});
  EXPECT_EQ(Do("path_get_length", {pd}), 0);
  EXPECT_EQ(Do("path_get_number", {pd}), 0);
}

TEST_F(PathEditing, KindClosedAndPrecision) {
  const double p = Make({{0, 0, 100}, {40, 0, 100}, {40, 40, 100}});
  const struct {
    const char* function;
    double value;
    const char* getter;
    double result;
  } cases[] = {
      {"path_set_kind", 1, "path_get_kind", 1},
      {"path_set_kind", 2, "path_get_kind", 0},
      {"path_set_kind", 0.6, "path_get_kind", 1},
      {"path_set_closed", 0.4, "path_get_closed", 0},
      {"path_set_closed", 0.5, "path_get_closed", 1},
      {"path_set_precision", 12, "path_get_precision", 8},
      {"path_set_precision", -3, "path_get_precision", 0},
      {"path_set_precision", 2.5, "path_get_precision", 2},
  };
  for (const auto& c : cases) {
    Do(c.function, {p, c.value});
    EXPECT_EQ(Do(c.getter, {p}), c.result) << c.function << " " << c.value;
  }
  // A smooth open path of precision 0 keeps only its ends: a straight line.
  Do("path_set_kind", {p, 1});
  Do("path_set_closed", {p, 0});
  Do("path_set_precision", {p, 0});
  EXPECT_DOUBLE_EQ(Do("path_get_length", {p}), 40 * std::sqrt(2.0));
  // A closed straight one goes back to the start.
  Do("path_set_kind", {p, 0});
  Do("path_set_closed", {p, 1});
  EXPECT_DOUBLE_EQ(Do("path_get_length", {p}), 80 + 40 * std::sqrt(2.0));
}

TEST_F(PathEditing, TransformationsWorkAroundTheCentreOfThePoints) {
  const struct {
    const char* function;
    std::vector<double> args;
    std::vector<RPathPoint> points;
  } cases[] = {
      // From (0, 0, 100), (10, 0, 50), (10, 4, 20): centre (5, 2).
      {"path_reverse", {}, {{10, 4, 20}, {10, 0, 50}, {0, 0, 100}}},
      {"path_mirror", {}, {{10, 0, 100}, {0, 0, 50}, {0, 4, 20}}},
      {"path_flip", {}, {{0, 4, 100}, {10, 4, 50}, {10, 0, 20}}},
      {"path_rotate", {90}, {{3, 7, 100}, {3, -3, 50}, {7, -3, 20}}},
      {"path_scale", {2, 0.5}, {{-5, 1, 100}, {15, 1, 50}, {15, 3, 20}}},
      {"path_shift", {3, -1}, {{3, -1, 100}, {13, -1, 50}, {13, 3, 20}}},
  };
  for (const auto& c : cases) {
    const int p = Make({{0, 0, 100}, {10, 0, 50}, {10, 4, 20}});
    std::vector<RValue> args{pxtest::Real(p)};
    for (const double a : c.args) args.push_back(pxtest::Real(a));
    pxtest::CallWith(run, c.function, args);
    const std::vector<RPathPoint>& got = res.paths.get(p)->points;
    ASSERT_EQ(got.size(), c.points.size()) << c.function;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(got[i].x, c.points[i].x, 1e-12) << c.function << " " << i;
      EXPECT_NEAR(got[i].y, c.points[i].y, 1e-12) << c.function << " " << i;
      EXPECT_EQ(got[i].speed, c.points[i].speed) << c.function << " " << i;
    }
    // The geometry follows the points: the first computed point moved too.
    EXPECT_NEAR(res.paths.get(p)->computed().front().x, c.points.front().x, 1e-12) << c.function;
  }
}

TEST_F(PathEditing, CopiesAppendsDeletesAndTheirErrors) {
  const int a = Make({{0, 0, 100}, {10, 0, 100}});
  const int b = Make({{10, 10, 100}});
  Do("path_set_closed", {double(a), 0});
  Do("path_append", {double(a), double(b)});
  EXPECT_EQ(Do("path_get_number", {double(a)}), 3);
  EXPECT_EQ(Do("path_get_length", {double(a)}), 20);
  Do("path_append", {double(a), double(a)});  // onto itself: doubled once
  EXPECT_EQ(Do("path_get_number", {double(a)}), 6);
  EXPECT_EQ(Do("path_get_closed", {double(a)}), 0);

  EXPECT_EQ(Do("path_delete", {double(b)}), 1);
  EXPECT_FALSE(res.paths.exists(b));
  // Assigning into the emptied slot fills it, with no name.
  Do("path_assign", {double(b), double(a)});
  ASSERT_TRUE(res.paths.exists(b));
  EXPECT_EQ(res.paths.name(b), "");
  EXPECT_EQ(Do("path_get_length", {double(b)}), Do("path_get_length", {double(a)}));
  EXPECT_EQ(Do("path_get_closed", {double(b)}), 0);

  const struct {
    const char* function;
    std::vector<double> args;
    const char* message;
  } errors[] = {
      {"path_duplicate", {9}, "Trying to duplicate non-existing path."},
      {"path_assign", {double(a), 9}, "Error assigning a path."},
      {"path_assign", {9, double(a)}, "Error assigning a path."},
      {"path_assign", {-1, double(a)}, "Error assigning a path."},
      {"path_append", {9, double(a)}, "Appending to non-existing path."},
      {"path_append", {double(a), 9}, "Appending a non-existing path."},
      {"path_delete", {9}, "Trying to delete non-existing path."},
  };
  for (const auto& e : errors) {
    run.rt.code.report = {};
    const int count = res.paths.count();
    std::vector<RValue> args;
    for (const double v : e.args) args.push_back(pxtest::Real(v));
    EXPECT_EQ(pxtest::CallWith(run, e.function, args).real, 0) << e.function;
    EXPECT_TRUE(LastError().ends_with(e.message)) << e.function << ": " << LastError();
    EXPECT_EQ(res.paths.count(), count) << e.function;
  }
  // Changing a missing path does nothing and reports nothing.
  run.rt.code.report = {};
  Do("path_add_point", {9, 1, 1, 100});
  Do("path_rotate", {9, 45});
  EXPECT_EQ(LastError(), "");
}

}  // namespace
