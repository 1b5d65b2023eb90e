// The message window and the highscore window as the runner draws them in
// the game window, read back by pixels, and the message window's layout.
#include "run/Dialog_Window.h"

#include <gtest/gtest.h>

#include "graphics/Graphics_TestSupport.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::Near;
using pxtest::Real;

// A headless run whose game window is w × h, cleared to black.
struct WindowRun : pxtest::TestRun {
  WindowRun(int w, int h) {
    rt.display.SetRegionSize(w, h, true);
    GameWindow* window = rt.display.window();
    if (!window || !rt.display.device.Create(*window, w, h, false, "test"))
      ADD_FAILURE() << "no device: " << out.str();
    rt.display.device.BeginFrame();
    rt.display.device.SetViewport(0, 0, w, h);
    rt.display.device.SetProjection2D(0, 0, w, h, 0);
    rt.display.device.ClearTarget(0, 1);
  }
  std::uint32_t Pixel(int x, int y) {
    const auto image = rt.display.device.ReadBackBuffer(x, y, 1, 1);
    return image ? image->GetPixel(0, 0) : 0xDEADBEEF;
  }
  // How many pixels of the box are near the colour.
  int Count(const Rect& r, std::uint32_t argb) {
    const auto image = rt.display.device.ReadBackBuffer(r.x, r.y, r.width, r.height);
    int n = 0;
    for (int y = 0; image && y < image->height(); ++y)
      for (int x = 0; x < image->width(); ++x) n += Near(image->GetPixel(x, y), argb, 24) ? 1 : 0;
    return n;
  }
};

TEST(MessageWindow, LayoutFollowsTheSettings) {
  MessageSettings s;
  const Size screen{800, 600};
  // Automatic size: the picture's width, text + button + 48 high.
  MessageLayout l = LayoutMessage(s, {320, 140}, 30, {80, 25}, 20, false, screen);
  EXPECT_EQ(l.window, (Rect{240, 248, 320, 103}));
  EXPECT_EQ(l.label, (Rect{24, 16, 272, 30}));
  EXPECT_EQ(l.buttons[0], (Rect{24, 62, 80, 25}));
  EXPECT_EQ(l.buttons[1], (Rect{120, 62, 80, 25}));
  EXPECT_EQ(l.buttons[2], (Rect{216, 62, 80, 25}));
  // The input line adds its height and 16; it sits 16 above the buttons.
  l = LayoutMessage(s, {320, 140}, 30, {80, 25}, 20, true, screen);
  EXPECT_EQ(l.window.height, 139);
  EXPECT_EQ(l.input, (Rect{24, 62, 272, 20}));
  EXPECT_EQ(l.buttons[0].y, 98);
  // Settings of size and place win.
  s.width = 400;
  s.height = 150;
  s.left = 5;
  s.top = 0;
  l = LayoutMessage(s, {320, 140}, 30, {60, 20}, 20, false, screen);
  EXPECT_EQ(l.window, (Rect{5, 0, 400, 150}));
  EXPECT_EQ(l.buttons[2], (Rect{316, 114, 60, 20}));
  EXPECT_EQ(l.label.width, 352);
}

// A window of fixed size 320 × 200 in a 400 × 300 game window: at (40, 50),
// buttons 25 high at top 159, the input line above them.
struct FixedMessage : ::testing::Test {
  WindowRun run{400, 300};
  MessageRequest request;
  FixedMessage() {
    Call(run, "message_size", {Real(320), Real(200)});
    request.text = "Hello";
    request.buttons = {"&Yes", "", "&No"};
  }
  void Draw(const MessageView& view = {}) {
    WindowArt art(run.rt);
    DrawMessageWindow(run.rt, art, request, view);
  }
  // A spot on a button's face, clear of its text.
  std::uint32_t Face(int button) {
    const int x = button == 1 ? 64 : button == 2 ? 160 : 256;
    return run.Pixel(x + 5, 50 + 159 + 12);
  }
};

TEST_F(FixedMessage, ButtonsShowTheirStatesAndHiddenOnesAreAbsent) {
  Draw();
  EXPECT_TRUE(Near(Face(1), 0xFF3C4658, 8));
  EXPECT_TRUE(Near(Face(3), 0xFF3C4658, 8));
  EXPECT_FALSE(Near(Face(2), 0xFF3C4658, 8));  // the middle button is hidden
  EXPECT_EQ(run.Pixel(20, 20), 0xFF000000u);   // outside the window
  EXPECT_NE(run.Pixel(45, 60), 0xFF000000u);   // the window's picture
  // Text in white on the label, bold white captions on the buttons.
  EXPECT_GT(run.Count({64, 66, 200, 20}, 0xFFFFFFFF), 4);
  EXPECT_GT(run.Count({64 + 20, 209 + 4, 40, 17}, 0xFFFFFFFF), 4);
  Draw({3, false, ""});
  EXPECT_TRUE(Near(Face(3), 0xFF56647C, 8));
  EXPECT_TRUE(Near(Face(1), 0xFF3C4658, 8));
  // Under the mouse the caption takes the mouse colour (yellow).
  EXPECT_GT(run.Count({256 + 20, 209 + 4, 40, 17}, 0xFFFFFF00), 4);
  Draw({3, true, ""});
  EXPECT_TRUE(Near(Face(3), 0xFF283040, 8));
}

