// Desktop back end on SDL2: real windows, the real clock, native message
// boxes (on standard error as well when no message box can be shown), the
// desktop's clipboard, the keyboard, the mouse and the joysticks.
#include <SDL.h>
#include <SDL_shape.h>

#include <chrono>
#include <iostream>
#include <thread>

#include "base/BM32_Bitmap.h"
#include "platform/Platform.h"
#include "platform/Platform_CodePage.h"
#include "platform/Platform_GameWindow.h"
#include "platform/Platform_Icon.h"
#include "platform/Platform_Input.h"
#include "platform/Platform_Keymap.h"
#include "platform/Platform_SDLAudio.h"
#include "platform/Platform_SDLEvents.h"

namespace px {
namespace {

struct SdlDeleter {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
  void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
template <class T>
using SdlPtr = std::unique_ptr<T, SdlDeleter>;

struct JoystickCloser {
  void operator()(SDL_Joystick* j) const { SDL_JoystickClose(j); }
  void operator()(SDL_GameController* c) const { SDL_GameControllerClose(c); }
};

// An opened joystick: a game controller (with the standard layout) or a
// plain joystick.
struct OpenJoystick {
  SDL_JoystickID id = -1;
  std::unique_ptr<SDL_GameController, JoystickCloser> controller;
  std::unique_ptr<SDL_Joystick, JoystickCloser> joystick;
};

JoystickReading ReadController(SDL_GameController* c) {
  JoystickReading r;
  if (const char* name = SDL_GameControllerName(c)) r.name = name;
  static constexpr SDL_GameControllerAxis kAxes[] = {
      SDL_CONTROLLER_AXIS_LEFTX,  SDL_CONTROLLER_AXIS_LEFTY,  SDL_CONTROLLER_AXIS_TRIGGERLEFT,
      SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERRIGHT};
  static constexpr SDL_GameControllerButton kButtons[] = {SDL_CONTROLLER_BUTTON_A,
                                                          SDL_CONTROLLER_BUTTON_B,
                                                          SDL_CONTROLLER_BUTTON_X,
                                                          SDL_CONTROLLER_BUTTON_Y,
                                                          SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                                                          SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                                                          SDL_CONTROLLER_BUTTON_BACK,
                                                          SDL_CONTROLLER_BUTTON_START,
                                                          SDL_CONTROLLER_BUTTON_LEFTSTICK,
                                                          SDL_CONTROLLER_BUTTON_RIGHTSTICK,
                                                          SDL_CONTROLLER_BUTTON_GUIDE};
  r.axisCount = 6;
  for (std::size_t i = 0; i < r.axes.size(); ++i)
    r.axes[i] = RawJoystickAxis(SDL_GameControllerGetAxis(c, kAxes[i]));
  r.buttonCount = static_cast<int>(std::size(kButtons));
  for (std::size_t i = 0; i < std::size(kButtons); ++i)
    if (SDL_GameControllerGetButton(c, kButtons[i])) r.buttons |= 1u << i;
  r.hasPov = true;
  std::uint8_t hat = SDL_HAT_CENTERED;
  if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_UP)) hat |= SDL_HAT_UP;
  if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) hat |= SDL_HAT_DOWN;
  if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) hat |= SDL_HAT_LEFT;
  if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) hat |= SDL_HAT_RIGHT;
  r.pov = HatDegrees(hat);
  return r;
}

JoystickReading ReadJoystick(SDL_Joystick* j) {
  JoystickReading r;
  if (const char* name = SDL_JoystickName(j)) r.name = name;
  r.axisCount = std::max(0, SDL_JoystickNumAxes(j));
  for (int i = 0; i < std::min<int>(r.axisCount, static_cast<int>(r.axes.size())); ++i)
    r.axes[static_cast<std::size_t>(i)] = RawJoystickAxis(SDL_JoystickGetAxis(j, i));
  r.buttonCount = std::max(0, SDL_JoystickNumButtons(j));
  for (int i = 0; i < std::min(r.buttonCount, 32); ++i)
    if (SDL_JoystickGetButton(j, i)) r.buttons |= 1u << i;
  r.hasPov = SDL_JoystickNumHats(j) > 0;
  if (r.hasPov) r.pov = HatDegrees(SDL_JoystickGetHat(j, 0));
  return r;
}

