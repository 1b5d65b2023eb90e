#include "platform/Platform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <sstream>
#include <string>

#include "base/BM32_Bitmap.h"
#include "platform/Platform_Audio.h"
#include "resources/Option_Main.h"
#include "run/IO_Main.h"
#include "run/Runner_LoadForm.h"
#include "support/DummyAudio.h"

using namespace px;

TEST(Platform, LineEndsAreNormalised) {
  EXPECT_EQ(NormalizeLineEnds("a\r\nb\rc\nd\r"), "a\nb\nc\nd\n");
  EXPECT_EQ(NormalizeLineEnds("\r\r\n"), "\n\n");
}

TEST(Platform, DefaultAnswers) {
  const std::pair<Buttons, Answer> cases[] = {
      {Buttons::Ok, Answer::Ok},
      {Buttons::OkCancel, Answer::Ok},
      {Buttons::YesNo, Answer::Yes},
      {Buttons::YesNoCancel, Answer::Yes},
      {Buttons::RetryCancel, Answer::Retry},
      {Buttons::AbortRetryIgnore, Answer::Ignore},
  };
  for (auto [buttons, answer] : cases) EXPECT_EQ(DefaultAnswer(buttons), answer);
}

TEST(Platform, HeadlessPrintsDialogsAndKeepsVirtualTime) {
  std::ostringstream out;
  auto platform = CreateHeadlessPlatform(out);
  EXPECT_TRUE(platform->headless());
  EXPECT_EQ(platform->messageBox("Line one\r\nLine two", "Caption", Buttons::AbortRetryIgnore,
                                 MessageIcon::Error),
            Answer::Ignore);
  EXPECT_EQ(out.str(), "Line one\nLine two\n");
  EXPECT_EQ(platform->nowMicros(), 0);
  platform->waitMicros(33333);
  platform->waitMicros(-5);
  EXPECT_EQ(platform->nowMicros(), 33333);
}

// SDL's dummy video driver for the life of the object: real SDL windows and
// the software renderer, without a display or a graphics driver.
struct DummyVideo {
  DummyVideo() {
    const char* old = std::getenv("SDL_VIDEODRIVER");
    had = old != nullptr;
    if (had) saved = old;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
  }
  ~DummyVideo() { had ? setenv("SDL_VIDEODRIVER", saved.c_str(), 1) : unsetenv("SDL_VIDEODRIVER"); }
  std::string saved;
  bool had = false;
};

// The desktop back end on the dummy driver; skipped where SDL cannot start.
class DesktopPlatform : public testing::Test {
 protected:
  void SetUp() override {
    try {
      platform = CreateDesktopPlatform();
    } catch (const PlatformError& e) {
      GTEST_SKIP() << e.what();
    }
  }
  DummyVideo video;
  std::unique_ptr<Platform> platform;
};

TEST_F(DesktopPlatform, ShowsTheLoadingWindow) {
  EXPECT_FALSE(platform->headless());
  const std::int64_t before = platform->nowMicros();
  platform->waitMicros(2000);
  EXPECT_GE(platform->nowMicros() - before, 2000);

  TLoadForm form(*platform);
  GameSettings settings;
  TBitmap32 image;
  image.SetSizeFilled(120, 50, 0xFF336699);
  settings.loadingImage = image;
  settings.loadingTransparent = true;  // shaped windows may be missing: must still work
  settings.loadingAlpha = 200;
  form.SetUp(settings, true);
  EXPECT_TRUE(form.shown());
  form.ShowProgress(50, "Loading sprites");
  platform->allowScreenSaver(true);
  platform->pumpEvents();
  EXPECT_FALSE(platform->quitRequested());
  form.Close();
}

// A source that counts the frames pulled from it.
class CountingSource final : public AudioSource {
 public:
  std::atomic<std::int64_t> frames{0};
  void render(float* out, int n) override {
    std::fill(out, out + 2 * n, 0.0f);
    frames += n;
  }
};

TEST_F(DesktopPlatform, SoundCardPullsFromItsOwnThread) {
  pxtest::DummyAudio driver;
  CountingSource source;
  auto device = platform->openAudio(source);
  if (!device) GTEST_SKIP() << "no audio driver";
  EXPECT_TRUE(device->audible());
  EXPECT_EQ(device->sampleRate(), kAudioRate);
  for (int i = 0; i < 200 && source.frames < 4096; ++i) platform->waitMicros(10000);
  EXPECT_GE(source.frames, 4096);
  device.reset();  // stops pulling before the source goes
}

TEST(Platform, NullSinkRendersAsTheVirtualClockMoves) {
  std::ostringstream out;
  auto platform = CreateHeadlessPlatform(out);
  platform->waitMicros(5000);  // before opening: not due
  CountingSource source;
  auto device = platform->openAudio(source);
  EXPECT_FALSE(device->audible());
  device->keepFrames(true);
  device->pump();
  EXPECT_EQ(source.frames, 0);
  platform->waitMicros(250000);
  device->pump();
  EXPECT_EQ(source.frames, kAudioRate / 4);
  EXPECT_EQ(device->keptFrames().size(), 2u * kAudioRate / 4);
  platform->waitMicros(10);  // less than a frame
  device->pump();
  EXPECT_EQ(source.frames, kAudioRate / 4);
}

