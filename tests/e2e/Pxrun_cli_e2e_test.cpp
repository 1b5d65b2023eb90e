// What pxrun says about its command line and its game file, and the exit
// status it ends with, as a script running it sees them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pack/Pack_Project.h"
#include "support/TestSupport.h"
#include "world/World_TestSupport.h"

using namespace pxtest;
namespace fs = std::filesystem;

namespace {

// A game of one instance whose creation code runs `code`, for two steps.
px::GameFile GameRunning(const std::string& code) {
  px::GameFile game = SampleGame();
  game.settings.showErrors = false;
  px::CObject obj;
  obj.eventSlot(0, 0).actions = {CodeAction(code)};
  const int index = game.resources.objects.add("obj_cli", obj);
  px::CRoom room;
  room.instances = {{.x = 0, .y = 0, .object = index, .id = 200001, .creation_code = ""}};
  game.resources.rooms.add("rm_cli", room);
  game.resources.roomOrder = {game.resources.rooms.count() - 1};
  game.resources.lastInstanceId = 200001;
  return game;
}

}  // namespace

TEST(PxrunCli, MessagesAndExitStatuses) {
  ScratchDir dir;
  const std::string good = (dir / "good.pxg").string();
  WriteBytes(good, px::WriteGameFile(SampleGame()));
  const std::vector<std::uint8_t> bytes = ReadBytes(good);
  const std::string cut = (dir / "cut.pxg").string();
  WriteBytes(cut, {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() - 40)});
  const std::string small = (dir / "small.bin").string();
  WriteText(small, "random bytes, not a game");
  const std::string large = (dir / "large.bin").string();
  WriteBytes(large, std::vector<std::uint8_t>(2'100'000, 0x5A));
  const std::string missing = (dir / "missing.pxg").string();
  const std::string folder = dir.path().string();
  const std::string noDir = (dir / "no/such/folder/shot.png").string();

  const struct {
    std::vector<std::string> args;
    int status;
    std::string errStart;
  } cases[] = {
      {{missing}, 1, "pxrun: " + missing + ": no such file\n"},
      {{folder}, 1, "pxrun: " + folder + ": is a directory\n"},
      {{small}, 1, "pxrun: " + small + ": not a game file (too short to hold game data)\n"},
      {{large}, 1, "pxrun: " + large + ": not a game file (no game data found)\n"},
      {{cut}, 1, "pxrun: " + cut + ": damaged game data ("},
      {{"--screenshot", noDir, good},
       2,
       "pxrun: " + noDir + ": cannot write it (No such file or directory)\n"},
      {{"--screenshot", folder, good}, 2, "pxrun: " + folder + ": is a directory\n"},
      {{"--time-limit", "0", good},
       2,
       "pxrun: --time-limit needs a number of seconds above 0, not '0'\n"},
      {{good}, 0, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--headless", "--max-steps", "2"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult r = RunPxrun(args, {}, folder);
    SCOPED_TRACE(c.args.back());
    EXPECT_EQ(r.exitCode, c.status) << r.err;
    EXPECT_TRUE(r.err.starts_with(c.errStart)) << r.err;
  }
  EXPECT_FALSE(fs::exists(dir / "no"));
}

TEST(PxrunCli, StrictFailsARunThatReportedAnyError) {
  ScratchDir dir;
  const std::string failing = (dir / "failing.pxg").string();
  WriteBytes(failing, px::WriteGameFile(GameRunning("show_error('not fatal', false)")));
  const std::string clean = (dir / "clean.pxg").string();
  WriteBytes(clean, px::WriteGameFile(GameRunning("x = 1")));
  const struct {
    std::string file;
    bool strict;
    int status;
  } cases[] = {
      {failing, false, 0},
      {failing, true, 3},
      {clean, true, 0},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--headless", "--max-steps", "2"};
    if (c.strict) args.push_back("--strict");
    args.push_back(c.file);
    const ProcessResult r = RunPxrun(args, {}, dir.path().string());
    EXPECT_EQ(r.exitCode, c.status) << c.file << " strict " << c.strict << "\n" << r.err;
  }
}