// The runner's button number of an SDL mouse button; 0 for the others.
int MouseButton(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return 1;
    case SDL_BUTTON_RIGHT:
      return 2;
    case SDL_BUTTON_MIDDLE:
      return 3;
    default:
      return 0;
  }
}

class SdlWindow final : public Window {
 public:
  explicit SdlWindow(const WindowOptions& options) : transparent_(options.transparentColor) {
    const Uint32 flags = SDL_WINDOW_HIDDEN | (options.borderless ? SDL_WINDOW_BORDERLESS : 0);
    const int w = std::max(1, options.width), h = std::max(1, options.height);
    if (transparent_)
      window_.reset(
          SDL_CreateShapedWindow(options.title.c_str(), options.x, options.y, w, h, flags));
    if (!window_) {
      transparent_.reset();  // no shaped windows here: show it square
      window_.reset(SDL_CreateWindow(options.title.c_str(), options.x, options.y, w, h, flags));
    }
    if (!window_) throw PlatformError(std::string("cannot create a window: ") + SDL_GetError());
    SetWindowIcon(window_.get());
    // These windows only show a finished image: the software renderer is
    // enough and keeps them independent of the graphics driver.
    renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE));
  }

  void setBounds(int x, int y, int width, int height) override {
    SDL_SetWindowPosition(window_.get(), x, y);
    SDL_SetWindowSize(window_.get(), std::max(1, width), std::max(1, height));
  }
  void show() override { SDL_ShowWindow(window_.get()); }
  void hide() override { SDL_HideWindow(window_.get()); }
  bool visible() const override {
    return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_SHOWN) != 0;
  }
  void setOpacity(std::uint8_t alpha) override {
    SDL_SetWindowOpacity(window_.get(), alpha / 255.0f);
  }

  void present(const TBitmap32& frame) override {
    if (!renderer_ || frame.empty()) return;
    if (!texture_ || textureSize_ != Size{frame.width(), frame.height()}) {
      texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_ARGB8888,
                                       SDL_TEXTUREACCESS_STREAMING, frame.width(), frame.height()));
      textureSize_ = {frame.width(), frame.height()};
    }
    if (!texture_) return;
    SDL_UpdateTexture(texture_.get(), nullptr, frame.pixels(), frame.width() * 4);
    SDL_RenderClear(renderer_.get());
    SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer_.get());
    if (transparent_) applyShape(frame);
  }

 private:
  void applyShape(const TBitmap32& frame) {
    SdlPtr<SDL_Surface> shape(SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(frame.pixels()), frame.width(), frame.height(), 32,
        frame.width() * 4, SDL_PIXELFORMAT_ARGB8888));
    if (!shape) return;
    SDL_WindowShapeMode mode;
    mode.mode = ShapeModeColorKey;
    mode.parameters.colorKey = {static_cast<Uint8>(*transparent_ >> 16),
                                static_cast<Uint8>(*transparent_ >> 8),
                                static_cast<Uint8>(*transparent_), 255};
    SDL_SetWindowShape(window_.get(), shape.get(), &mode);
  }

  SdlPtr<SDL_Window> window_;
  SdlPtr<SDL_Renderer> renderer_;
  SdlPtr<SDL_Texture> texture_;
  Size textureSize_;
  std::optional<std::uint32_t> transparent_;
};

class SdlPlatform final : public Platform {
 public:
  SdlPlatform() {
    // The runner installs its own handlers for termination signals.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing the game window is a request the game answers, not a quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0)
      throw PlatformError(std::string("cannot open the display: ") + SDL_GetError());
    start_ = std::chrono::steady_clock::now();
    injectedKeyEvent_ = SDL_RegisterEvents(1);
  }
  ~SdlPlatform() override {
    for (OpenJoystick& j : joysticks_) j = {};
    SDL_Quit();
  }

