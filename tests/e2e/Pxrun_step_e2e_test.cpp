// One step's events in their order, logged through show_error into
// game_errors.log by a game that pxrun plays headless for three steps with
// replayed keyboard and mouse input.
#include <gtest/gtest.h>

#include <string>

#include "run/Event_Name.h"
#include "run/Runner_Load.h"
#include "support/TestSupport.h"
#include "system/File_TestSupport.h"
#include "world/World_TestSupport.h"

using namespace pxtest;

namespace {

constexpr std::int32_t kLeftKey = 37;
constexpr std::int32_t kGlobalLeftButton = 50;
constexpr std::int32_t kGlobalLeftPressed = 53;

// Logs `text` and the step number.
px::CEvent Logging(const std::string& text, const std::string& before = "") {
  px::CEvent e;
  e.actions = {CodeAction(before + "show_error('" + text + " ' + string(global.step), 0)")};
  return e;
}

px::GameFile StepGame() {
  px::GameFile game;
  game.settings.showErrors = false;
  game.settings.logErrors = true;
  px::GameResources& res = game.resources;
  res.libraryInitCode = {"global.step = 0"};
  px::CObject obj;
  obj.eventSlot(0, 0).actions = {CodeAction("alarm[0] = 2")};
  obj.eventSlot(3, 1) = Logging("begin step", "global.step += 1;");
  obj.eventSlot(2, 0) = Logging("alarm 0");
  obj.eventSlot(5, kLeftKey) = Logging("keyboard left");
  obj.eventSlot(9, kLeftKey) = Logging("press left");
  obj.eventSlot(10, kLeftKey) = Logging("release left");
  obj.eventSlot(6, kGlobalLeftButton) = Logging("global left button");
  obj.eventSlot(6, kGlobalLeftPressed) = Logging("global left pressed");
  obj.eventSlot(3, 0) = Logging("step");
  obj.eventSlot(3, 2) = Logging("end step");
  obj.eventSlot(8, 0) = Logging("draw");
  res.objects.add("obj_log", obj);
  px::CRoom room;
  room.instances = {{.x = 10, .y = 10, .object = 0, .id = 100001, .creation_code = ""}};
  res.rooms.add("rm", room);
  res.roomOrder = {0};
  res.lastInstanceId = 100001;
  return game;
}

std::string Entry(const std::string& event, const std::string& text) {
  return "ERROR in\r\naction number 1\r\nof " + event + "\r\nfor object obj_log:\r\n\r\n" + text +
         "\r\n\r\n\r\n";
}

}  // namespace

TEST(PxrunSteps, EventsOfThreeStepsWithReplayedInputComeInTheirOrder) {
  ScratchDir dir;
  const auto file = dir / "steps.pxg";
  WriteBytes(file, px::WriteGameFile(StepGame()));
  const auto input = dir / "input.txt";
  // Left pressed and released, and the left button pressed, before step 2;
  // the button released before step 3.
  WriteText(input, "2 keydown 37\n2 keyup 37\n2 mousedown 1\n3 mouseup 1\n");
  const ProcessResult r =
      RunPxrun({"--headless", "--max-steps", "3", "--input", input.string(), file.string()}, {},
               dir.path().string());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");

  const std::string key = px::KeyName(kLeftKey) + " Key";
  const auto frame = [](const std::string& n) {
    return Entry(" Step Event", "step " + n) + Entry("End Step Event", "end step " + n) +
           Entry("Draw Event", "draw " + n);
  };
  // The room is drawn once at its start, before the first step.
  const std::string expected =
      Entry("Draw Event", "draw 0") + Entry("Begin Step Event", "begin step 1") + frame("1") +
      Entry("Begin Step Event", "begin step 2") + Entry("Alarm Event for alarm 0", "alarm 0 2") +
      Entry("Keyboard Event for " + key, "keyboard left 2") +
      Entry("Key Press Event for " + key, "press left 2") +
      Entry("Key Release Event for " + key, "release left 2") +
      Entry("Mouse Event for " + px::MouseEventName(kGlobalLeftButton), "global left button 2") +
      Entry("Mouse Event for " + px::MouseEventName(kGlobalLeftPressed), "global left pressed 2") +
      frame("2") + Entry("Begin Step Event", "begin step 3") + frame("3");
  EXPECT_EQ(ReadFile(dir / "game_errors.log"), expected);
}
