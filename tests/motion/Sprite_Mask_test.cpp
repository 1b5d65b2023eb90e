// Instance shapes in the room: bounding boxes under scale and rotation,
// and the point, rectangle, ellipse, line and instance tests against small
// hand-drawn masks.
#include "motion/Sprite_Mask.h"

#include <gtest/gtest.h>

#include <string>

#include "world/World_TestSupport.h"

namespace {

using namespace px;
using pxtest::WorldRun;

struct Placement {
  double xscale = 1;
  double yscale = 1;
  double angle = 0;
};

class ShapeTest : public ::testing::Test {
 protected:
  ShapeTest() {
    // An L on its back, 4x2, origin at its top-left cell.
    bar = w.AddSprite("spr_bar", {"####", "#..."});
    // A 3x3 ring, origin at its centre.
    ring = w.AddSprite("spr_ring", {"###", "#.#", "###"}, 1, 1);
    obj = w.AddObject("obj");
    EXPECT_TRUE(w.Start());
  }

  CInstance& Place(std::int32_t sprite, double x, double y, Placement p = {}) {
    CInstance& inst = w.Create(obj, x, y);
    inst.SetSprite(w.rt.resources, sprite);
    inst.SetXScale(w.rt.resources, p.xscale);
    inst.SetYScale(w.rt.resources, p.yscale);
    inst.SetAngle(w.rt.resources, p.angle);
    return inst;
  }

  // The instance's pixels by the precise point test over a window of the
  // room, one string per row.
  std::string Picture(const CInstance& inst, int left, int top, int right, int bottom) {
    std::string rows;
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x)
        rows += PointInInstance(w.rt.resources, inst, true, x, y) ? '#' : '.';
      rows += '/';
    }
    return rows;
  }

  WorldRun w;
  std::int32_t bar = -1;
  std::int32_t ring = -1;
  std::int32_t obj = -1;
};

TEST_F(ShapeTest, BoxesFollowScaleMirrorAndRotation) {
  const struct {
    Placement p;
    int left, top, right, bottom;
  } cases[] = {
      {{}, 10, 20, 13, 21},
      {{.xscale = 2, .yscale = 3}, 10, 20, 17, 25},
      // Mirrored: the box swaps its ends around the origin (and reaches two
      // pixels past the image on the far side).
      {{.xscale = -1}, 5, 20, 10, 21},
      {{.yscale = -2}, 10, 15, 13, 20},
      // A quarter turn: as wide as the sprite is high.
      {{.angle = 90}, 10, 17, 11, 20},
      {{.angle = 180}, 7, 19, 10, 20},
  };
  for (const auto& c : cases) {
    const CInstance& inst = Place(bar, 10, 20, c.p);
    SCOPED_TRACE(testing::Message() << c.p.xscale << " " << c.p.yscale << " " << c.p.angle);
    EXPECT_EQ(inst.bbox_left, c.left);
    EXPECT_EQ(inst.bbox_top, c.top);
    EXPECT_EQ(inst.bbox_right, c.right);
    EXPECT_EQ(inst.bbox_bottom, c.bottom);
  }
}

TEST_F(ShapeTest, PrecisePointsFollowScaleMirrorAndRotation) {
  const struct {
    Placement p;
    const char* picture;  // the window 6..14 × 16..24 around (10, 20)
  } cases[] = {
      {{},
       "........./........./........./........./....####./....#..../........./"
       "........./........./"},
      {{.xscale = 2},
       "........./........./........./........./....#####/....##.../........./"
       "........./........./"},
      {{.xscale = -1},
       "........./........./........./........./.####..../....#..../........./"
       "........./........./"},
      {{.yscale = -1},
       "........./........./........./....#..../....####./........./........./"
       "........./........./"},
      {{.angle = 90},
       "........./....#..../....#..../....#..../....##.../........./........./"
       "........./........./"},
      {{.angle = 180},
       "........./........./........./....#..../.####..../........./........./"
       "........./........./"},
  };
  for (const auto& c : cases) {
    const CInstance& inst = Place(bar, 10, 20, c.p);
    SCOPED_TRACE(testing::Message() << c.p.xscale << " " << c.p.yscale << " " << c.p.angle);
    EXPECT_EQ(Picture(inst, 6, 16, 14, 24), c.picture);
  }
}

TEST_F(ShapeTest, PointsOnTheBoxEdge) {
  CInstance& inst = Place(bar, 10, 20);
  const struct {
    double x, y;
    bool precise, hit;
  } cases[] = {
      {13, 20, true, true},      // bbox_right, a set cell
      {14, 20, true, false},     // bbox_right + 1
      {13.9, 20, false, true},   // still inside the box
      {14, 20, false, false},    // the box ends before bbox_right + 1
      {11, 21, false, true},     // a clear cell: only the box test hits
      {11, 21, true, false},     //
      {9.99, 20, false, false},  // left of bbox_left
      {10.4, 20.4, true, true},  // rounded to the set cell (10, 20)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " precise " << c.precise);
    EXPECT_EQ(PointInInstance(w.rt.resources, inst, c.precise, c.x, c.y), c.hit);
  }
  inst.deleted = true;
  EXPECT_FALSE(PointInInstance(w.rt.resources, inst, false, 10, 20));
}