  bool headless() const override { return false; }

  std::int64_t nowMicros() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
  }
  void waitMicros(std::int64_t micros) override {
    if (micros > 0) std::this_thread::sleep_for(std::chrono::microseconds(micros));
  }
  std::uint64_t highResolutionCounter() override { return SDL_GetPerformanceCounter(); }
  std::int64_t unixTimeMicros() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }

  void pumpEvents() override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (e.type == SDL_QUIT) {
        quit_ = true;
        send(InputEvent::Kind::Close);
      } else if (e.type == SDL_WINDOWEVENT) {
        HandleGameWindowEvent(e.window);
        if (e.window.event == SDL_WINDOWEVENT_CLOSE && IsGameWindow(e.window.windowID))
          send(InputEvent::Kind::Close);
      } else {
        translateInput(e);
      }
    }
  }
  bool quitRequested() const override { return quit_; }
  void setInputSink(InputSink sink) override { sink_ = std::move(sink); }

  void injectKey(int vk, bool down) override {
    if (injectedKeyEvent_ == static_cast<Uint32>(-1)) return;
    SDL_Event e{};
    e.type = injectedKeyEvent_;
    e.user.code = (vk & 0xFFFF) | (down ? kInjectedDown : 0);
    SDL_PushEvent(&e);
  }
  bool keyDown(int vk) override {
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    return VirtualKeyDown(vk, state, count);
  }
  bool numLock() override { return (SDL_GetModState() & KMOD_NUM) != 0; }
  void setNumLock(bool on) override {
    const int mod = SDL_GetModState();
    SDL_SetModState(static_cast<SDL_Keymod>(on ? mod | KMOD_NUM : mod & ~KMOD_NUM));
  }

  std::optional<JoystickReading> readJoystick(int index) override {
    if (index < 0 || index >= static_cast<int>(joysticks_.size())) return std::nullopt;
    if (!joystickReady_) {
      joystickReady_ = true;
      if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) joystickFailed_ = true;
    }
    if (joystickFailed_) return std::nullopt;
    SDL_GameControllerUpdate();
    OpenJoystick& slot = joysticks_[static_cast<std::size_t>(index)];
    if (index >= SDL_NumJoysticks()) {
      slot = {};
      return std::nullopt;
    }
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    if (slot.id != id || (!slot.controller && !slot.joystick)) {
      slot = {};
      slot.id = id;
      if (SDL_IsGameController(index))
        slot.controller.reset(SDL_GameControllerOpen(index));
      else
        slot.joystick.reset(SDL_JoystickOpen(index));
    }
    if (slot.controller) return ReadController(slot.controller.get());
    if (slot.joystick) return ReadJoystick(slot.joystick.get());
    return std::nullopt;
  }

  void allowScreenSaver(bool allowed) override {
    if (allowed)
      SDL_EnableScreenSaver();
    else
      SDL_DisableScreenSaver();
  }

  Size screenSize() const override {
    const DisplayMode mode = displayMode();
    return {mode.width, mode.height};
  }

  std::unique_ptr<Window> createWindow(const WindowOptions& options) override {
    return std::make_unique<SdlWindow>(options);
  }
  std::unique_ptr<GameWindow> createGameWindow(const WindowOptions& options) override {
    return CreateSdlGameWindow(options);
  }

  DisplayMode displayMode() const override {
    if (mode_) return *mode_;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return {1024, 768, 32, 60};
    return FromSdl(mode);
  }
  bool changeDisplayMode(const DisplayMode& request, bool testOnly) override {
    DisplayMode want = displayMode();
    if (request.width > 0) want.width = request.width;
    if (request.height > 0) want.height = request.height;
    if (request.bitsPerPixel > 0) want.bitsPerPixel = request.bitsPerPixel;
    if (request.frequency > 0) want.frequency = request.frequency;
    bool found = false;
    for (int i = 0, n = SDL_GetNumDisplayModes(0); i < n && !found; ++i) {
      SDL_DisplayMode mode;
      if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
      const DisplayMode m = FromSdl(mode);
      found = m.width == want.width && m.height == want.height &&
              m.bitsPerPixel == want.bitsPerPixel &&
              (m.frequency == want.frequency || m.frequency == 0);
    }
    if (!found || testOnly) return found;
    mode_ = want;
    return true;
  }
  void restoreDisplayMode() override { mode_.reset(); }

  Point mousePosition() const override {
    Point p;
    SDL_GetGlobalMouseState(&p.x, &p.y);
    return p;
  }
  void setMousePosition(Point p) override { SDL_WarpMouseGlobal(p.x, p.y); }

  Answer messageBox(std::string_view text, std::string_view caption, Buttons buttons,
                    MessageIcon icon) override {
    const std::string body = NormalizeLineEnds(text);
    std::vector<SDL_MessageBoxButtonData> data;
    auto add = [&](Answer a, const char* label) {
      data.push_back({0, static_cast<int>(a), label});
    };
    switch (buttons) {
      case Buttons::Ok:
        add(Answer::Ok, "OK");
        break;
      case Buttons::OkCancel:
        add(Answer::Ok, "OK"), add(Answer::Cancel, "Cancel");
        break;
      case Buttons::YesNo:
        add(Answer::Yes, "Yes"), add(Answer::No, "No");
        break;
      case Buttons::YesNoCancel:
        add(Answer::Yes, "Yes"), add(Answer::No, "No"), add(Answer::Cancel, "Cancel");
        break;
      case Buttons::RetryCancel:
        add(Answer::Retry, "Retry"), add(Answer::Cancel, "Cancel");
        break;
      case Buttons::AbortRetryIgnore:
        add(Answer::Abort, "Abort"), add(Answer::Retry, "Retry"), add(Answer::Ignore, "Ignore");
        break;
    }
    data.front().flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if (icon == MessageIcon::Error) flags = SDL_MESSAGEBOX_ERROR;
    if (icon == MessageIcon::Warning) flags = SDL_MESSAGEBOX_WARNING;
    const std::string title(caption);
    const SDL_MessageBoxData box{
        flags,       nullptr, title.c_str(), body.c_str(), static_cast<int>(data.size()),
        data.data(), nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
      std::cerr << body << '\n';
      return DefaultAnswer(buttons);
    }
    if (pressed < 0)  // closed without a button
      return buttons == Buttons::Ok || buttons == Buttons::YesNo ? DefaultAnswer(buttons)
                                                                 : Answer::Cancel;
    return static_cast<Answer>(pressed);
  }

  int choiceBox(std::string_view text, std::string_view caption,
                std::span<const std::string_view> buttons, int defaultButton) override {
    const std::string body = CodePageToUtf8(NormalizeLineEnds(text));
    std::vector<std::string> labels(buttons.begin(), buttons.end());
    std::vector<SDL_MessageBoxButtonData> data;
    for (std::size_t i = 0; i < labels.size(); ++i) {
      const Uint32 flags =
          static_cast<int>(i) == defaultButton ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
      data.push_back({flags, static_cast<int>(i), labels[i].c_str()});
    }
    const std::string title(caption);
    const SDL_MessageBoxData box{
        SDL_MESSAGEBOX_ERROR,          nullptr,     title.c_str(), body.c_str(),
        static_cast<int>(data.size()), data.data(), nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
      std::cerr << body << '\n';
      return defaultButton;
    }
    return pressed;
  }

  bool hasClipboardText() override { return SDL_HasClipboardText() == SDL_TRUE; }
  std::string clipboardText() override {
    char* text = SDL_GetClipboardText();
    if (!text) return {};
    std::string bytes = Utf8ToCodePage(text);
    SDL_free(text);
    return bytes;
  }
  void setClipboardText(std::string_view text) override {
    SDL_SetClipboardText(CodePageToUtf8(text).c_str());
  }

  void setProgramPriority(int level) override {
    SDL_ThreadPriority priority = SDL_THREAD_PRIORITY_NORMAL;
    if (level >= 3)
      priority = SDL_THREAD_PRIORITY_TIME_CRITICAL;
    else if (level >= 1)
      priority = SDL_THREAD_PRIORITY_HIGH;
    else if (level <= -1)
      priority = SDL_THREAD_PRIORITY_LOW;
    SDL_SetThreadPriority(priority);  // refused without the rights: the game goes on
  }

  std::unique_ptr<AudioDevice> openAudio(AudioSource& source) override {
    return OpenSdlAudio(source);
  }

 private:
  void send(InputEvent::Kind kind, std::int32_t code = 0, std::int32_t x = 0, std::int32_t y = 0) {
    if (!sink_) return;
    InputEvent e;
    e.kind = kind;
    e.code = code;
    e.x = x;
    e.y = y;
    sink_(e);
  }

  // Keys, typed text, mouse moves, buttons and the wheel as the runner's
  // input events. The keys that type a control character (backspace, tab,
  // enter, escape) type it after their key-down, as a keyboard driver does.
  void translateInput(const SDL_Event& e) {
    using K = InputEvent::Kind;
    if (e.type == injectedKeyEvent_) {
      send(e.user.code & kInjectedDown ? K::KeyDown : K::KeyUp, e.user.code & 0xFFFF);
      return;
    }
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const int vk = VirtualKeyOfEvent(e.key.keysym);
        if (vk == 0) break;
        send(e.type == SDL_KEYDOWN ? K::KeyDown : K::KeyUp, vk);
        if (e.type == SDL_KEYDOWN && (vk == 8 || vk == 9 || vk == 13 || vk == 27))
          send(K::Character, vk);
        break;
      }
      case SDL_TEXTINPUT:
        for (const char c : Utf8ToCodePage(e.text.text))
          send(K::Character, static_cast<unsigned char>(c));
        break;
      case SDL_MOUSEMOTION:
        send(K::MouseMove, 0, e.motion.x, e.motion.y);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (const int b = MouseButton(e.button.button))
          send(e.type == SDL_MOUSEBUTTONDOWN ? K::MouseDown : K::MouseUp, b);
        break;
      case SDL_MOUSEWHEEL: {
        const int y = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (y > 0) send(K::WheelUp);
        if (y < 0) send(K::WheelDown);
        break;
      }
      default:
        break;
    }
  }

  static DisplayMode FromSdl(const SDL_DisplayMode& mode) {
    return {mode.w, mode.h, static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8,
            mode.refresh_rate};
  }

  std::optional<DisplayMode> mode_;
  std::chrono::steady_clock::time_point start_;
  bool quit_ = false;
  InputSink sink_;
  // The event type of injected keys: the code, and kInjectedDown for a
  // key-down.
  Uint32 injectedKeyEvent_ = static_cast<Uint32>(-1);
  static constexpr Sint32 kInjectedDown = 0x10000;
  bool joystickReady_ = false;
  bool joystickFailed_ = false;
  std::array<OpenJoystick, 2> joysticks_;
};

}  // namespace

std::int32_t RawJoystickAxis(std::int16_t value) {
  // Each half is stretched on its own so that 0 lands on 32767 and both
  // ends on 0 and 65535.
  if (value < 0) return 32767 + (value * 32767 - 16384) / 32768;
  return 32767 + (value * 32768 + 16383) / 32767;
}

std::int32_t HatDegrees(std::uint8_t hat) {
  switch (hat) {
    case SDL_HAT_UP:
      return 0;
    case SDL_HAT_RIGHTUP:
      return 4500;
    case SDL_HAT_RIGHT:
      return 9000;
    case SDL_HAT_RIGHTDOWN:
      return 13500;
    case SDL_HAT_DOWN:
      return 18000;
    case SDL_HAT_LEFTDOWN:
      return 22500;
    case SDL_HAT_LEFT:
      return 27000;
    case SDL_HAT_LEFTUP:
      return 31500;
    default:
      return 65535;
  }
}

std::unique_ptr<Platform> CreateDesktopPlatform() {
  return std::make_unique<SdlPlatform>();
}

}  // namespace px
