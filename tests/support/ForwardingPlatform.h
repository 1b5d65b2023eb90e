// A platform that passes every call to another one, for test platforms
// that change one or two services of the headless back end.
#pragma once

#include <memory>

#include "platform/Platform.h"
#include "platform/Platform_Audio.h"
#include "platform/Platform_GameWindow.h"

namespace pxtest {

class ForwardingPlatform : public px::Platform {
 public:
  explicit ForwardingPlatform(std::unique_ptr<px::Platform> inner) : inner_(std::move(inner)) {}

  bool headless() const override { return inner_->headless(); }
  std::int64_t nowMicros() override { return inner_->nowMicros(); }
  void waitMicros(std::int64_t micros) override { inner_->waitMicros(micros); }
  std::uint64_t highResolutionCounter() override { return inner_->highResolutionCounter(); }
  std::int64_t unixTimeMicros() override { return inner_->unixTimeMicros(); }
  void pumpEvents() override { inner_->pumpEvents(); }
  void setInputSink(px::InputSink sink) override { inner_->setInputSink(std::move(sink)); }
  void injectKey(int vk, bool down) override { inner_->injectKey(vk, down); }
  bool keyDown(int vk) override { return inner_->keyDown(vk); }
  bool numLock() override { return inner_->numLock(); }
  void setNumLock(bool on) override { inner_->setNumLock(on); }
  std::optional<px::JoystickReading> readJoystick(int index) override {
    return inner_->readJoystick(index);
  }
  bool quitRequested() const override { return inner_->quitRequested(); }
  void allowScreenSaver(bool allowed) override { inner_->allowScreenSaver(allowed); }
  px::Size screenSize() const override { return inner_->screenSize(); }
  std::unique_ptr<px::Window> createWindow(const px::WindowOptions& options) override {
    return inner_->createWindow(options);
  }
  px::Answer messageBox(std::string_view text, std::string_view caption, px::Buttons buttons,
                        px::MessageIcon icon) override {
    return inner_->messageBox(text, caption, buttons, icon);
  }
  int choiceBox(std::string_view text, std::string_view caption,
                std::span<const std::string_view> buttons, int defaultButton) override {
    return inner_->choiceBox(text, caption, buttons, defaultButton);
  }
  bool hasClipboardText() override { return inner_->hasClipboardText(); }
  std::string clipboardText() override { return inner_->clipboardText(); }
  void setClipboardText(std::string_view text) override { inner_->setClipboardText(text); }
  void setProgramPriority(int level) override { inner_->setProgramPriority(level); }
  bool startProgram(const std::vector<std::string>& argv, bool wait) override {
    return inner_->startProgram(argv, wait);
  }
  std::unique_ptr<px::AudioDevice> openAudio(px::AudioSource& source) override {
    return inner_->openAudio(source);
  }
  std::unique_ptr<px::GameWindow> createGameWindow(const px::WindowOptions& options) override {
    return inner_->createGameWindow(options);
  }
  px::DisplayMode displayMode() const override { return inner_->displayMode(); }
  bool changeDisplayMode(const px::DisplayMode& request, bool testOnly) override {
    return inner_->changeDisplayMode(request, testOnly);
  }
  void restoreDisplayMode() override { inner_->restoreDisplayMode(); }
  px::Point mousePosition() const override { return inner_->mousePosition(); }
  void setMousePosition(px::Point p) override { inner_->setMousePosition(p); }

 private:
  std::unique_ptr<px::Platform> inner_;
};

}  // namespace pxtest
