// The collision phase: which instance pairs raise events, in what order,
// and how solid instances are sent back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner/Run_Global.h"
#include "world/Run_Main.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

namespace {

class CollisionPhaseTest : public ::testing::Test {
 protected:
  CollisionPhaseTest() {
    w.rt.settings.showErrors = false;
    // A 2x2 block with its top-left cell clear.
    block = w.AddSprite("block", {".#", "##"});
    a = AddObject("a");
    b = AddObject("b");
    w.rt.resources.roomOrder = {0};
  }

  std::int32_t AddObject(const std::string& name) {
    const std::int32_t o = w.AddObject(name);
    w.object(o).sprite_index = block;
    return o;
  }

  void Room(std::vector<RRoomInstance> instances) {
    CRoom room;
    room.instances = std::move(instances);
    room.speed = 30;
    w.rt.resources.rooms.add("rm", room);
  }

  std::string Play(std::int64_t steps) {
    w.rt.maxSteps = steps;
    EXPECT_TRUE(w.Start());
    RunGame(w.rt);
    return w.TakeLog();
  }

  WorldRun w;
  std::int32_t block = -1;
  std::int32_t a = -1;
  std::int32_t b = -1;
};

RRoomInstance At(std::int32_t object, std::int32_t id, int x, int y, const std::string& code = "") {
  return {.x = x, .y = y, .object = object, .id = id, .creation_code = code};
}

TEST_F(CollisionPhaseTest, EventsRunForEachOverlappingPairInListOrder) {
  // a has an event with b, b none: the pair still raises a's event only.
  // a with a: each unordered pair once, each instance its own event.
  w.On(a, EventKind::Collision, b, {CodeAction("log('a', id, other.id)")});
  w.On(a, EventKind::Collision, a, {CodeAction("log('aa', id, other.id)")});
  Room({At(a, 100001, 0, 0), At(a, 100002, 1, 0), At(b, 100003, 1, 0), At(b, 100004, 50, 50)});
  EXPECT_EQ(Play(1),
            "aa 100001 100002|aa 100002 100001|"
            "a 100001 100003|a 100002 100003");
}

TEST_F(CollisionPhaseTest, BoxesThatMeetOnlyOnClearCellsDoNotCollide) {
  w.On(a, EventKind::Collision, b, {CodeAction("log('hit')")});
  // The boxes share one pixel: a's set bottom-right cell, b's clear
  // top-left one.
  Room({At(a, 100001, 0, 0), At(b, 100002, 1, 1)});
  EXPECT_EQ(Play(1), "");
}

TEST_F(CollisionPhaseTest, ASolidCollisionSendsBothBackBeforeTheEvents) {
  w.object(b).solid = true;
  w.On(a, EventKind::Collision, b, {CodeAction("log(x, y, other.x, other.y)")});
  // a moves right into the resting solid b.
  Room({At(a, 100001, 0, 0, "hspeed = 3;"), At(b, 100002, 4, 0)});
  // Moving on by its speed after the event still collides: back again.
  w.On(a, EventKind::Step, kEvStepEnd, {CodeAction("log('end', x)")});
  EXPECT_EQ(Play(1), "0 0 4 0|end 0");
}

TEST_F(CollisionPhaseTest, AfterTheEventsSolidsMoveOnWhenTheWayIsClear) {
  w.object(b).solid = true;
  // The event turns a around; it then moves away from b by its new speed.
  w.On(a, EventKind::Collision, b, {CodeAction("hspeed = -hspeed; log(x)")});
  Room({At(a, 100001, 0, 0, "hspeed = 3;"), At(b, 100002, 4, 0)});
  w.On(a, EventKind::Step, kEvStepEnd, {CodeAction("log('end', x)")});
  EXPECT_EQ(Play(1), "0|end -3");
}

}  // namespace
