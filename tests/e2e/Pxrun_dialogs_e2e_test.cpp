// A game that asks a question, a number, a string and a menu choice,
// played headless by pxrun with and without a file of answers: the texts
// printed and the results the game received.
#include <gtest/gtest.h>

#include <string>

#include "run/Runner_Load.h"
#include "support/TestSupport.h"
#include "system/File_TestSupport.h"
#include "world/World_TestSupport.h"

using namespace pxtest;

namespace {

px::GameFile AskingGame() {
  px::GameFile game;
  px::GameResources& res = game.resources;
  px::CObject obj;
  obj.eventSlot(0, 0).actions = {
      CodeAction("q = show_question('Continue?');"
                 "n = get_integer('How many?', 3);"
                 "s = get_string('Name?', 'x');"
                 "m = show_menu('New|-|Open|Quit', -1);"
                 "show_message('q=' + string(q) + ' n=' + string(n) + ' s=' + s + "
                 "' m=' + string(m));"
                 "game_end();")};
  res.objects.add("obj_ask", obj);
  px::CRoom room;
  room.instances = {{.x = 0, .y = 0, .object = 0, .id = 100001, .creation_code = ""}};
  res.rooms.add("rm", room);
  res.roomOrder = {0};
  res.lastInstanceId = 100001;
  return game;
}

}  // namespace

TEST(PxrunDialogs, AnswersFileDrivesTheDialogsInOrder) {
  ScratchDir dir;
  const auto file = dir / "ask.pxg";
  WriteBytes(file, px::WriteGameFile(AskingGame()));
  const auto answers = dir / "answers.txt";
  WriteText(answers, "No\r\n12\nBob\nQuit\n");
  const std::string asked = "Continue?\nHow many?\nName?\nNew\n-\nOpen\nQuit\n";

  ProcessResult r =
      RunPxrun({"--headless", "--max-steps", "5", "--answers", answers.string(), file.string()}, {},
               dir.path().string());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, asked + "q=0 n=12 s=Bob m=2\n");

  // Without answers every dialog takes its default.
  r = RunPxrun({"--headless", "--max-steps", "5", file.string()}, {}, dir.path().string());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, asked + "q=1 n=3 s=x m=-1\n");

  r = RunPxrun({"--headless", "--answers", (dir / "missing.txt").string(), file.string()}, {},
               dir.path().string());
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("missing.txt"), std::string::npos);
}
