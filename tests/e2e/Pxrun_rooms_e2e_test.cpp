// A game played by pxrun headless, logging every event through show_error
// into game_errors.log: game start, a room change, a restart and the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/Runner_Load.h"
#include "support/TestSupport.h"
#include "system/File_TestSupport.h"
#include "world/World_TestSupport.h"

using namespace pxtest;

namespace {

constexpr std::int32_t kCreate = 0;
constexpr std::int32_t kOther = 7;

// show_error(text + ' ' + string(id), 0) as an event's only action.
px::CEvent Logging(const std::string& text) {
  px::CEvent e;
  e.actions = {CodeAction("show_error('" + text + " ' + string(id), 0)")};
  return e;
}

px::GameFile LoggingGame() {
  px::GameFile game;
  game.settings.showErrors = false;
  game.settings.logErrors = true;
  px::GameResources& res = game.resources;
  px::CObject log;
  log.eventSlot(kCreate, 0) = Logging("create");
  log.eventSlot(kOther, 2) = Logging("game start");
  log.eventSlot(kOther, 4) = Logging("room start");
  log.eventSlot(kOther, 5) = Logging("room end");
  log.eventSlot(kOther, 3) = Logging("game end");
  res.objects.add("obj_log", log);
  // Goes on to the second room and restarts the game once from there
  // (health survives the restart); the third step ends the game.
  px::CObject control;
  control.eventSlot(kOther, 4).actions = {
      CodeAction("if (room == rm_a) room_goto_next() "
                 "else if (health == 100) { health = 50; game_restart() }")};
  res.objects.add("obj_control", control);

  px::CRoom a;
  a.instances = {{.x = 0,
                  .y = 0,
                  .object = 0,
                  .id = 100001,
                  .creation_code = "show_error('creation code ' + string(id), 0)"},
                 {.x = 0, .y = 0, .object = 1, .id = 100002, .creation_code = ""}};
  a.creation_code = "show_error('room code a', 0)";
  res.rooms.add("rm_a", a);
  px::CRoom b;
  b.instances = {{.x = 0, .y = 0, .object = 0, .id = 100003, .creation_code = ""},
                 {.x = 0, .y = 0, .object = 1, .id = 100004, .creation_code = ""}};
  b.creation_code = "show_error('room code b', 0)";
  res.rooms.add("rm_b", b);
  res.roomOrder = {0, 1};
  res.lastInstanceId = 100004;
  return game;
}

std::string Entry(const std::string& event, const std::string& object, const std::string& text) {
  return "ERROR in\r\naction number 1\r\nof " + event + "\r\nfor object " + object + ":\r\n\r\n" +
         text + "\r\n\r\n\r\n";
}

}  // namespace

TEST(PxrunRooms, EventsOfStartChangeRestartAndEndAreLoggedInOrder) {
  ScratchDir dir;
  const auto file = dir / "rooms.pxg";
  WriteBytes(file, px::WriteGameFile(LoggingGame()));
  const ProcessResult r =
      RunPxrun({"--headless", "--max-steps", "3", file.string()}, {}, dir.path().string());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");

  // Creation codes run outside any event: their header names the event
  // state they find, which is the last event prepared at start-up.
  const std::string create = "Create Event";
  const std::string gameStart = "Other Event: Game Start";
  const std::string roomStart = "Other Event: Room Start";
  const std::string roomEnd = "Other Event: Room End";
  const std::string gameEnd = "Other Event: Game End";
  const auto outside = [&](const std::string& text) {
    return Entry(roomStart, "obj_control", text);
  };
  const std::string firstVisit =
      outside("creation code 100001") + Entry(create, "obj_log", "create 100001") +
      Entry(gameStart, "obj_log", "game start 100001") + outside("room code a") +
      Entry(roomStart, "obj_log", "room start 100001") +
      Entry(roomEnd, "obj_log", "room end 100001") + Entry(create, "obj_log", "create 100003") +
      outside("room code b") + Entry(roomStart, "obj_log", "room start 100003");
  const std::string ending =
      Entry(roomEnd, "obj_log", "room end 100003") + Entry(gameEnd, "obj_log", "game end 100003");
  EXPECT_EQ(ReadFile(dir / "game_errors.log"), firstVisit + ending + firstVisit + ending);
}

TEST(PxrunRooms, FatalErrorEndsTheGameWithStatusOne) {
  px::GameFile game = LoggingGame();
  game.resources.rooms.get(0)->creation_code = "show_error('stop', 1)";
  ScratchDir dir;
  const auto file = dir / "fatal.pxg";
  WriteBytes(file, px::WriteGameFile(game));
  const ProcessResult r =
      RunPxrun({"--headless", "--max-steps", "3", file.string()}, {}, dir.path().string());
  EXPECT_EQ(r.exitCode, 1) << r.err;
  // Nothing is reported after the fatal error, and no room start runs.
  const std::string log = ReadFile(dir / "game_errors.log");
  const std::string fatal = "stop\r\n\r\n\r\n";
  ASSERT_GE(log.size(), fatal.size());
  EXPECT_EQ(log.substr(log.size() - fatal.size()), fatal);
  EXPECT_NE(log.find("FATAL ERROR in"), std::string::npos);
  EXPECT_EQ(log.find("room start"), std::string::npos);
}
