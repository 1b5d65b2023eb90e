// The collision functions of game code: which instance they find, in what
// order, with self left out on request; place tests after instances moved;
// masks made anew by sprite_collision_mask.
#include <gtest/gtest.h>

#include <string>

#include "resources/Resource_Chunks.h"
#include "world/World_TestSupport.h"

namespace {

using namespace px;
using pxtest::WorldRun;

struct CollisionFunctions : testing::Test {
  WorldRun w;
  std::int32_t base = w.AddObject("obj_base");
  std::int32_t enemy = w.AddObject("obj_enemy", base);
  std::int32_t wall = w.AddObject("obj_wall");
  std::int32_t ring = w.AddSprite("spr_ring", {"###", "#.#", "###"});
  std::int32_t block = w.AddSprite("spr_block", {"##", "##"});

  CollisionFunctions() {
    w.rt.settings.showErrors = false;
    w.object(enemy).sprite_index = ring;
    w.object(wall).sprite_index = block;
    w.object(wall).solid = true;
  }

  double Eval(CInstance& self, const std::string& expression) {
    return w.Run(self, "return " + expression).real;
  }
};

TEST_F(CollisionFunctions, TheFirstMatchInListOrderOrNoone) {
  ASSERT_TRUE(w.Start());
  // Enemies' rings at 10..12 × 10..12 and 12..14 × 10..12; a wall block
  // at 12..13 × 12..13.
  CInstance& first = w.Create(enemy, 10, 10);
  w.Create(enemy, 12, 10);
  w.Create(wall, 12, 12);
  const struct {
    const char* call;
    double id;
  } cases[] = {
      {"collision_point(12, 11, all, true, false)", 100001},
      {"collision_point(12, 11, all, true, true)", 100002},  // not me
      {"collision_point(11, 11, all, true, false)", -4},     // the clear centre
      {"collision_point(11, 11, all, false, false)", 100001},
      {"collision_point(13, 12, obj_wall, true, false)", 100003},
      {"collision_point(13, 12, obj_base, true, false)", 100002},  // by family
      {"collision_point(13, 12, 100003, true, false)", 100003},
      {"collision_point(15, 11, all, false, false)", -4},  // bbox_right + 1
      {"collision_rectangle(13, 13, 20, 20, all, true, false)", 100003},
      {"collision_rectangle(20, 20, 13, 13, obj_enemy, true, false)", -4},
      {"collision_circle(16, 11, 2, all, true, false)", 100002},
      {"collision_circle(16, 11, 1, all, true, false)", -4},
      {"collision_ellipse(14, 9, 18, 13, all, true, false)", 100002},
      {"collision_line(0, 11, 30, 11, all, true, false)", 100001},
      {"collision_line(0, 11, 30, 11, all, true, true)", 100002},
      {"collision_line(0, 13, 30, 13, obj_enemy, true, false)", -4},
      {"collision_line(0, 13, 30, 13, all, true, false)", 100003},
  };
  for (const auto& c : cases) EXPECT_EQ(Eval(first, c.call), c.id) << c.call;
}

TEST_F(CollisionFunctions, PlaceTestsSeeInstancesWhereTheyAreNow) {
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(enemy, 0, 0);
  CInstance& other = w.Create(wall, 100, 100);
  EXPECT_EQ(Eval(self, "place_meeting(100, 100, obj_wall)"), 1);
  EXPECT_EQ(Eval(self, "place_free(99, 99)"), 0);
  // Moved by game code, then by the engine: the tests follow at once.
  w.Run(other, "x = 300; y = 40;");
  EXPECT_EQ(Eval(self, "place_meeting(100, 100, obj_wall)"), 0);
  EXPECT_EQ(Eval(self, "place_free(299, 40)"), 0);
  other.SetPosition(w.rt.resources, 500, 500);
  EXPECT_EQ(Eval(self, "place_empty(299, 40)"), 1);
  EXPECT_EQ(Eval(self, "instance_place(499, 499, all)"), 100002);
  EXPECT_EQ(Eval(self, "instance_position(500, 501, obj_wall)"), 100002);
  // Self goes back to where it was.
  EXPECT_EQ(self.x, 0);
  EXPECT_EQ(self.bbox_right, 2);
  // Destroyed instances and instances created since are seen as such.
  w.Run(other, "instance_destroy()");
  EXPECT_EQ(Eval(self, "instance_place(499, 499, all)"), -4);
  w.Create(wall, 50, 50);
  EXPECT_EQ(Eval(self, "instance_place(49, 49, all)"), 100003);
}

TEST_F(CollisionFunctions, SpriteCollisionMaskRebuildsTheMasks) {
  // A 4x3 sprite with opaque pixels at (1, 1) and (2, 1), faint ones at
  // (3, 2).
  CSprite s;
  s.images.emplace_back(4, 3);
  TBitmap32& image = s.images.front();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) image.row(y)[x] = 0;
  image.row(1)[1] = image.row(1)[2] = 0xFF000000;
  image.row(2)[3] = 0x40000000;
  const std::int32_t sprite = w.rt.resources.sprites.add("spr_made", s);
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(wall, 0, 0);
  const struct {
    const char* args;
    const char* rows;
    int left, top, right, bottom;
  } cases[] = {
      {"0, 0, 0, 0, 0, 0, 0", "..../.##./...#/", 1, 1, 3, 2},
      {"0, 0, 0, 0, 0, 0, 100", "..../.##./..../", 1, 1, 2, 1},
      {"0, 0, 0, 0, 0, 0, 10", "..../.##./...#/", 1, 1, 3, 2},
      {"1, 0, 0, 0, 0, 1, 10", "####/####/####/", 0, 0, 3, 2},
      {"2, 3, 2, 1, 0, 1, 0", ".###/.###/.###/", 1, 0, 3, 2},    // manual, corners swapped
      {"2, -5, -5, 1, 9, 0, 0", "..../.#../..../", 0, 0, 1, 2},  // clipped
      {"1, 0, 0, 0, 0, 2, 0", ".##./####/.##./", 0, 0, 3, 2},
      {"1, 0, 0, 0, 0, 3, 0", ".##./####/.##./", 0, 0, 3, 2},
      {"1, 0, 0, 0, 0, 7, 0", "..../..../..../", 0, 0, 3, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    w.Run(self, "sprite_collision_mask(spr_made, false, " + std::string(c.args) + ")");
    const CSprite& made = *w.rt.resources.sprites.get(sprite);
    ASSERT_EQ(made.masks.size(), 1u);
    std::string rows;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 4; ++x) rows += made.masks[0].solid(x, y) ? '#' : '.';
      rows += '/';
    }
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(made.bbox_left, c.left);
    EXPECT_EQ(made.bbox_top, c.top);
    EXPECT_EQ(made.bbox_right, c.right);
    EXPECT_EQ(made.bbox_bottom, c.bottom);
  }
  w.Run(self, "sprite_collision_mask(99, false, 0, 0, 0, 0, 0, 0, 0)");
  EXPECT_TRUE(
      w.rt.code.report.last.ends_with("Trying to set collision mode for non-existing sprite."));
}

}  // namespace
