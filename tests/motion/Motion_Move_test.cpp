// Motion of instances: the coupled velocity, friction and gravity, the move
// functions against solid and other instances, bouncing, wrapping and the
// distances game code measures.
#include "motion/Motion_Move.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "code/Support_Random.h"
#include "motion/Motion_TestSupport.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"
#include "world/Room_State.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::WorldRun;

namespace {

struct Motion : testing::Test, pxtest::MotionWorld {
  void SetUp() override { ASSERT_TRUE(StartRoom()); }

  double Num(CInstance& self, const std::string& expr) {
    return w.Run(self, "return " + expr).real;
  }
};

TEST_F(Motion, TheTwoFormsOfTheVelocityFollowEachOther) {
  CInstance& self = w.Create(bare);
  const struct {
    const char* code;
    double direction, speed, hspeed, vspeed;
  } cases[] = {
      {"hspeed = 3; vspeed = -4", 53.13010235415598, 5, 3, -4},
      {"hspeed = -3; vspeed = 4", 233.13010235415598, 5, -3, 4},
      {"direction = 725; speed = 2", 5, 2, 1.9923893961834911, -0.17431148549531633},
      {"direction = -450; speed = 2", 270, 2, 0, 2},
      // A negative speed keeps its direction and runs against it.
      {"direction = 30; speed = -2", 30, -2, -1.7320508075688772, 1},
      {"speed = -2; direction = 390", 30, -2, -1.7320508075688772, 1},
      // Changing a component of a backwards motion gives a forwards one.
      {"direction = 0; speed = -2; vspeed = 0.5", 194.03624346792648, 2.0615528128088303, -2, 0.5},
      // Components within 0.0001 of a whole number become it.
      {"direction = 60; speed = 2", 60, 2, 1, -1.7320508075688772},
      {"hspeed = 1; vspeed = -1.73205", 60, 2, 1, -1.73205},
      // motion_add sums the two motions.
      {"motion_set(0, 2); motion_add(90, 2)", 45, 2.8284271247461903, 2, -2},
      // Towards the own position: a moving instance starts along 0.
      {"motion_set(90, 1); move_towards_point(x, y, 3)", 0, 3, 3, 0},
      // A resting one keeps its direction.
      {"direction = 90; move_towards_point(x, y, 3)", 90, 3, 0, -3},
      {"move_towards_point(x + 3, y + 4, 10)", 306.86989764584402, 10, 6, 8},
  };
  for (const auto& c : cases) {
    w.Run(self, "hspeed = 0; vspeed = 0; direction = 0; speed = 0");
    w.Run(self, c.code);
    EXPECT_NEAR(self.direction, c.direction, 1e-9) << c.code;
    EXPECT_NEAR(self.speed, c.speed, 1e-6) << c.code;
    EXPECT_NEAR(self.hspeed, c.hspeed, 1e-12) << c.code;
    EXPECT_NEAR(self.vspeed, c.vspeed, 1e-12) << c.code;
  }
}

TEST_F(Motion, FrictionNeverReversesAndGravityPullsAfterIt) {
  CInstance& self = w.Create(bare);
  const struct {
    const char* setup;
    double speed, hspeed, vspeed;
  } cases[] = {
      {"speed = 3; friction = 1", 2, 2, 0},
      {"speed = 0.5; friction = 1", 0, 0, 0},
      {"speed = -3; friction = 1", -2, -2, 0},
      {"speed = -0.5; friction = 1", 0, 0, 0},
      {"speed = 0; friction = 1", 0, 0, 0},
      {"gravity = 0.5", 0.5, 0, 0.5},
      {"speed = 2; gravity = 2; gravity_direction = 90", 2.8284271247461903, 2, -2},
      // Friction first: 3 slows to 2, then the pull of 1 upwards.
      {"speed = 3; friction = 1; gravity = 1; gravity_direction = 90", 2.2360679774997898, 2, -1},
  };
  for (const auto& c : cases) {
    w.Run(self,
          "hspeed = 0; vspeed = 0; direction = 0; speed = 0; friction = 0; gravity = 0; "
          "gravity_direction = 270");
    w.Run(self, c.setup);
    ApplyFrictionAndGravity(self);
    EXPECT_NEAR(self.speed, c.speed, 1e-12) << c.setup;
    EXPECT_NEAR(self.hspeed, c.hspeed, 1e-12) << c.setup;
    EXPECT_NEAR(self.vspeed, c.vspeed, 1e-12) << c.setup;
  }
}

TEST_F(Motion, ContactAndOutsideMovesStopAtTheBlockers) {
  w.Create(wall, 10, 0);
  w.Create(crate, 30, 0);
  CInstance& self = w.Create(mover);
  const struct {
    double x;
    const char* move;
    double endX;
  } cases[] = {
      {0, "move_contact_solid(0, -1)", 8},
      {0, "move_contact_solid(0, 5)", 5},
      {0, "move_contact_solid(0, 0.4)", 0},     // rounds to no step at all
      {14, "move_contact_solid(0, -1)", 1014},  // the crate is not solid
      {14, "move_contact_all(0, -1)", 28},
      {9, "move_contact_solid(0, -1)", 9},  // not free here: stays
      {9, "move_outside_solid(180, -1)", 8},
      {12, "move_outside_solid(0, -1)", 14},
      {12, "move_outside_solid(0, 1)", 13},
      {31, "move_outside_solid(0, -1)", 31},  // the crate is not solid
      {31, "move_outside_all(0, -1)", 34},
      {0, "move_contact(0)", 8},
      {12, "move_contact(0)", 14},
  };
  for (const auto& c : cases) {
    w.Run(self, "x = " + std::to_string(c.x) + "; y = 0; " + c.move);
    EXPECT_NEAR(self.x, c.endX, 1e-9) << c.x << " " << c.move;
    EXPECT_NEAR(self.y, 0, 1e-9) << c.x << " " << c.move;
  }
}

TEST_F(Motion, BouncingOffASolidWall) {
  // A wall 4 wide and 40 high at x 20, a floor 40 wide and 4 high at y 20.
  w.Run(w.Create(wall, 20, -20), "image_yscale = 10");
  w.Run(w.Create(wall, -20, 20), "image_xscale = 10");
  CInstance& self = w.Create(mover);
  const struct {
    const char* place;
    double direction, speed;
    bool precise;
    double newDirection;
  } cases[] = {
      // Against the wall on its left: the horizontal motion turns.
      {"x = 18; y = 0", 0, 2, false, 180},
      {"x = 18; y = 0", 45, 2 * std::sqrt(2.0), false, 135},
      {"x = 18; y = 0", 0, 2, true, 180},
      {"x = 18; y = 0", 30, 2, true, 150},
      {"x = 18; y = 0", 60, 2, true, 120},
      {"x = 18; y = 0", 330, 2, true, 210},
      // On the floor: the vertical motion turns.
      {"x = 0; y = 18", 270, 2, false, 90},
      {"x = 0; y = 18", 315, 2 * std::sqrt(2.0), false, 45},
      {"x = 0; y = 18", 270, 2, true, 90},
      {"x = 0; y = 18", 240, 2, true, 120},
      // Into the corner the wall and the floor make: straight back.
      {"x = 18; y = 18", 315, 2 * std::sqrt(2.0), false, 135},
      // Moving away, or along: nothing changes.
      {"x = 18; y = 0", 180, 2, false, 180},
      {"x = 18; y = 0", 180, 2, true, 180},
      {"x = 0; y = 0", 45, 2, true, 45},
  };
  for (const auto& c : cases) {
    w.Run(self, std::string(c.place) + "; xprevious = x; yprevious = y; motion_set(" +
                    std::to_string(c.direction) + ", " + std::to_string(c.speed) +
                    "); move_bounce_solid(" + (c.precise ? "1" : "0") + ")");
    EXPECT_NEAR(self.direction, c.newDirection, 1e-9)
        << c.place << " " << c.direction << (c.precise ? " precise" : "");
    EXPECT_NEAR(self.speed, c.speed, 1e-9) << c.place << " " << c.direction;
  }
}

TEST_F(Motion, ABounceFromInsideGoesBackToThePreviousPlaceFirst) {
  w.Run(w.Create(wall, 20, -20), "image_yscale = 10");
  w.Create(crate, 20, 30);
  CInstance& self = w.Create(mover);
  const struct {
    const char* code;
    double x, y, direction;
  } cases[] = {
      {"x = 19; y = 0; xprevious = 16; motion_set(0, 3); move_bounce_solid(0)", 16, 0, 180},
      {"x = 19; y = 0; xprevious = 16; motion_set(0, 3); move_bounce_solid(1)", 16, 0, 180},
      // Against all instances the crate counts too, against solid ones not.
      {"x = 18; y = 30; motion_set(0, 2); move_bounce_solid(0)", 18, 30, 0},
      {"x = 18; y = 30; motion_set(0, 2); move_bounce_all(0)", 18, 30, 180},
      {"x = 18; y = 30; motion_set(0, 2); action_bounce(0, 1)", 18, 30, 180},
  };
  for (const auto& c : cases) {
    w.Run(self, c.code);
    EXPECT_EQ(self.x, c.x) << c.code;
    EXPECT_EQ(self.y, c.y) << c.code;
    EXPECT_NEAR(self.direction, c.direction, 1e-9) << c.code;
  }
}

TEST_F(Motion, RandomPlacesAreInsideTheRoomOnTheGridAndFree) {
  CInstance& self = w.Create(mover, 5, 5);
  // Without a shape, the whole room: the first two draws of seed 1.
  CInstance& dot = w.Create(bare, 5, 5);
  CRandom random{.seed = 1};
  const double x = random.NextInt(64);
  const double y = random.NextInt(48);
  w.Run(dot, "random_set_seed(1); move_random(0, 0)");
  EXPECT_EQ(dot.x, x);
  EXPECT_EQ(dot.y, y);
  // The walls cover all but the columns 32..47: on a grid of 16 only x 32
  // is free.
  for (double wx : {0.0, 16.0, 48.0})
    w.Run(w.Create(wall, wx, 0), "image_xscale = 4; image_yscale = 12");
  for (int seed = 0; seed < 20; ++seed) {
    w.Run(self, "x = 5; y = 5; random_set_seed(" + std::to_string(seed) + "); move_random(16, 2)");
    if (self.x == 5) continue;  // 100 tries may all fail
    EXPECT_EQ(self.x, 32) << seed;
    EXPECT_EQ(std::fmod(self.y, 2), 0) << seed;
    EXPECT_GE(self.y, 0);
    EXPECT_LE(self.y, 46);
  }
  // No free place at all: the instance stays.
  w.Run(w.Create(wall, 32, 0), "image_xscale = 4; image_yscale = 12");
  w.Run(self, "x = 5; y = 5; move_random(0, 0)");
  EXPECT_EQ(self.x, 5);
  EXPECT_EQ(self.y, 5);
}

TEST_F(Motion, WrapAndSnap) {
  CInstance& self = w.Create(mover);
  const struct {
    const char* code;
    double x, y;
  } cases[] = {
      {"x = -3; y = 50; move_wrap(1, 1, 0)", 61, 2},
      {"x = -3; y = 50; move_wrap(1, 0, 0)", 61, 50},
      {"x = -3; y = 50; move_wrap(0, 1, 4)", -3, 50},
      {"x = 70; y = -10; move_wrap(1, 1, 4)", -2, 46},
      {"x = 64; y = 48; move_wrap(1, 1, 0)", 64, 48},
      // The action wraps only what moves out, by the sprite's size.
      {"x = -1; y = 0; hspeed = -1; action_wrap(0)", 65, 0},
      {"x = -1; y = 0; hspeed = 1; action_wrap(0)", -1, 0},
      {"x = 64; y = 49; hspeed = 1; vspeed = 1; action_wrap(2)", -2, -1},
      {"x = 64; y = 49; hspeed = 1; vspeed = 1; action_wrap(1)", 64, -1},
      {"x = 13; y = 21; move_snap(8, 0)", 16, 21},
      {"x = 12; y = 20; move_snap(8, 8)", 16, 16},  // halves to even
      {"x = 13; y = 21; move_snap(0, 5)", 13, 20},
  };
  for (const auto& c : cases) {
    w.Run(self, std::string("hspeed = 0; vspeed = 0; ") + c.code);
    EXPECT_EQ(self.x, c.x) << c.code;
    EXPECT_EQ(self.y, c.y) << c.code;
  }
}

TEST_F(Motion, DistancesAreMeasuredBetweenBoxes) {
  CInstance& self = w.Create(mover, 10, 10);  // box 10..11 x 10..11
  CInstance& near = w.Create(wall, 14, 10);   // 3 to the right
  CInstance& far = w.Create(crate, 20, 16);   // 9 right, 5 down
  const struct {
    const char* expr;
    double value;
  } cases[] = {
      {"distance_to_point(11, 11)", 0},
      {"distance_to_point(14, 15)", 5},
      {"distance_to_point(7, 6)", 5},
      {"distance_to_object(wall)", 3},
      {"distance_to_object(crate)", std::sqrt(106.0)},
      {"distance_to_object(all)", 3},
      {"distance_to_object(mover)", 1000000},  // only itself
      {"distance_to_object(-1)", 1000000},
      {"distance_to_object(12345)", 1000000},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Num(self, c.expr), c.value) << c.expr;
  EXPECT_DOUBLE_EQ(Num(self, "distance_to_object(" + std::to_string(far.id) + ")"),
                   std::sqrt(106.0));
  // Other is the instance the code runs with as other.
  RValue result;
  CCode code("return distance_to_object(other)", false);
  ASSERT_TRUE(code.Compile(w.rt));
  RunCode(w.rt, &self, &near, code, result);
  EXPECT_EQ(result.real, 3);
}

}  // namespace
