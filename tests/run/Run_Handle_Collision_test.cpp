// The collision phase: which instance pairs raise events, in what order,
// and how solid instances are sent back.
#include "run/Run_Handle_Collision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "resources/Path_Class.h"
#include "run/Run_Main.h"
#include "run/Runtime.h"
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
  EXPECT_EQ(w.Play(1),
            "aa 100001 100002|aa 100002 100001|"
            "a 100001 100003|a 100002 100003");
}

TEST_F(CollisionPhaseTest, BoxesThatMeetOnlyOnClearCellsDoNotCollide) {
  w.On(a, EventKind::Collision, b, {CodeAction("log('hit')")});
  // The boxes share one pixel: a's set bottom-right cell, b's clear
  // top-left one.
  Room({At(a, 100001, 0, 0), At(b, 100002, 1, 1)});
  EXPECT_EQ(w.Play(1), "");
}

TEST_F(CollisionPhaseTest, ASolidCollisionSendsBothBackBeforeTheEvents) {
  w.object(b).solid = true;
  w.On(a, EventKind::Collision, b, {CodeAction("log(x, y, other.x, other.y)")});
  // a moves right into the resting solid b.
  Room({At(a, 100001, 0, 0, "hspeed = 3;"), At(b, 100002, 4, 0)});
  // Moving on by its speed after the event still collides: back again.
  w.On(a, EventKind::Step, kEvStepEnd, {CodeAction("log('end', x)")});
  EXPECT_EQ(w.Play(1), "0 0 4 0|end 0");
}

TEST_F(CollisionPhaseTest, AfterTheEventsSolidsMoveOnWhenTheWayIsClear) {
  w.object(b).solid = true;
  // The event turns a around; it then moves away from b by its new speed.
  w.On(a, EventKind::Collision, b, {CodeAction("hspeed = -hspeed; log(x)")});
  Room({At(a, 100001, 0, 0, "hspeed = 3;"), At(b, 100002, 4, 0)});
  w.On(a, EventKind::Step, kEvStepEnd, {CodeAction("log('end', x)")});
  EXPECT_EQ(w.Play(1), "0|end -3");
}

TEST_F(CollisionPhaseTest, AfterASolidCollisionPathsAdvanceAgain) {
  CPath path;
  path.closed = false;
  path.points = {{0, 0, 100}, {100, 0, 100}};
  path.GeometryChanged();
  w.rt.resources.paths.add("pth", path);
  w.object(b).solid = true;
  // a follows the path 3 pixels a step into b; the event moves b away, so
  // the second advance along the path is free and a ends there.
  w.On(a, EventKind::Collision, b, {CodeAction("other.x = 50; log(x, path_position)")});
  w.On(a, EventKind::Step, kEvStepEnd, {CodeAction("log('end', x, round(path_position * 100))")});
  Room({At(a, 100001, 0, 0, "path_start(0, 3, 0, false);"), At(b, 100002, 4, 0)});
  EXPECT_EQ(w.Play(1), "0 0|end 3 3");
}

// A crowd of instances of three objects, some solid, of mixed shapes,
// scales and angles, moved and collided for a few steps. The events move,
// create and destroy instances, so the grid must follow them mid-phase.
std::string Crowd(unsigned seed, CollisionSearch search) {
  WorldRun w;
  w.rt.settings.showErrors = false;
  const std::int32_t sprites[] = {
      w.AddSprite("ring", {"###", "#.#", "###"}, 1, 1),
      w.AddSprite("bar", {"######", "#....."}),
      w.AddSprite("dot", {"#"}),
  };
  const std::int32_t a = w.AddObject("a");
  const std::int32_t b = w.AddObject("b");
  const std::int32_t c = w.AddObject("c");
  w.object(c).solid = true;
  w.On(a, EventKind::Collision, a, {CodeAction("log('aa', id, other.id, x, y)")});
  w.On(a, EventKind::Collision, b,
       {CodeAction("log('ab', id, other.id); if (id mod 5 == 0) x += 40;")});
  w.On(b, EventKind::Collision, c,
       {CodeAction("log('bc', id, other.id, x, y); if (id mod 7 == 0) instance_destroy();")});
  w.On(c, EventKind::Collision, a,
       {CodeAction("log('ca', id, other.id, x, y); "
                   "if (id mod 11 == 0) instance_create(other.x + 2, other.y, b);")});
  EXPECT_TRUE(w.Start());
  std::mt19937 rng(seed);
  const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const std::int32_t objects[] = {a, b, c};
  for (int n = 0; n < 300; ++n) {
    CInstance& inst = w.Create(objects[pick(3)], pick(200) - 20, pick(200) - 20);
    const GameResources& res = w.rt.resources;
    inst.SetSprite(res, sprites[pick(3)]);
    if (pick(4) == 0) inst.SetXScale(res, (pick(5) - 2) * 1.5 + 0.5);
    if (pick(4) == 0) inst.SetAngle(res, pick(8) * 45);
    // A few huge ones that span many cells of the grid.
    if (n % 60 == 0) {
      inst.SetXScale(res, 200);
      inst.SetYScale(res, 150);
    }
    inst.hspeed = pick(7) - 3;
    inst.vspeed = pick(7) - 3;
  }
  for (int step = 0; step < 4; ++step) {
    CInstanceList& list = w.rt.world.instances;
    for (std::size_t i = 0; i < list.size(); ++i) {
      CInstance& inst = list.at(i);
      inst.xprevious = inst.x;
      inst.yprevious = inst.y;
      inst.SetPosition(w.rt.resources, inst.x + inst.hspeed, inst.y + inst.vspeed);
    }
    CollisionEvents(w.rt, search);
    w.log.push_back("step");
  }
  return w.TakeLog();
}

TEST(CollisionSearch, TheGridRaisesTheSameEventsInTheSameOrderAsEveryPair) {
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    const std::string all = Crowd(seed, CollisionSearch::AllPairs);
    // The scene is busy enough to mean something.
    EXPECT_GT(std::count(all.begin(), all.end(), '|'), 100);
    EXPECT_EQ(Crowd(seed, CollisionSearch::Grid), all);
  }
}

}  // namespace
