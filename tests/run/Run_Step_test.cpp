// The step loop: the order of one step's phases, alarms, animation, the
// change test between phases, pacing on the clock, and views that follow.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/Room_Draw.h"
#include "run/Run_Main.h"
#include "run/Run_Room.h"
#include "run/Runtime.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

namespace {

class StepTest : public ::testing::Test {
 protected:
  StepTest() {
    w.rt.settings.showErrors = false;
    obj = w.AddObject("obj");
  }

  void Log(EventKind kind, std::int32_t number, const std::string& what,
           const std::string& more = "") {
    w.On(obj, kind, number, {CodeAction(more + "log('" + what + "', global.step)")});
  }

  std::int32_t AddRoom(std::vector<RRoomInstance> instances, int speed = 30) {
    CRoom room;
    room.instances = std::move(instances);
    room.speed = speed;
    return w.rt.resources.rooms.add("rm" + std::to_string(rooms++), room);
  }

  WorldRun w;
  std::int32_t obj = -1;
  int rooms = 0;
};

RRoomInstance At(std::int32_t object, std::int32_t id, int x, int y) {
  return {.x = x, .y = y, .object = object, .id = id, .creation_code = ""};
}

TEST_F(StepTest, PhasesRunInTheirOrderAndAChangeEndsTheStep) {
  w.rt.resources.libraryInitCode = {"global.step = 0"};
  Log(EventKind::Create, 0, "create", "alarm[0] = 2;");
  Log(EventKind::Step, kEvStepBegin, "begin",
      "global.step += 1; if (global.step == 3) room_goto(1);");
  Log(EventKind::Alarm, 0, "alarm");
  Log(EventKind::Keyboard, 0, "no key");
  Log(EventKind::KeyPress, 0, "no press");
  Log(EventKind::KeyRelease, 0, "no release");
  Log(EventKind::Step, kEvStepNormal, "step");
  Log(EventKind::Other, 0, "outside");
  Log(EventKind::Other, 1, "boundary");
  Log(EventKind::Step, kEvStepEnd, "end");
  Log(EventKind::Draw, 0, "draw");
  Log(EventKind::Other, 7, "animation end");
  Log(EventKind::Other, 5, "room end");
  // The instance stands outside the room, has no sprite and animates.
  w.rt.resources.roomOrder = {0};
  AddRoom({At(obj, 100001, -50, 10)});
  AddRoom({});
  // The room is drawn once at its start, before the first step.
  EXPECT_EQ(w.Play(3),
            "create 0|draw 0|"
            "begin 1|no key 1|no press 1|no release 1|step 1|outside 1|boundary 1|end 1|draw 1|"
            "animation end 1|"
            "begin 2|alarm 2|no key 2|no press 2|no release 2|step 2|outside 2|boundary 2|end 2|"
            "draw 2|animation end 2|"
            "begin 3|room end 3");
}

TEST_F(StepTest, AKeyPressedAndReleasedBetweenStepsCountsInTheNextStep) {
  constexpr std::int32_t kLeft = 37;
  w.rt.resources.libraryInitCode = {"global.step = 0"};
  Log(EventKind::Step, kEvStepBegin, "begin", "global.step += 1;");
  Log(EventKind::Keyboard, kLeft, "left");
  Log(EventKind::Keyboard, 0, "none");
  Log(EventKind::Keyboard, 1, "any");
  Log(EventKind::KeyPress, kLeft, "press left");
  Log(EventKind::KeyRelease, kLeft, "release left");
  Log(EventKind::Step, kEvStepNormal, "held", "log(keyboard_check(vk_left));");
  w.rt.resources.roomOrder = {0};
  AddRoom({At(obj, 100001, 0, 0)});
  using Kind = InputEvent::Kind;
  w.rt.replay = {{2, {.kind = Kind::KeyDown, .code = kLeft}},
                 {2, {.kind = Kind::KeyUp, .code = kLeft}}};
  EXPECT_EQ(w.Play(3),
            "begin 1|none 1|0|held 1|"
            "begin 2|left 2|any 2|press left 2|release left 2|0|held 2|"
            "begin 3|none 3|0|held 3");
}

TEST_F(StepTest, AlarmsCountDownOnlyWhereTheObjectHasTheirEvent) {
  const std::int32_t silent = w.AddObject("silent");
  w.On(obj, EventKind::Alarm, 3, {CodeAction("log('ring', alarm[3], alarm[4])")});
  w.On(silent, EventKind::Step, kEvStepNormal, {CodeAction("log('silent', alarm[3])")});
  w.rt.resources.libraryInitCode = {"global.step = 0"};
  w.rt.resources.roomOrder = {0};
  AddRoom({At(obj, 100001, 0, 0), At(silent, 100002, 0, 0)});
  w.rt.resources.rooms.get(0)->instances[0].creation_code = "alarm[3] = 2; alarm[4] = 1;";
  w.rt.resources.rooms.get(0)->instances[1].creation_code = "alarm[3] = 1;";
  EXPECT_EQ(w.Play(4), "silent 1|ring 0 1|silent 1|silent 1|silent 1");
  EXPECT_EQ(w.rt.run.steps, 4);
}

TEST_F(StepTest, AnimationWrapsAtTheImageCountAndNotBackwards) {
  const std::int32_t sprite = w.AddSprite("spr", {"#"});
  w.rt.resources.sprites.get(sprite)->images.resize(3,
                                                    w.rt.resources.sprites.get(sprite)->images[0]);
  w.object(obj).sprite_index = sprite;
  w.On(obj, EventKind::Other, 7, {CodeAction("log('end', image_index, image_speed)")});
  w.rt.resources.roomOrder = {0};
  AddRoom({At(obj, 100001, 0, 0), At(obj, 100002, 0, 0)});
  w.rt.resources.rooms.get(0)->instances[0].creation_code = "image_speed = 1.5";
  w.rt.resources.rooms.get(0)->instances[1].creation_code = "image_speed = -1";
  // 1.5, 3 → 0 (end), 1.5, 3 → 0 (end).
  EXPECT_EQ(w.Play(4), "end 0 1.5|end 0 1.5");
}

TEST_F(StepTest, StepsArePacedAtTheRoomSpeedOnTheClock) {
  w.rt.resources.roomOrder = {0};
  AddRoom({}, 50);
  const std::int64_t start = w.rt.platform.nowMicros();
  w.Play(120);
  // 120 steps of 20 ms each on the virtual clock, and 50 counted per second.
  EXPECT_EQ(w.rt.platform.nowMicros() - start, 120 * 20000);
  EXPECT_EQ(w.rt.run.fps, 50);
}

TEST_F(StepTest, ARoomSpeedBelowOneBecomesOne) {
  w.On(obj, EventKind::Step, kEvStepNormal, {CodeAction("log(room_speed)")});
  w.rt.resources.roomOrder = {0};
  AddRoom({At(obj, 100001, 0, 0)}, 0);
  const std::int64_t start = w.rt.platform.nowMicros();
  EXPECT_EQ(w.Play(2), "0|1");
  EXPECT_EQ(w.rt.platform.nowMicros() - start, 2 * 1000000);
}

TEST_F(StepTest, ViewsFollowTheirInstanceWithBorderAndSpeed) {
  const struct {
    int x, xview, wview, hborder, hspeed, expected;
  } cases[] = {
      {100, 0, 800, 32, -1, -160},  // wider than the room: right edge on the room's
      {300, 0, 200, 500, -1, 200},  // border of half the view: centred
      {20, 100, 200, 32, -1, 0},    // left of the border, clamped at 0
      {90, 100, 200, 32, -1, 58},   // crosses the left border
      {290, 100, 200, 32, 5, 105},  // right border, limited by the speed
      {150, 100, 200, 32, 5, 100},  // inside the borders: no move
  };
  w.rt.resources.roomOrder = {0};
  AddRoom({});
  ASSERT_TRUE(w.Start());
  GameStart(w.rt);
  CInstance& inst = w.Create(obj);
  CRoom& room = *CurrentRoomData(w.rt);
  room.views_enabled = true;
  room.width = 640;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    CView& v = room.views[1];
    v = CView{};
    v.visible = true;
    v.object = obj;
    v.xview = c.xview;
    v.wview = c.wview;
    v.hborder = c.hborder;
    v.hspeed = c.hspeed;
    inst.x = c.x;
    FollowViews(w.rt, room);
    EXPECT_EQ(v.xview, c.expected);
  }
}

}  // namespace