TEST_F(ShapeTest, RectangleEllipseAndLineTests) {
  // The ring at (20, 20) covers 19..21 × 19..21 with its centre clear.
  const CInstance& inst = Place(ring, 20, 20);
  const GameResources& res = w.rt.resources;
  using Test =
      bool (*)(const GameResources&, const CInstance&, bool, double, double, double, double);
  const struct {
    const char* what;
    Test test;
    double x1, y1, x2, y2;
    bool box, precise;
  } cases[] = {
      {"rect on the clear centre", RectInInstance, 20, 20, 20, 20, true, false},
      {"rect over the ring", RectInInstance, 15, 15, 25, 25, true, true},
      {"rect given backwards", RectInInstance, 21, 21, 18, 18, true, true},
      {"rect past bbox_right", RectInInstance, 22, 0, 30, 40, false, false},
      {"rect ending on bbox_left", RectInInstance, 10, 19, 19, 19, true, true},
      {"ellipse around the ring", EllipseInInstance, 14, 14, 26, 26, true, true},
      // The box corners lie outside an ellipse that only nears the corner.
      {"ellipse near a corner", EllipseInInstance, 21.6, 21.6, 30, 30, false, false},
      {"tiny ellipse on the centre", EllipseInInstance, 19.6, 19.6, 20.4, 20.4, true, false},
      {"flat ellipse is a rect", EllipseInInstance, 10, 19, 30, 19, true, true},
      {"line through the ring", LineInInstance, 0, 20, 40, 20, true, true},
      {"line backwards", LineInInstance, 40, 21, 0, 19, true, true},
      {"line above", LineInInstance, 0, 10, 40, 18, false, false},
      {"steep line", LineInInstance, 19, 0, 21, 40, true, true},
      {"line ending left", LineInInstance, 0, 20, 18, 20, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.test(res, inst, false, c.x1, c.y1, c.x2, c.y2), c.box);
    EXPECT_EQ(c.test(res, inst, true, c.x1, c.y1, c.x2, c.y2), c.precise);
  }
}

TEST_F(ShapeTest, LinesAndCirclesThroughARotatedScaledShape) {
  // The bar doubled and turned a quarter: pixels (10..11, 13..20) from
  // the top row, (12..13, 19..20) from the bottom-left cell.
  const CInstance& inst = Place(bar, 10, 20, {.xscale = 2, .yscale = 2, .angle = 90});
  EXPECT_EQ(Picture(inst, 9, 12, 14, 21),
            "....../.##.../.##.../.##.../.##.../.##.../.##.../.####./.####./....../");
  const GameResources& res = w.rt.resources;
  const struct {
    double x1, y1, x2, y2;
    bool hit;
  } lines[] = {
      {12, 13, 13, 18, false},  // beside the bar, within the box
      {9, 12, 14, 21, true},    // the diagonal of the box
      {13, 12, 13, 21, true},   // vertical, meets the foot
      {13, 12, 13, 18, false},  //
  };
  for (const auto& l : lines) {
    SCOPED_TRACE(testing::Message() << l.x1 << "," << l.y1 << " " << l.x2 << "," << l.y2);
    EXPECT_EQ(LineInInstance(res, inst, true, l.x1, l.y1, l.x2, l.y2), l.hit);
  }
  EXPECT_TRUE(EllipseInInstance(res, inst, true, 11, 17, 15, 21));
  EXPECT_FALSE(EllipseInInstance(res, inst, true, 12, 12, 16, 17));
}

TEST_F(ShapeTest, InstancesCollideOnlyWhereSetCellsMeet) {
  const GameResources& res = w.rt.resources;
  const std::int32_t dot = w.AddSprite("spr_dot", {"#"});
  // The ring covers 19..21 × 19..21 with (20, 20) clear.
  const CInstance& a = Place(ring, 20, 20);
  const struct {
    std::int32_t sprite;
    double x, y;
    Placement p;
    bool hit;
  } cases[] = {
      {ring, 23, 20, {}, false},     // boxes apart
      {ring, 22, 20, {}, true},      // column 21 set in both
      {dot, 20, 20, {}, false},      // inside the box, on the clear centre
      {dot, 21, 20, {}, true},       //
      {dot, 20.4, 19.6, {}, false},  // rounded onto the centre
      // Mirrored, the bar reaches left from x = 24 to column 21.
      {bar, 24, 19, {.xscale = -1}, true},
      {bar, 25, 19, {.xscale = -1}, false},
      // Turned, the bar stands on (22, 21) and rises up column 22.
      {bar, 22, 21, {.angle = 90}, false},
      {bar, 21, 24, {.angle = 90}, true},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    const CInstance& b = Place(c.sprite, c.x, c.y, c.p);
    SCOPED_TRACE(i);
    EXPECT_EQ(InstancesCollide(res, a, b), c.hit);
    EXPECT_EQ(InstancesCollide(res, b, a), c.hit);
  }
  EXPECT_FALSE(InstancesCollide(res, a, a));
}

}  // namespace
