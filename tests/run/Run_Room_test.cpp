// Rooms in play: the start, change, restart and end sequences, persistent
// rooms and instances, change requests and the room variables.
#include "run/Run_Room.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code/Code_ExecTestSupport.h"
#include "run/Run_Main.h"
#include "run/Runtime.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

namespace {

constexpr std::int32_t kGameStart = 2;
constexpr std::int32_t kGameEnd = 3;
constexpr std::int32_t kRoomStart = 4;
constexpr std::int32_t kRoomEnd = 5;

RRoomInstance Placed(std::int32_t object, std::int32_t id, std::string code = "") {
  return {.x = 10, .y = 20, .object = object, .id = id, .creation_code = std::move(code)};
}

CRoom Room(std::vector<RRoomInstance> instances, std::string code = "", bool persistent = false) {
  CRoom room;
  room.instances = std::move(instances);
  room.creation_code = std::move(code);
  room.persistent = persistent;
  return room;
}

// A world whose object `obj` logs its create, game start, room start,
// room end and game end events with its id.
class RoomTest : public ::testing::Test {
 protected:
  RoomTest() {
    w.rt.settings.showErrors = false;
    obj = w.AddObject("obj");
    LogEvent(EventKind::Create, 0, "create");
    LogEvent(EventKind::Other, kGameStart, "game start");
    LogEvent(EventKind::Other, kRoomStart, "room start");
    LogEvent(EventKind::Other, kRoomEnd, "room end");
    LogEvent(EventKind::Other, kGameEnd, "game end");
  }

  void LogEvent(EventKind kind, std::int32_t number, const std::string& what,
                const std::string& more = "") {
    w.On(obj, kind, number, {CodeAction("log('" + what + "', id, room);" + more)});
  }

  std::int32_t AddRoom(const std::string& name, CRoom room) {
    return w.rt.resources.rooms.add(name, std::move(room));
  }

  // Starts the game in its first room and makes an instance to run code.
  CInstance& StartAndCreate() {
    EXPECT_TRUE(w.Start());
    GameStart(w.rt);
    return w.Create(obj);
  }

  // Starts the game and runs it for three steps; the log.
  std::string Play() {
    w.rt.maxSteps = 3;
    EXPECT_TRUE(w.Start());
    RunGame(w.rt);
    return w.TakeLog();
  }

