// pxrun --screenshot: a game steered by replayed keys is played headless and
// its last frame, written as PNG, shows where the player went.
#include <gtest/gtest.h>

#include <string>

#include "base/BM32_Bitmap.h"
#include "platform/Platform_Picture.h"
#include "run/Runner_Load.h"
#include "support/TestSupport.h"
#include "system/File_TestSupport.h"
#include "world/World_TestSupport.h"

using namespace pxtest;

namespace {

constexpr std::int32_t kRightKey = 39;

// A 32 × 24 red room with a player: a 4 × 4 lime square that moves 4 pixels
// right in every step the right key is held.
px::GameFile SquareGame() {
  px::GameFile game;
  game.settings.showErrors = false;
  px::GameResources& res = game.resources;
  px::CObject player;
  player.eventSlot(5, kRightKey).actions = {CodeAction("x += 4")};
  player.eventSlot(8, 0).actions = {
      CodeAction("draw_set_color(65280); draw_rectangle(x, y, x + 3, y + 3, 0)")};
  res.objects.add("obj_player", player);
  px::CRoom room;
  room.width = 32;
  room.height = 24;
  room.background_color = 0x0000FF;
  room.instances = {{.x = 2, .y = 10, .object = 0, .id = 100001, .creation_code = ""}};
  res.rooms.add("rm", room);
  res.roomOrder = {0};
  res.lastInstanceId = 100001;
  return game;
}

}  // namespace

TEST(PxrunScreenshot, TheLastFrameShowsThePlayerMovedByReplayedKeys) {
  ScratchDir dir;
  const auto file = dir / "square.pxg";
  WriteBytes(file, px::WriteGameFile(SquareGame()));
  const auto input = dir / "input.txt";
  // Right held during steps 2, 3 and 4.
  WriteText(input, "2 keydown 39\n5 keyup 39\n");
  const auto shot = dir / "last.png";
  const ProcessResult r = RunPxrun({"--headless", "--max-steps", "6", "--input", input.string(),
                                    "--screenshot", shot.string(), file.string()},
                                   {}, dir.path().string());
  ASSERT_EQ(r.exitCode, 0) << r.err;

  px::TBitmap32 image;
  ASSERT_TRUE(LoadPictureFile(image, shot.string()));
  EXPECT_EQ(image.width(), 32);
  EXPECT_EQ(image.height(), 24);
  const struct {
    int x, y;
    std::uint32_t colour;
  } cases[] = {
      {14, 10, 0xFF00FF00}, {17, 13, 0xFF00FF00},  // the square from x 2 + 3·4
      {13, 10, 0xFFFF0000}, {18, 10, 0xFFFF0000},  // the room on both sides
      {2, 10, 0xFFFF0000},                         // nothing left at the start
  };
  for (const auto& c : cases) EXPECT_EQ(image.GetPixel(c.x, c.y), c.colour) << c.x << "," << c.y;
}

// The demo replayed headless: the square catches the ball seven times, and
// the last frame is the picture the README shows.
TEST(PxrunScreenshot, TheDemoReplayReachesItsScoreAndPicture) {
  ScratchDir dir;
  const std::string demo = PXRUN_SOURCE_DIR "/games/demo";
  const auto game = (dir / "demo.pxg").string();
  const ProcessResult pack = RunProgram(PXPACK_BINARY, {demo, "-o", game});
  ASSERT_EQ(pack.exitCode, 0) << pack.err;
  const auto shot = dir / "demo.png";
  const ProcessResult r = RunPxrun({"--headless", "--max-steps", "600", "--input",
                                    demo + "/replay.txt", "--screenshot", shot.string(), game},
                                   {}, dir.path().string());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(dir / "demo.log"), "Hello from the demo in pxrun demo\r\nScore 70\r\n");

  px::TBitmap32 image, expected;
  ASSERT_TRUE(LoadPictureFile(image, shot.string()));
  ASSERT_TRUE(LoadPictureFile(expected, PXRUN_SOURCE_DIR "/docs/demo.png"));
  ASSERT_EQ(image.width(), expected.width());
  ASSERT_EQ(image.height(), expected.height());
  int differing = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.GetPixel(x, y) != expected.GetPixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
}

TEST(PxrunScreenshot, AnUnwritableFileIsRefusedBeforeTheGameStarts) {
  ScratchDir dir;
  const auto file = dir / "square.pxg";
  WriteBytes(file, px::WriteGameFile(SquareGame()));
  const std::string shot = (dir / "missing" / "last.png").string();
  const ProcessResult r =
      RunPxrun({"--headless", "--max-steps", "1", "--screenshot", shot, file.string()}, {},
               dir.path().string());
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "pxrun: " + shot + ": cannot write it (No such file or directory)\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}
