// Headless back end: no window and no audio device. Time is a virtual
// microsecond counter that moves only when the runner waits, so the same game
// with the same input always runs the same way. Every dialog writes its text
// to the output stream and takes its default answer. The clipboard is a
// string of the process's own. No key, mouse or joystick input comes in but
// the keys the game injects itself; the mouse stays where it was last put.
#include <algorithm>
#include <chrono>
#include <iterator>
#include <ostream>

#include "base/BM32_Bitmap.h"
#include "platform/Platform.h"
#include "platform/Platform_Audio.h"
#include "platform/Platform_GameWindow.h"
#include "platform/Platform_Input.h"

namespace px {
namespace {

class HeadlessWindow final : public Window {
 public:
  void setBounds(int, int, int, int) override {}
  void show() override { visible_ = true; }
  void hide() override { visible_ = false; }
  bool visible() const override { return visible_; }
  void setOpacity(std::uint8_t) override {}
  void present(const TBitmap32&) override {}

 private:
  bool visible_ = false;
};

class HeadlessPlatform final : public Platform {
 public:
  explicit HeadlessPlatform(std::ostream& out)
      : out_(out),
        startUnixMicros_(std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count()) {}

  bool headless() const override { return true; }
  std::int64_t nowMicros() override { return clock_; }
  void waitMicros(std::int64_t micros) override {
    if (micros > 0) clock_ += micros;
  }
  std::uint64_t highResolutionCounter() override { return static_cast<std::uint64_t>(clock_); }
  std::int64_t unixTimeMicros() override { return startUnixMicros_ + clock_; }
  void pumpEvents() override {
    // A sink may inject more keys while it handles one: those wait for the
    // next call.
    std::vector<InputEvent> events;
    events.swap(injected_);
    for (const InputEvent& e : events)
      if (sink_) sink_(e);
  }
  void setInputSink(InputSink sink) override { sink_ = std::move(sink); }
  void injectKey(int vk, bool down) override {
    InputEvent e;
    e.kind = down ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
    e.code = vk;
    injected_.push_back(e);
  }
  bool keyDown(int) override { return false; }
  bool numLock() override { return numLock_; }
  void setNumLock(bool on) override { numLock_ = on; }
  std::optional<JoystickReading> readJoystick(int) override { return std::nullopt; }
  bool quitRequested() const override { return false; }
  void allowScreenSaver(bool) override {}
  Size screenSize() const override { return {mode_.width, mode_.height}; }
  std::unique_ptr<Window> createWindow(const WindowOptions&) override {
    return std::make_unique<HeadlessWindow>();
  }
  std::unique_ptr<GameWindow> createGameWindow(const WindowOptions& options) override {
    return CreateOffscreenGameWindow(options);
  }
  DisplayMode displayMode() const override { return mode_; }
  // The virtual screen offers the usual sizes at 16 and 32 bits and the
  // usual refresh rates.
  bool changeDisplayMode(const DisplayMode& request, bool testOnly) override {
    DisplayMode want = mode_;
    if (request.width > 0) want.width = request.width;
    if (request.height > 0) want.height = request.height;
    if (request.bitsPerPixel > 0) want.bitsPerPixel = request.bitsPerPixel;
    if (request.frequency > 0) want.frequency = request.frequency;
    static constexpr Size kSizes[] = {{320, 240},  {640, 480},   {800, 600},
                                      {1024, 768}, {1280, 720},  {1280, 1024},
                                      {1366, 768}, {1600, 1200}, {1920, 1080}};
    static constexpr int kRates[] = {60, 70, 75, 85, 100, 120};
    const bool sizeOk = std::find(std::begin(kSizes), std::end(kSizes),
                                  Size{want.width, want.height}) != std::end(kSizes);
    const bool depthOk = want.bitsPerPixel == 16 || want.bitsPerPixel == 32;
    const bool rateOk =
        std::find(std::begin(kRates), std::end(kRates), want.frequency) != std::end(kRates);
    if (!sizeOk || !depthOk || !rateOk) return false;
    if (!testOnly) mode_ = want;
    return true;
  }
  void restoreDisplayMode() override { mode_ = kDesktopMode; }
  Point mousePosition() const override { return mouse_; }
  void setMousePosition(Point p) override { mouse_ = p; }
  Answer messageBox(std::string_view text, std::string_view, Buttons buttons,
                    MessageIcon) override {
    out_ << NormalizeLineEnds(text) << '\n';
    out_.flush();
    return DefaultAnswer(buttons);
  }
  int choiceBox(std::string_view text, std::string_view, std::span<const std::string_view>,
                int defaultButton) override {
    out_ << NormalizeLineEnds(text) << '\n';
    out_.flush();
    return defaultButton;
  }
  // As on the desktop, an empty text leaves no text on the clipboard.
  bool hasClipboardText() override { return !clipboard_.empty(); }
  std::string clipboardText() override { return clipboard_; }
  void setClipboardText(std::string_view text) override { clipboard_ = text; }
  void setProgramPriority(int) override {}
  bool startProgram(const std::vector<std::string>& argv, bool) override {
    out_ << "Starting:";
    for (const std::string& word : argv) out_ << ' ' << word;
    out_ << '\n';
    out_.flush();
    return true;
  }
  std::unique_ptr<AudioDevice> openAudio(AudioSource& source) override {
    return CreateNullAudioDevice(*this, source);
  }

 private:
  std::ostream& out_;
  std::int64_t clock_ = 0;
  std::int64_t startUnixMicros_;
  std::string clipboard_;
  static constexpr DisplayMode kDesktopMode{1920, 1080, 32, 60};
  DisplayMode mode_ = kDesktopMode;
  Point mouse_;
  InputSink sink_;
  std::vector<InputEvent> injected_;
  bool numLock_ = false;
};

}  // namespace

std::unique_ptr<Platform> CreateHeadlessPlatform(std::ostream& out) {
  return std::make_unique<HeadlessPlatform>(out);
}

}  // namespace px
