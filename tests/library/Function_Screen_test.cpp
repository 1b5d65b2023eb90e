// Sleeping on the display's clock and the screen and window actions:
// the cursor, full screen and snapshots.
#include <gtest/gtest.h>

#include <filesystem>

#include "graphics/Graphics_TestSupport.h"
#include "platform/Platform_Picture.h"
#include "run/IO_Main.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::CallReal;
using pxtest::Str;

TEST(Sleeping, TheClockMovesByTheMillisecondsAsked) {
  pxtest::TestRun run;
  const struct {
    const char* function;
    std::vector<double> args;
    std::int64_t micros;
  } cases[] = {
      {"sleep", {250}, 250000},
      {"sleep", {2.5}, 2000},  // rounded, halves to even
      {"sleep", {0}, 0},
      {"sleep", {-40}, 0},  //
      {"action_sleep", {30, 0}, 30000},
  };
  for (const auto& c : cases) {
    const std::int64_t t0 = run.rt.display.Now();
    pxtest::CallReals(run, c.function, c.args);
    const std::int64_t slept = run.rt.display.Now() - t0;
    EXPECT_GE(slept, c.micros) << c.function << " " << c.args[0];
    EXPECT_LT(slept, c.micros + 200) << c.function << " " << c.args[0];
  }
}

TEST(Sleeping, TheWindowKeepsHandlingItsMessages) {
  pxtest::TestRun run;
  run.platform->injectKey(65, true);
  CallReal(run, "sleep", {20});
  EXPECT_TRUE(run.rt.input.held[65]);
  EXPECT_EQ(run.rt.input.lastKey, 65);
}

TEST(ScreenActions, CursorSpriteAndSystemCursor) {
  pxtest::DeviceRun run;
  const struct {
    double sprite, show;
    int cursorBefore;
    int cursorAfter;
  } cases[] = {
      {3, 0, 0, -1},     // hidden
      {3, 0.4, -3, -1},  // a flag below one half hides too
      {-1, 1, -1, 0},    // shown again as the arrow
      {2, 0.5, -3, -3},  // a shape the game chose stays
      {2.5, 1, 0, 0},
  };
  for (const auto& c : cases) {
    run.rt.display.SetCursor(c.cursorBefore);
    CallReal(run, "action_set_cursor", {c.sprite, c.show});
    EXPECT_EQ(run.rt.rooms.cursorSprite, RealToInt(c.sprite)) << c.sprite;
    EXPECT_EQ(run.rt.display.cursor, c.cursorAfter) << c.sprite << " " << c.show;
    EXPECT_EQ(run.rt.settings.showCursor, c.show >= 0.5) << c.sprite;
  }
}

TEST(ScreenActions, FullScreenByMode) {
  pxtest::DeviceRun run;
  const struct {
    double mode;
    bool fullScreen;
  } steps[] = {{2, true},  {2, true},  {1, false},   {1, false}, {0, true},
               {3, false}, {-1, true}, {1.4, false}, {1.6, true}};
  for (const auto& s : steps) {
    CallReal(run, "action_fullscreen", {s.mode});
    EXPECT_EQ(run.rt.display.fullScreen, s.fullScreen) << s.mode;
  }
}

TEST(ScreenActions, SnapshotSavesTheScreenAsAnOpaquePng) {
  pxtest::DeviceRun run;
  pxtest::InScratchDir dir;
  run.rt.display.device.ClearTarget(0x3366CC, 0);  // transparent in the back buffer
  run.Fill(0, 0, 10, 10, 0x80FF0000);
  // A game path: Windows separators, a folder in other letter case.
  std::filesystem::create_directory(dir.path() / "Shots");
  Call(run, "action_snapshot", {Str("shots\\snap.png")});
  TBitmap32 image;
  ASSERT_TRUE(LoadPictureFile(image, (dir.path() / "Shots" / "snap.png").string()));
  ASSERT_EQ(image.width(), 64);
  ASSERT_EQ(image.height(), 48);
  EXPECT_EQ(image.GetPixel(30, 30), 0xFFCC6633u);
  EXPECT_EQ(image.GetPixel(0, 0) >> 24, 0xFFu);

  run.rt.settings.showErrors = false;
  const pxtest::ReportCase cases[] = {
      {"Trying to save screen to empty image file name.", "action_snapshot", {Str("")}},
      {"", "action_snapshot", {Str("no such folder\\snap.png")}},  // write errors are ignored
  };
  pxtest::ExpectReports(run, cases);
}

}  // namespace