TEST_F(FixedMessage, InputLineAndOwnPictures) {
  request.buttons = {"", "OK", ""};
  request.input = true;
  Draw({0, false, "abc"});
  // The input line's right end, clear of its text, in its colour.
  EXPECT_TRUE(Near(run.Pixel(40 + 296 - 4, 50 + 159 - 16 - 3), 0xFF3C3C3C, 2));
  EXPECT_TRUE(Near(Face(2), 0xFF3C4658, 8));
  EXPECT_GT(run.Count({64, 50 + 100, 30, 43}, 0xFFFFFFFF), 4);

  // A blue background and a sprite of a red and a green image: the pressed
  // image repeats the green one.
  const int back =
      pxtest::AddBackground(run.rt, pxtest::MakeImage(8, 8, [](int, int) { return 0xFF0000FFu; }));
  const int sprite =
      pxtest::AddSprite(run.rt, {pxtest::MakeImage(8, 8, [](int, int) { return 0xFFFF0000u; }),
                                 pxtest::MakeImage(8, 8, [](int, int) { return 0xFF00FF00u; })});
  Call(run, "message_background", {Real(back)});
  Call(run, "message_button", {Real(sprite)});
  Draw({2, true, ""});
  EXPECT_EQ(run.Pixel(45, 60), 0xFF0000FFu);
  EXPECT_TRUE(Near(Face(2), 0xFF00FF00, 2));
  Draw({0, false, ""});
  EXPECT_TRUE(Near(Face(2), 0xFFFF0000, 2));
  // Half opacity over black.
  Call(run, "message_alpha", {Real(0.5)});
  run.rt.display.device.ClearTarget(0, 1);
  Draw();
  EXPECT_TRUE(Near(run.Pixel(45, 60), 0xFF000080, 2));
}

// A picture whose bottom-left pixel is fully transparent leaves the window
// see-through wherever the picture has that pixel's colour.
TEST_F(FixedMessage, TransparentCornerKeysThePicture) {
  const int back = pxtest::AddBackground(run.rt, pxtest::MakeImage(8, 8, [](int x, int y) {
                                           if (x == 0 && y == 7) return 0x00FF0000u;
                                           return x < 4 && y < 4 ? 0xFFFF0000u : 0xFF0000FFu;
                                         }));
  Call(run, "message_background", {Real(back)});
  Draw();
  EXPECT_EQ(run.Pixel(100, 88), 0xFF000000u);  // the red quarter is keyed out
  EXPECT_EQ(run.Pixel(300, 200), 0xFF0000FFu);
}

TEST(HighscoreWindow, RowsColoursAndBorder) {
  WindowRun run(400, 440);
  pxtest::ScratchDir dir;
  run.rt.files.registry.useDatabase((dir / "registry.sqlite").string());
  InsertScore(run.rt, {"Ann", 900});
  const ScoreTable table = ReadScores(run.rt);
  {
    WindowArt art(run.rt);
    DrawHighscoreWindow(run.rt, art, table, 2, "Bo");
  }
  // The window at (20, 20) in its colour, the caption bar above it.
  EXPECT_TRUE(Near(run.Pixel(20 + 350, 20 + 10), 0xFFFFFBF0, 2));
  EXPECT_TRUE(Near(run.Pixel(20 + 300, 17), 0xFF3C5A6E, 2));
  // Rank 2 (top 80) is the new entry, in red; rank 1 (top 48) in black.
  const Rect row1{20 + 8, 20 + 48, 330, 25}, row2{20 + 8, 20 + 80, 330, 25};
  EXPECT_GT(run.Count(row2, 0xFFFF0000), 10);
  EXPECT_EQ(run.Count(row1, 0xFFFF0000), 0);
  EXPECT_GT(run.Count(row1, 0xFF000000), 10);
  // The close text at (112, 376).
  EXPECT_GT(run.Count({20 + 112, 20 + 376, 150, 20}, 0xFF000000), 10);

  Call(run, "highscore_set_border", {Real(0)});
  Call(run, "highscore_set_colors", {Real(0x00FF00), Real(0xFF0000), Real(0)});
  run.rt.display.device.ClearTarget(0, 1);
  {
    WindowArt art(run.rt);
    DrawHighscoreWindow(run.rt, art, table, 2, "Bo");
  }
  EXPECT_EQ(run.Pixel(20 + 300, 17), 0xFF000000u);
  EXPECT_TRUE(Near(run.Pixel(20 + 350, 20 + 10), 0xFF00FF00, 2));
  EXPECT_GT(run.Count(row2, 0xFF0000FF), 10);
}

}  // namespace

