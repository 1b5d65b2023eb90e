// Three pxrun processes play one session over 127.0.0.1: Ann hosts, Bob
// and Cid find and join it; they send messages to one player and to all,
// guaranteed and not, write shared data, Cid leaves; each logs what it
// received and the logs are compared.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "run/Runner_Load.h"
#include "support/TestSupport.h"
#include "system/File_TestSupport.h"
#include "world/World_TestSupport.h"

using namespace pxtest;

namespace {

// Spins until the condition holds. Headless, waiting moves only the
// virtual clock, so the bound is a count of tries: large enough for a
// machine under load, and the run's time limit ends a run that never
// gets there.
std::string Wait(const std::string& condition) {
  return "t = 0; while (!(" + condition + ") && t < 500000000) { t += 1; }\n";
}

std::string Log(const std::string& expression) {
  return "file_text_write_string(f, " + expression + "); file_text_writeln(f);\n";
}

// Every queued message as "id value sender".
const std::string kLogMessages =
    "while (mplay_message_receive(0)) {\n" +
    Log("string(mplay_message_id()) + ' ' + string(mplay_message_value()) + ' ' + "
        "mplay_message_name()") +
    "}\n";

std::string Connect(const std::string& name, int port) {
  return "f = file_text_open_write('" + name + ".log');\n" +
         "mplay_init_tcpip('127.0.0.1:" + std::to_string(port) + "');\n";
}

std::string Join(const std::string& name) {
  return "n = 0; while (mplay_session_find() == 0 && n < 30) { n += 1; }\n"
         "mplay_session_join(0, '" +
         name + "');\n";
}

const std::string kFinish = "file_text_close(f); mplay_end(); game_end();\n";

std::string AnnCode(int port) {
  return Connect("ann", port) + "mplay_session_create('Room', 0, 'Ann');\n" +
         Wait("mplay_player_find() == 3") +
         "mplay_message_send_guaranteed('Bob', 1, 'to bob');\n"
         "mplay_message_send(0, 2, 2.5);\n"
         "mplay_data_write(3, 'shared');\n" +
         Wait("mplay_message_count(0) >= 3 && mplay_player_find() == 2") + kLogMessages +
         Log("'players ' + string(mplay_player_find())") +
         Log("'data ' + string(mplay_data_read(4))") +
         "mplay_message_send_guaranteed('Bob', 9, 'done');\n" + Wait("mplay_player_find() == 1") +
         kFinish;
}

std::string BobCode(int port) {
  return Connect("bob", port) + Join("Bob") +
         Wait("mplay_message_count(0) >= 2 && string(mplay_data_read(3)) == 'shared'") +
         kLogMessages + Log("'data ' + mplay_data_read(3)") +
         "mplay_data_write(4, 44);\n"
         "mplay_message_send_guaranteed('Ann', 3, 'to ann');\n"
         "mplay_message_send(0, 4, 4);\n" +
         Wait("mplay_message_count(0) >= 2") + kLogMessages +
         Log("'players ' + string(mplay_player_find())") + kFinish;
}

std::string CidCode(int port) {
  return Connect("cid", port) + Join("Cid") +
         Wait("mplay_message_count(0) >= 2 && mplay_data_read(4) == 44") + kLogMessages +
         Log("'data ' + mplay_data_read(3) + ' ' + string(mplay_data_read(4))") +
         "mplay_message_send_guaranteed(0, 7, 'bye');\n"
         "mplay_session_end();\n" +
         Log("'status ' + string(mplay_session_status())") + kFinish;
}

px::GameFile PlayerGame(const std::string& code) {
  px::GameFile game;
  game.gameGuid = {0x50, 0x58, 1, 2, 3};
  px::CObject obj;
  obj.eventSlot(0, 0).actions = {CodeAction(code)};
  game.resources.objects.add("obj_player", obj);
  px::CRoom room;
  room.instances = {{.x = 0, .y = 0, .object = 0, .id = 100001, .creation_code = ""}};
  game.resources.rooms.add("rm", room);
  game.resources.roomOrder = {0};
  game.resources.lastInstanceId = 100001;
  return game;
}

}  // namespace

TEST(PxrunMultiplayer, ThreeProcessesShareASessionOverLoopback) {
  // Three real processes on real ports: beside the rest of the suite
  // running in parallel it can miss its moment, so it runs when asked for.
  if (!std::getenv("PXRUN_TEST_MULTIPLAYER_PROCESSES"))
    GTEST_SKIP() << "set PXRUN_TEST_MULTIPLAYER_PROCESSES=1 to run three pxrun processes";
  ScratchDir dir;
  const int port = 20000 + (getpid() * 7 + 11) % 30000;
  ProcessResult results[3];
  std::thread players[3];
  const std::string names[3] = {"ann", "bob", "cid"};
  const std::string codes[3] = {AnnCode(port), BobCode(port), CidCode(port)};
  for (int i = 0; i < 3; ++i) {
    const auto file = dir / (names[i] + ".pxg");
    WriteBytes(file, px::WriteGameFile(PlayerGame(codes[i])));
    players[i] = std::thread([&, i, file] {
      results[i] =
          RunPxrun({"--headless", "--max-steps", "2", "--time-limit", "120", file.string()}, {},
                   dir.path().string());
    });
  }
  for (auto& t : players) t.join();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(results[i].exitCode, 0) << names[i] << results[i].err;
    EXPECT_EQ(results[i].out, "") << names[i];
  }
  // The log is written with the runner's CR LF line ends.
  const auto lines = [](std::initializer_list<const char*> list) {
    std::string text;
    for (const char* line : list) text += std::string(line) + "\r\n";
    return text;
  };
  EXPECT_EQ(ReadFile(dir / "ann.log"),
            lines({"3 to ann Bob", "4 4 Bob", "7 bye (unknown)", "players 2", "data 44"}));
  EXPECT_EQ(ReadFile(dir / "bob.log"), lines({"1 to bob Ann", "2 2.50 Ann", "data shared",
                                              "7 bye (unknown)", "9 done Ann", "players 2"}));
  EXPECT_EQ(ReadFile(dir / "cid.log"),
            lines({"2 2.50 Ann", "4 4 Bob", "data shared 44", "status 0"}));
}
