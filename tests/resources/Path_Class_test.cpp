#include "resources/Path_Class.h"

#include <gtest/gtest.h>

using namespace px;

namespace {
CPath Square(int kind, bool closed, int precision) {
  CPath p;
  p.kind = kind, p.closed = closed, p.precision = precision;
  p.points = {{0, 0, 100}, {100, 0, 50}, {100, 100, 100}, {0, 100, 100}};
  p.GeometryChanged();
  return p;
}
}  // namespace

TEST(PathGeometry, StraightOpenAndClosed) {
  EXPECT_EQ(Square(0, false, 4).length(), 300.0);
  const CPath closed = Square(0, true, 4);
  EXPECT_EQ(closed.length(), 400.0);
  EXPECT_EQ(closed.computed().back().x, 0.0);
  // Halfway along the second segment, speed interpolated.
  const RPathPoint p = closed.PointAt(150.0 / 400.0);
  EXPECT_DOUBLE_EQ(p.x, 100.0);
  EXPECT_DOUBLE_EQ(p.y, 50.0);
  EXPECT_DOUBLE_EQ(p.speed, 75.0);
  EXPECT_EQ(closed.PointAt(-3).x, 0.0);
  EXPECT_EQ(closed.PointAt(7).y, 0.0);
}

TEST(PathGeometry, SmoothCurves) {
  // Precision 0 on an open path keeps only the first and last points.
  const CPath flat = Square(1, false, 0);
  ASSERT_EQ(flat.computed().size(), 2u);
  EXPECT_EQ(flat.computed()[1].y, 100.0);
  // One corner of an open path at precision 1: its curve's middle point.
  const CPath one = Square(1, false, 1);
  ASSERT_EQ(one.computed().size(), 4u);
  EXPECT_DOUBLE_EQ(one.computed()[1].x, (50 + 200 + 100) / 4.0);
  EXPECT_DOUBLE_EQ(one.computed()[1].y, (0 + 0 + 50) / 4.0);
  // A closed smooth path ends where it started, and higher precision
  // approaches the curve from outside the polygon: a shorter length.
  const CPath fine = Square(1, true, 8);
  EXPECT_EQ(fine.computed().front(),
            (RComputedPoint{fine.computed().back().x, fine.computed().back().y,
                            fine.computed().back().speed, 0}));
  EXPECT_LT(fine.length(), 400.0);
  EXPECT_GT(fine.length(), Square(1, true, 2).length() - 1);
  // Closed and precision 0: no computed points, length 0.
  EXPECT_TRUE(Square(1, true, 0).computed().empty());
  EXPECT_EQ(Square(1, true, 0).PointAt(0.5), (RPathPoint{0, 0, 100}));
}

TEST(PathGeometry, OnePointHasLengthZero) {
  CPath p;
  p.points = {{5, 6, 70}};
  p.GeometryChanged();
  EXPECT_EQ(p.length(), 0.0);
  EXPECT_EQ(p.PointAt(0.7), (RPathPoint{5, 6, 70}));
}
