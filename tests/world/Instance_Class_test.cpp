// The instance's fields through its built-in variables: motion coupling,
// the bounding box, and the setters that keep dependent state current.
#include <gtest/gtest.h>

#include "world/World_TestSupport.h"

namespace {

using namespace px;
using pxtest::WorldRun;

struct InstanceFields : testing::Test {
  WorldRun w;
  std::int32_t obj = w.AddObject("obj");
  // 4 x 3 box from (1, 0) to (4, 2), origin (2, 1).
  std::int32_t sprite = w.AddSprite("spr", {".####", ".####", ".####"}, 2, 1);
  CInstance* self = nullptr;

  void SetUp() override {
    w.object(obj).sprite_index = sprite;
    w.object(obj).depth = 7;
    w.object(obj).solid = true;
    ASSERT_TRUE(w.Start());
    self = &w.Create(obj, 10, 20);
  }
  double Eval(const std::string& code) { return w.Run(*self, code).real; }
};

TEST_F(InstanceFields, NewInstancesTakeTheObjectsValuesAndTheDefaults) {
  const struct {
    const char* expression;
    double value;
  } cases[] = {
      {"sprite_index", 0},
      {"depth", 7},
      {"solid", 1},
      {"visible", 1},
      {"persistent", 0},
      {"mask_index", -1},
      {"xstart", 10},
      {"yprevious", 20},
      {"image_speed", 1},
      {"image_blend", 0xFFFFFF},
      {"gravity_direction", 270},
      {"alarm[11]", -1},
      {"timeline_index", -1},
      {"path_scale", 1},
      {"image_single", -1},
      {"image_number", 1},
      {"sprite_width", 5},
      {"sprite_xoffset", 2},
      {"bbox_left", 9},
      {"bbox_right", 12},
      {"bbox_top", 19},
      {"bbox_bottom", 21},
      {"object_index", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Eval(std::string("return ") + c.expression), c.value) << c.expression;
}

TEST_F(InstanceFields, MotionStaysCoupled) {
  const struct {
    const char* code;
    double direction, speed, hspeed, vspeed;
  } cases[] = {
      {"hspeed = 3; vspeed = -4", 53.13010235415598, 5, 3, -4},
      {"speed = 2; direction = -90", 270, 2, 0, 2},
      {"speed = 2; direction = 450", 90, 2, 0, -2},
      {"speed = -2; direction = 180", 180, -2, 2, 0},
      {"vspeed = 1", 270, 1, 0, 1},
      {"vspeed = -1", 90, 1, 0, -1},
      {"hspeed = -1; vspeed = 0", 180, 1, -1, 0},
      {"speed = 3; direction = 0; speed = 0", 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    w.Run(*self, "hspeed = 0; vspeed = 0; direction = 0; speed = 0");
    w.Run(*self, c.code);
    EXPECT_NEAR(self->direction, c.direction, 1e-9) << c.code;
    EXPECT_EQ(self->speed, c.speed) << c.code;
    EXPECT_EQ(self->hspeed, c.hspeed) << c.code;
    EXPECT_EQ(self->vspeed, c.vspeed) << c.code;
  }
}

TEST_F(InstanceFields, TheBoundingBoxFollowsPositionScaleAngleAndShape) {
  const struct {
    const char* code;
    std::int32_t left, top, right, bottom;
  } cases[] = {
      {"x = 10; y = 20", 9, 19, 12, 21},
      {"image_xscale = 2", 8, 19, 15, 21},
      {"image_xscale = -1", 6, 19, 11, 21},
      {"image_yscale = 0.5", 9, 20, 12, 20},
      {"image_angle = 90", 9, 18, 11, 21},
      {"image_angle = 180", 8, 19, 11, 21},
      {"mask_index = 99", kNoBoundingBox, kNoBoundingBox, kNoBoundingBox, kNoBoundingBox},
      {"sprite_index = -1", kNoBoundingBox, kNoBoundingBox, kNoBoundingBox, kNoBoundingBox},
  };
  for (const auto& c : cases) {
    w.Run(*self,
          "x = 10; y = 20; image_xscale = 1; image_yscale = 1; image_angle = 0; "
          "mask_index = -1; sprite_index = 0");
    w.Run(*self, c.code);
    EXPECT_EQ(std::vector<std::int32_t>(
                  {self->bbox_left, self->bbox_top, self->bbox_right, self->bbox_bottom}),
              std::vector<std::int32_t>({c.left, c.top, c.right, c.bottom}))
        << c.code;
  }
}

TEST_F(InstanceFields, SettersStoreWhatTheirFieldsHold) {
  const struct {
    const char* code;
    const char* expression;
    double value;
  } cases[] = {
      {"solid = 0.5", "solid", 0},
      {"visible = 0.51", "visible", 1},
      {"timeline_loop = 1.5", "timeline_loop", 1},
      {"alarm[12] = 5", "alarm[0]", 5},
      {"alarm[3] = 2.5", "alarm[3]", 2},
      {"path_position = 1.5", "path_position", 1},
      {"path_positionprevious = -2", "path_positionprevious", 0},
      {"image_single = 3", "image_index + image_speed * 10", 3},
      {"image_single = 3", "image_single", 3},
      {"image_index = 2; image_speed = 0; image_single = -1", "image_index * 10 + image_speed", 21},
      {"image_index = 0.5; sprite_index = 0", "image_index", 0.5},
      {"image_index = 1; sprite_index = 0", "image_index", 0},
      {"image_blend = 255.5", "image_blend", 256},
      {"depth = -3.5", "depth", -3.5},
  };
  for (const auto& c : cases) {
    w.Run(*self, c.code);
    EXPECT_EQ(Eval(std::string("return ") + c.expression), c.value) << c.code;
  }
  w.rt.settings.showErrors = false;
  w.Run(*self, "id = 5");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Cannot assign to the variable"))
      << w.rt.code.report.last;
}

// Built-in variables of self are read and written through their table entry
// directly; compound assignments combine as on any other variable and go
// through the setter (which keeps the bounding box up to date).
TEST_F(InstanceFields, CompoundAssignmentsOnBuiltinsCombineAndUseTheSetter) {
  const struct {
    const char* code;
    const char* expression;
    double value;
  } cases[] = {
      {"x = 10; x += 2.5", "x", 12.5}, {"x = 10; self.x -= 4", "x", 6},
      {"x = 10; x *= -2", "x", -20},   {"x = 10; x /= 4", "x", 2.5},
      {"x = 6; x |= 9", "x", 15},      {"x = 6; x &= 3", "x", 2},
      {"x = 6; x ^= 3", "x", 5},       {"x = 640; depth = 1; depth += x", "depth", 641},
  };
  for (const auto& c : cases) {
    w.Run(*self, "image_xscale = 1; image_angle = 0; mask_index = -1; sprite_index = -1");
    w.Run(*self, c.code);
    EXPECT_EQ(Eval(std::string("return ") + c.expression), c.value) << c.code;
  }
  w.Run(*self, "sprite_index = 0; x = 15");
  const std::int32_t left = self->bbox_left;
  w.Run(*self, "x = 10; x += 5");
  EXPECT_EQ(self->bbox_left, left);
  w.rt.settings.showErrors = false;
  w.Run(*self, "x = 3; x += 'a'");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Wrong type of arguments to +."))
      << w.rt.code.report.last;
  EXPECT_EQ(Eval("return x"), 3);
}

}  // namespace
