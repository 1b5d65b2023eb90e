// The action functions run as actions of an event: what each leaves in the
// instance and the game, relative and not.
#include <gtest/gtest.h>

#include <array>

#include "code/Function_TestSupport.h"
#include "world/World_TestSupport.h"

namespace {

using namespace px;
using pxtest::CodeAction;
using pxtest::FunctionAction;
using pxtest::WorldRun;

struct Actions : testing::Test {
  WorldRun w;
  std::int32_t obj = w.AddObject("obj");
  std::int32_t spawned = w.AddObject("obj_spawned");
  int next = 0;

  // Runs one action in a fresh event of obj for the first instance, then
  // evaluates an expression for it.
  double After(const std::string& setup, CAction action, bool relative, const std::string& probe) {
    action.may_be_relative = true;
    action.relative = relative;
    const std::int32_t number = next++;
    w.On(obj, EventKind::Other, 10 + number % 16, {CodeAction(setup), action});
    EXPECT_TRUE(w.Start());
    CInstance& self = w.Create(obj, 10, 20);
    PerformEvent(w.rt, &self, &self, 7, 10 + number % 16);
    return w.Run(self, "return " + probe).real;
  }
};

TEST_F(Actions, MotionAndInstanceFields) {
  const struct {
    const char* setup;
    const char* function;
    std::vector<std::string> args;
    bool relative;
    const char* probe;
    double value;
  } cases[] = {
      {"", "action_set_motion", {"90", "3"}, false, "direction * 100 + speed", 9003},
      {"hspeed = 1", "action_set_motion", {"0", "2"}, true, "hspeed", 3},
      {"hspeed = 1", "action_set_hspeed", {"2"}, true, "hspeed", 3},
      {"vspeed = 1", "action_set_vspeed", {"2"}, false, "vspeed", 2},
      {"gravity = 1",
       "action_set_gravity",
       {"90", "0.5"},
       true,
       "gravity_direction + gravity",
       361.5},
      {"friction = 1", "action_set_friction", {"0.25"}, true, "friction", 1.25},
      {"",
       "action_move_point",
       {"14", "17", "5"},
       false,
       "direction * 100 + hspeed",
       3690.989764584402},
      {"", "action_move_to", {"5", "6"}, true, "x * 100 + y", 1526},
      {"x = 3; y = 4", "action_move_start", {}, false, "x * 100 + y", 1020},
      {"x = 20; y = 9", "action_snap", {"16", "16"}, false, "x * 100 + y", 1616},
      {"hspeed = 2; vspeed = -1", "action_reverse_xdir", {}, false, "hspeed * 10 + vspeed", -21},
      {"hspeed = 2; vspeed = -1", "action_reverse_ydir", {}, false, "hspeed * 10 + vspeed", 21},
      {"", "action_move", {"'000010000'", "3"}, false, "speed * 1000 + direction", 0},
      {"", "action_move", {"'000000010'", "3"}, false, "speed * 1000 + direction", 3090},
      {"speed = 1", "action_move", {"'000000000'", "3"}, false, "speed", 1},
      {"alarm[2] = -1", "action_set_alarm", {"5", "2"}, true, "alarm[2]", 5},
      {"alarm[2] = 4", "action_set_alarm", {"5", "2"}, true, "alarm[2]", 9},
      {"alarm[2] = 4", "action_set_alarm", {"5", "2"}, false, "alarm[2]", 5},
      {"",
       "action_set_timeline",
       {"3", "2.5"},
       false,
       "timeline_index * 100 + timeline_position * 10 + timeline_running",
       321},
      {"",
       "action_timeline_set",
       {"1", "4", "1", "1"},
       false,
       "timeline_position * 100 + timeline_running * 10 + timeline_loop",
       401},
      {"timeline_position = 7; timeline_running = 1",
       "action_timeline_stop",
       {},
       false,
       "timeline_position + timeline_running",
       0},
      {"timeline_position = 7",
       "action_set_timeline_position",
       {"2.5"},
       true,
       "timeline_position",
       9},
      {"timeline_speed = 1", "action_set_timeline_speed", {"0.5"}, true, "timeline_speed", 1.5},
      {"path_position = 0.75", "action_path_position", {"0.5"}, true, "path_position", 1},
      {"",
       "action_sprite_transform",
       {"2", "3", "45", "3"},
       false,
       "image_xscale * 100 + image_yscale * 10 + image_angle",
       -200 - 30 + 45},
      {"", "action_sprite_color", {"255", "0.5"}, false, "image_blend + image_alpha", 255.5},
      {"", "action_sprite_set", {"-1", "2", "0.5"}, false, "image_index * 10 + image_speed", 20.5},
      {"score = 5", "action_set_score", {"10.5"}, true, "score", 15},
      {"health = 50", "action_set_health", {"-10"}, true, "health", 40},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(After(c.setup, FunctionAction(c.function, c.args), c.relative, c.probe), c.value,
                0.01)
        << c.function << " " << c.setup;
  }
}

TEST_F(Actions, CreatingInstances) {
  w.On(spawned, EventKind::Create, 0, {CodeAction("log('created', x, y, speed, direction)")});
  After("", FunctionAction("action_create_object_motion", {"1", "5", "6", "3", "90"}), true, "0");
  EXPECT_EQ(w.TakeLog(), "created 15 26 3 90");
  After("", FunctionAction("action_create_object_random", {"-1", "1", "7", "1", "2", "3"}), false,
        "0");
  EXPECT_EQ(w.TakeLog(), "created 2 3 0 0");
  After("", FunctionAction("action_create_object_random", {"-1", "8", "7", "9", "2", "3"}), false,
        "0");
  EXPECT_EQ(w.TakeLog(), "");
  w.rt.settings.showErrors = false;
  After("", FunctionAction("action_create_object", {"12", "0", "0"}), false, "0");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Creating instance for non-existing object: 12"));
  EXPECT_TRUE(w.rt.code.report.last.starts_with("ERROR in\r\naction number 2\r\n"));
  After("", FunctionAction("action_move", {"'0000'", "1"}), false, "0");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Wrong argument to action_move()."));
}

TEST_F(Actions, Questions) {
  w.AddScript("scr_sum", "return argument0 + argument1 + argument4");
  const struct {
    const char* function;
    std::vector<std::string> args;
    bool relative;
    bool answer;
  } cases[] = {
      {"action_if", {"0.5"}, false, true},
      {"action_if", {"0.49"}, false, false},
      {"action_if_number", {"0", "1", "0"}, false, true},
      {"action_if_number", {"0", "1", "2"}, false, false},
      {"action_if_number", {"1", "1", "1"}, false, true},
      {"action_if_variable", {"'abc'", "'abd'", "1"}, false, true},
      {"action_if_variable", {"2", "2", "0"}, false, true},
      {"action_if_variable", {"3", "2", "2"}, false, true},
      {"action_if_aligned", {"5", "4"}, false, true},
      {"action_if_aligned", {"4", "0"}, false, false},
      {"action_if_dice", {"1"}, false, true},
      {"action_if_empty", {"0", "0", "0"}, true, true},
      {"action_if_collision", {"0", "0", "1"}, true, false},
      {"action_if_score", {"1", "1"}, false, true},
      {"action_if_life", {"-1", "0"}, false, true},
      {"action_if_health", {"100", "2"}, false, false},
      {"action_execute_script", {"0", "0.25", "0.25", "9", "9", "0"}, false, true},
  };
  for (const auto& c : cases) {
    CAction question = FunctionAction(c.function, c.args);
    question.is_question = true;
    const std::int32_t number = next++;
    question.relative = c.relative;
    question.may_be_relative = true;
    w.On(obj, EventKind::Other, 10 + number % 16,
         {question, CodeAction("log('yes')"), pxtest::ControlAction(ActionKind::Else),
          CodeAction("log('no')")});
    ASSERT_TRUE(w.Start());
    CInstance& self = w.Create(obj, 10, 20);
    PerformEvent(w.rt, &self, &self, 7, 10 + number % 16);
    EXPECT_EQ(w.TakeLog(), c.answer ? "yes" : "no") << c.function;
  }
  w.rt.settings.showErrors = false;
  After("", FunctionAction("action_if_variable", {"1", "'1'", "0"}), false, "0");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Cannot compare arguments."));
}

TEST_F(Actions, LosingTheLastLifeRaisesItsEventOnce) {
  w.On(obj, EventKind::Other, kEvNoMoreLives, {CodeAction("log('no more lives', lives)")});
  w.On(obj, EventKind::Other, kEvNoMoreHealth, {CodeAction("log('no more health', health)")});
  After("lives = 1", FunctionAction("action_set_life", {"-1"}), true, "lives");
  EXPECT_EQ(w.TakeLog(), "no more lives 0");
  After("", FunctionAction("action_set_life", {"-1"}), true, "lives");
  EXPECT_EQ(w.TakeLog(), "");
  After("health = 5", CodeAction("health = 0; health = -3"), false, "health");
  EXPECT_EQ(w.TakeLog(), "no more health 0");
}

TEST(MouseAction, ButtonDownOrNoButton) {
  pxtest::TestRun run;
  const struct {
    std::array<bool, 3> held;  // left, right, middle
    double button;
    double answer;
  } cases[] = {
      {{false, false, false}, 1, 0}, {{true, false, false}, 1, 1},   {{true, false, false}, 2, 0},
      {{false, true, false}, 2, 1},  {{false, false, true}, 3, 1},   {{false, false, true}, 2.6, 1},
      {{false, false, false}, 0, 1}, {{false, false, false}, -1, 1}, {{false, true, false}, 0, 0},
      {{false, false, true}, 4, 0},
  };
  for (const auto& c : cases) {
    for (std::size_t b = 0; b < 3; ++b) run.rt.input.mheld[b + 1] = c.held[b];
    EXPECT_EQ(pxtest::CallReal(run, "action_if_mouse", {c.button}), c.answer)
        << c.button << " " << c.held[0] << c.held[1] << c.held[2];
  }
}

}  // namespace
