// Headless back end: no window and no audio device. Time is a virtual
// microsecond counter that moves only when the runner waits, so the same game
// with the same input always runs the same way. Every dialog writes its text
// to the output stream and takes its default answer. The clipboard is a
// string of the process's own.
#include <chrono>
#include <ostream>

#include "graphics/BM32_Bitmap.h"
#include "platform/Platform.h"
#include "platform/Platform_Audio.h"

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
  void pumpEvents() override {}
  bool quitRequested() const override { return false; }
  void allowScreenSaver(bool) override {}
  Size screenSize() const override { return {1920, 1080}; }
  std::unique_ptr<Window> createWindow(const WindowOptions&) override {
    return std::make_unique<HeadlessWindow>();
  }
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
};

}  // namespace

std::unique_ptr<Platform> CreateHeadlessPlatform(std::ostream& out) {
  return std::make_unique<HeadlessPlatform>(out);
}

}  // namespace px