  WorldRun w;
  std::int32_t obj = -1;
};

TEST_F(RoomTest, GameStartAndEndRunInTheirOrder) {
  w.rt.resources.libraryInitCode = {"log('library init')"};
  AddRoom("rm_first", Room({Placed(obj, 100001, "log('creation code', id)"),
                            Placed(obj, 100002, "log('creation code', id)")},
                           "log('room creation code', id, object_index, x, y)"));
  w.rt.resources.roomOrder = {0};
  EXPECT_EQ(Play(),
            "library init|creation code 100001|create 100001 0|creation code 100002|"
            "create 100002 0|game start 100001 0|game start 100002 0|"
            "room creation code 0 0 0 0|room start 100001 0|room start 100002 0|"
            "room end 100001 0|room end 100002 0|game end 100001 0|game end 100002 0");
  EXPECT_FALSE(w.rt.code.report.aborting);
  EXPECT_EQ(w.rt.world.instances.size(), 0u);
}

TEST_F(RoomTest, RoomChangeEndsOneRoomAndStartsTheNext) {
  LogEvent(EventKind::Other, kRoomStart, "room start", "if (room == 0) room_goto_next()");
  AddRoom("rm_a", Room({Placed(obj, 100001)}, "log('code a')"));
  AddRoom("rm_b", Room({Placed(obj, 100002)}, "log('code b')"));
  w.rt.resources.roomOrder = {0, 1};
  EXPECT_EQ(Play(),
            "create 100001 0|game start 100001 0|code a|room start 100001 0|"
            "room end 100001 0|"
            "create 100002 1|code b|room start 100002 1|"
            "room end 100002 1|game end 100002 1");
}

TEST_F(RoomTest, ChangeInACreateEventStopsEventsButNotCreationCode) {
  w.On(obj, EventKind::Create, 0,
       {CodeAction("log('create', id); if (room == 0) room_goto(1)"), CodeAction("log('next')")});
  AddRoom("rm_a", Room({Placed(obj, 100001, "log('cc', id)"), Placed(obj, 100002, "log('cc', id)")},
                       "log('room code')"));
  AddRoom("rm_b", Room({}));
  w.rt.resources.roomOrder = {0, 1};
  // The second instance's create event, game start and room start do not
  // run; room end runs with the change set aside.
  EXPECT_EQ(Play(),
            "cc 100001|create 100001|cc 100002|room code|"
            "room end 100001 0|room end 100002 0");
}

TEST_F(RoomTest, PersistentRoomKeepsItsInstancesAndRunsOnlyRoomStartAgain) {
  for (const bool persistent : {true, false}) {
    SCOPED_TRACE(persistent);
    WorldRun fresh;
    fresh.rt.settings.showErrors = false;
    const std::int32_t o = fresh.AddObject("obj");
    fresh.On(o, EventKind::Create, 0, {CodeAction("log('create'); n = 0")});
    fresh.On(o, EventKind::Other, kRoomStart,
             {CodeAction("n += 1; log('start', room, n);"
                         "if (room == 0 && n == 1) room_goto(1)")});
    const std::int32_t back = fresh.AddObject("back");
    fresh.On(back, EventKind::Other, kRoomStart,
             {CodeAction("if (global.visits < 1) { global.visits += 1; room_goto(0) }")});
    fresh.rt.resources.rooms.add("rm_a", Room({Placed(o, 100001, "log('cc')")}, "", persistent));
    fresh.rt.resources.rooms.add("rm_b", Room({Placed(back, 100002)}));
    fresh.rt.resources.roomOrder = {0, 1};
    fresh.rt.resources.libraryInitCode = {"global.visits = 0"};
    fresh.rt.maxSteps = 3;
    ASSERT_TRUE(fresh.Start());
    RunGame(fresh.rt);
    EXPECT_EQ(fresh.TakeLog(), persistent ? "cc|create|start 0 1|start 0 2"
                                          : "cc|create|start 0 1|cc|create|start 0 1");
  }
}

TEST_F(RoomTest, PersistentInstanceFollowsAndReplacesTheRoomInstanceWithItsId) {
  const std::int32_t hero = w.AddObject("hero");
  w.rt.resources.objects.get(hero)->persistent = true;
  w.On(hero, EventKind::Create, 0, {CodeAction("log('hero create', id); lives_here = room")});
  w.On(hero, EventKind::Other, kRoomStart,
       {CodeAction("log('hero start', id, room, lives_here, x);"
                   "if (room == 0) { x = 77; room_goto(1) }")});
  AddRoom("rm_a", Room({Placed(hero, 100001)}));
  // Room b holds an instance with the hero's id, and one of its own.
  AddRoom("rm_b", Room({Placed(hero, 100001, "log('replaced cc')"), Placed(obj, 100002)}));
  w.rt.resources.roomOrder = {0, 1};
  w.rt.resources.lastInstanceId = 100002;
  EXPECT_EQ(Play(),
            "hero create 100001|hero start 100001 0 0 10|"
            "create 100002 1|room start 100002 1|hero start 100001 1 0 77|"
            "room end 100002 1|game end 100002 1");
  // Putting the hero in used up an id.
  EXPECT_EQ(w.rt.world.lastInstanceId, 100003);
}

TEST_F(RoomTest, RestartResetsTheGameButKeepsHealthAndTheIdCounter) {
  w.rt.resources.libraryInitCode = {
      "log('init', score, lives, health, variable_global_exists('g'))"};
  w.On(obj, EventKind::Create, 0,
       {CodeAction("log('create', id);"
                   "if (health == 100) { health = 50; score = 7; lives = 3; global.g = 1;"
                   "game_restart() }")});
  AddRoom("rm", Room({Placed(obj, 100001)}));
  w.rt.resources.roomOrder = {0};
  w.rt.resources.lastInstanceId = 100001;
  EXPECT_EQ(Play(),
            "init 0 -1 100 0|create 100001|room end 100001 0|game end 100001 0|"
            "init 0 -1 50 0|create 100001|game start 100001 0|room start 100001 0|"
            "room end 100001 0|game end 100001 0");
}

TEST_F(RoomTest, RoomOrderNeighboursAndFatalRequests) {
  AddRoom("rm_a", Room({}));
  AddRoom("rm_b", Room({}));
  AddRoom("rm_c", Room({}));
  w.rt.resources.roomOrder = {2, 0};
  CInstance& self = StartAndCreate();
  EXPECT_EQ(pxtest::Show(w.Run(self,
                               "return string(room_previous(2)) + string(room_next(2)) +"
                               "string(room_previous(0)) + string(room_next(0)) +"
                               "string(room_next(1)) + string(room_previous(7)) +"
                               "string(room_first) + string(room_last) + string(room)")),
            "'-102-1-1-1202'");

  const struct {
    const char* code;
    const char* message;
  } cases[] = {
      {"room_goto(5)", "Unexisting room number: 5"},
      {"room = -1", "Unexisting room number: -1"},
      {"room_goto_previous()", "Moving to previous room before the first room."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    w.rt.pendingChange = kNoPendingChange;
    w.rt.code.report = {};
    w.Run(self, c.code);
    EXPECT_EQ(w.rt.pendingChange, kPendingAbort);
    const std::string& last = w.rt.code.report.last;
    EXPECT_EQ(last.substr(last.size() - std::string(c.message).size()), c.message);
    EXPECT_EQ(last.rfind("FATAL ERROR in", 0), 0u);
  }
  w.rt.code.report = {};
  w.rt.pendingChange = kNoPendingChange;
  w.Run(self, "room_goto_next()");
  EXPECT_EQ(w.rt.pendingChange, PendingChange::Room(0));
  w.rt.pendingChange = kNoPendingChange;
  w.rt.rooms.index = 0;
  w.Run(self, "room_goto_next()");
  EXPECT_EQ(w.rt.code.report.last.substr(w.rt.code.report.last.find(":\r\n\r\n") + 5),
            "Moving to next room after the last room.");
}

TEST_F(RoomTest, RoomVariablesReadAndWriteTheLiveRoom) {
  CRoom stored = Room({});
  stored.width = 300;
  stored.caption = "first";
  stored.layers[2].x = 4;
  stored.views[7].wport = 99;
  AddRoom("rm", stored);
  w.rt.resources.roomOrder = {0};
  CInstance& self = StartAndCreate();
  EXPECT_EQ(pxtest::Show(w.Run(self,
                               "room_caption = 'second'; room_speed = 2.6; room_persistent = 1;"
                               "background_x[2] += 1.5; view_wport[7] = 12.7; view_angle[9] = 3;"
                               "background_visible[1] = 0.9;"
                               "return string(room_width) + room_caption + string(room_speed) +"
                               "string(background_x[2]) + string(view_wport[7]) +"
                               "string(view_angle[0]) + string(background_visible[1])")),
            "'300second35.501331'");
  // The stored room is unchanged; the live one has the writes.
  EXPECT_EQ(w.rt.resources.rooms.get(0)->caption, "first");
  EXPECT_TRUE(w.rt.rooms.current->data.persistent);

  // The refused write is reported, and then fails as an assignment.
  w.rt.settings.showErrors = true;
  w.rt.code.report.memo.clear();
  w.Run(self, "room_speed = 0.4; room_caption = 'not reached'");
  EXPECT_EQ(w.rt.rooms.current->data.speed, 3);
  EXPECT_EQ(w.rt.rooms.current->data.caption, "second");
  const std::string& memo = w.rt.code.report.memo;
  const auto refused = memo.find("Trying to set the room speed to a value <= 0.");
  EXPECT_NE(refused, std::string::npos);
  EXPECT_NE(memo.find("Cannot assign to the variable", refused), std::string::npos);
  EXPECT_EQ(w.rt.pendingChange, kNoPendingChange);
}

TEST_F(RoomTest, CreationCodeFailuresAreReportedAndTheRoomGoesOn) {
  AddRoom("rm_odd",
          Room({Placed(obj, 100001, "x = "), Placed(obj, 100002, "x = undefined_thing")}, "y = "));
  w.rt.resources.roomOrder = {0};
  w.rt.settings.logErrors = false;
  EXPECT_TRUE(w.Start());
  GameStart(w.rt);
  EXPECT_EQ(w.TakeLog(),
            "create 100001 0|create 100002 0|game start 100001 0|game start 100002 0|"
            "room start 100001 0|room start 100002 0");
  EXPECT_TRUE(w.rt.code.report.occurred);
  EXPECT_FALSE(w.rt.code.report.aborting);
  EXPECT_EQ(w.rt.code.report.last.rfind("COMPILATION ERROR in creation code of room rm_odd\r", 0),
            0u);
}

TEST_F(RoomTest, FatalErrorInRoomStartEndsTheGameAfterTheEndEvents) {
  w.On(obj, EventKind::Create, 0,
       {CodeAction("log('create', id); if (id == 100001) show_error('stop', 1)")});
  AddRoom("rm",
          Room({Placed(obj, 100001), Placed(obj, 100002, "log('cc', id)")}, "log('room code')"));
  w.rt.resources.roomOrder = {0};
  EXPECT_EQ(Play(),
            "create 100001|cc 100002|room code|room end 100001 0|room end 100002 0|"
            "game end 100001 0|game end 100002 0");
  EXPECT_TRUE(w.rt.code.report.aborting);
}

}  // namespace