// Headless, the clipboard belongs to the process and the clocks are
// virtual: the counter is the virtual clock, wall time moves with it.
TEST(Platform, HeadlessClipboardAndClocks) {
  std::ostringstream out;
  auto platform = CreateHeadlessPlatform(out);
  EXPECT_FALSE(platform->hasClipboardText());
  EXPECT_EQ(platform->clipboardText(), "");
  platform->setClipboardText("caf\xE9\r\nline");
  EXPECT_TRUE(platform->hasClipboardText());
  EXPECT_EQ(platform->clipboardText(), "caf\xE9\r\nline");
  platform->setClipboardText("");
  EXPECT_FALSE(platform->hasClipboardText());

  const std::int64_t wall = platform->unixTimeMicros();
  EXPECT_EQ(platform->highResolutionCounter(), 0u);
  platform->waitMicros(1500);
  EXPECT_EQ(platform->highResolutionCounter(), 1500u);
  EXPECT_EQ(platform->unixTimeMicros(), wall + 1500);
  platform->setProgramPriority(3);
}

// The desktop clipboard speaks UTF-8; game text goes in and comes back as
// the same code-page bytes.
TEST_F(DesktopPlatform, ClipboardKeepsCodePageText) {
  const std::string text = "caf\xE9 \x80 \x9F";
  platform->setClipboardText(text);
  EXPECT_TRUE(platform->hasClipboardText());
  EXPECT_EQ(platform->clipboardText(), text);
}

namespace {

// What reached an input sink, one short text per event.
struct InputLog {
  std::vector<std::string> events;
  InputSink sink() {
    return [this](const InputEvent& e) {
      static constexpr const char* kNames[] = {"keydown", "keyup",     "char",
                                               "move",    "mousedown", "mouseup",
                                               "wheelup", "wheeldown", "close"};
      std::string text = kNames[static_cast<int>(e.kind)];
      text += " " + std::to_string(e.code);
      if (e.kind == InputEvent::Kind::MouseMove)
        text += " " + std::to_string(e.x) + "," + std::to_string(e.y);
      events.push_back(text);
    };
  }
};

SDL_Event Key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.scancode = scancode;
  e.key.keysym.sym = sym;
  return e;
}

}  // namespace

TEST_F(DesktopPlatform, WindowInputReachesTheSinkAsVirtualKeys) {
  InputLog log;
  platform->setInputSink(log.sink());
  std::vector<SDL_Event> events;
  events.push_back(Key(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a));
  events.push_back(Key(SDL_KEYUP, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT));
  events.push_back(Key(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE));
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  std::snprintf(text.text.text, sizeof text.text.text, "%s", "x\xC3\xA9");  // x, e acute
  events.push_back(text);
  SDL_Event move{};
  move.type = SDL_MOUSEMOTION;
  move.motion.x = 12;
  move.motion.y = 34;
  events.push_back(move);
  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.button = SDL_BUTTON_RIGHT;
  events.push_back(button);
  button.button.button = SDL_BUTTON_X1;  // no such button for games
  events.push_back(button);
  button.type = SDL_MOUSEBUTTONUP;
  button.button.button = SDL_BUTTON_MIDDLE;
  events.push_back(button);
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.y = 1;
  events.push_back(wheel);
  wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  events.push_back(wheel);
  for (SDL_Event& e : events) ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
  platform->injectKey(144, true);
  platform->pumpEvents();

  const std::vector<std::string> want = {"keydown 65", "keyup 16",  "keydown 8",    "char 8",
                                         "char 120",   "char 233",  "move 0 12,34", "mousedown 2",
                                         "mouseup 3",  "wheelup 0", "wheeldown 0",  "keydown 144"};
  EXPECT_EQ(log.events, want);

  log.events.clear();
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  platform->pumpEvents();
  EXPECT_EQ(log.events, std::vector<std::string>{"close 0"});
  EXPECT_TRUE(platform->quitRequested());

  platform->setInputSink(nullptr);
  SDL_PushEvent(&events[0]);
  platform->pumpEvents();  // nobody listens: dropped
  EXPECT_EQ(log.events.size(), 1u);
}

TEST_F(DesktopPlatform, VirtualJoystickReadsInTheRunnersRanges) {
  EXPECT_FALSE(platform->readJoystick(0).has_value());
  const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 3, 1);
  if (device < 0) GTEST_SKIP() << SDL_GetError();
  SDL_Joystick* stick = SDL_JoystickOpen(device);
  ASSERT_NE(stick, nullptr);
  SDL_JoystickSetVirtualAxis(stick, 0, -32768);
  SDL_JoystickSetVirtualAxis(stick, 1, 32767);
  SDL_JoystickSetVirtualButton(stick, 0, 1);
  SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_LEFT);

  const auto r = platform->readJoystick(0);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->axes[0], 0);
  EXPECT_EQ(r->axes[1], 65535);
  EXPECT_EQ(r->buttons & 1u, 1u);
  EXPECT_TRUE(r->hasPov);
  EXPECT_EQ(r->pov, 27000);
  EXPECT_FALSE(platform->readJoystick(1).has_value());

  SDL_JoystickClose(stick);
  SDL_JoystickDetachVirtual(device);
  EXPECT_FALSE(platform->readJoystick(0).has_value());
}
