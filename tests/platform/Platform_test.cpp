#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <sstream>
#include <string>

#include "graphics/BM32_Bitmap.h"
#include "platform/Platform_Audio.h"
#include "runner/Option_Main.h"
#include "runner/Runner_LoadForm.h"
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