namespace {

// The windows' own loop, driven by keys the platform delivers: each window
// closes on its key with its answer, the game's frame is back afterwards,
// and window events reach the game's input again.
TEST(ModalWindows, KeysCloseThemAndTheGameGetsItsInputBack) {
  WindowRun run(400, 300);
  pxtest::ScratchDir dir;
  run.rt.files.registry.useDatabase((dir / "registry.sqlite").string());
  const Rect game{1, 1, 398, 298};
  run.rt.display.draw.Rectangle(0, 0, 400, 300, 0xFF204060, 0xFF204060, 0xFF204060, 0xFF204060,
                                false);
  const std::uint32_t before = run.Pixel(200, 150);
  Platform& platform = *run.platform;

  MessageRequest request;
  request.text = "Save?";
  request.buttons = {"&Yes", "&Later", "&No"};
  const struct {
    int key;
    int button;
  } keys[] = {{13, 1}, {27, 0}};
  for (const auto& k : keys) {
    platform.injectKey(k.key, true);
    EXPECT_EQ(RunMessageWindow(run.rt, request).button, k.button) << k.key;
  }
  // Alt with a shortcut's key.
  platform.injectKey(18, true);
  platform.injectKey('N', true);
  EXPECT_EQ(RunMessageWindow(run.rt, request).button, 3);
  platform.injectKey(18, false);
  platform.pumpEvents();

  // The input line keeps its preset when closed at once.
  MessageRequest input;
  input.text = "Name?";
  input.buttons = {"", "OK", ""};
  input.input = true;
  input.inputText = "Ann";
  platform.injectKey(13, true);
  const MessageResult typed = RunMessageWindow(run.rt, input);
  EXPECT_EQ(typed.button, 2);
  EXPECT_EQ(typed.input, "Ann");

  // Down twice skips the separator and lands on the second item.
  const std::vector<MenuItem> items = ParseMenu("New|-|Open|Quit");
  for (const int key : {40, 40, 13}) platform.injectKey(key, true);
  EXPECT_EQ(RunMenuWindow(run.rt, items, {10, 10}), 1);
  platform.injectKey(27, true);
  EXPECT_EQ(RunMenuWindow(run.rt, items, {10, 10}), std::nullopt);

  platform.injectKey(13, true);
  EXPECT_EQ(RunHighscoreWindow(run.rt, ReadScores(run.rt), 1), "");

  EXPECT_EQ(run.Pixel(200, 150), before);
  EXPECT_EQ(run.Count(game, before), 398 * 298);
  // Events reach the game again.
  platform.injectKey('A', true);
  platform.pumpEvents();
  EXPECT_TRUE(run.rt.input.held['A']);
}

}  // namespace

namespace {

// The error window's kind: the end of a long text in its box, buttons
// chosen by Enter, shortcuts with and without Alt, and Escape.
TEST(ChoiceWindows, ShowTheTextsEndAndAnswerKeys) {
  WindowRun run(520, 400);
  ChoiceWindow w;
  w.caption = "Error Messages";
  for (int i = 0; i < 60; ++i) w.text += "line " + std::to_string(i) + "\r\n";
  w.text += std::string(300, 'W');
  w.buttons = {"&Abort", "&Ignore", "&Copy", "C&lear"};
  {
    WindowArt art(run.rt);
    DrawChoiceWindow(run.rt, art, w, -1, false);
  }
  // The client area (499 × 361 at (10, 19)): the box is white where no text
  // is, its last line (the long one, cut at the box) is drawn at its bottom.
  const Rect memo{18, 27, 483, 312};
  EXPECT_TRUE(Near(run.Pixel(memo.x + memo.width - 3, memo.y + 3), 0xFFFFFFFF, 2));
  EXPECT_GT(run.Count({memo.x + 4, memo.y + memo.height - 30, memo.width - 8, 28}, 0xFF000000),
            100);
  EXPECT_EQ(run.Count({memo.x + memo.width, memo.y, 8, memo.height}, 0xFF000000), 0);
  // Four buttons in a row under it.
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(Near(run.Pixel(18 + 88 * i + 5, 19 + 361 - 33 + 12), 0xFF3C4658, 8)) << i;

  Platform& platform = *run.platform;
  const struct {
    std::vector<int> keys;
    int chosen;
  } cases[] = {{{13}, 0}, {{27}, -1}, {{18, 'L'}, 3}, {{18, 'I'}, 1}};
  for (const auto& c : cases) {
    for (const int key : c.keys) platform.injectKey(key, true);
    EXPECT_EQ(RunChoiceWindow(run.rt, w), c.chosen) << c.keys.back();
    platform.injectKey(18, false);
    platform.pumpEvents();
  }
}

}  // namespace
