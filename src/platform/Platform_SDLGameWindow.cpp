// The desktop game window: an SDL2 window with an OpenGL context. Full
// screen in another display mode is SDL's exclusive full screen, the only
// way SDL changes a mode; SDL undoes it when the window goes, and a fatal
// signal undoes it before the process dies.
#include <SDL.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/Platform_CodePage.h"
#include "platform/Platform_GameWindow.h"
#include "platform/Platform_Icon.h"
#include "platform/Platform_SDLEvents.h"
#include "platform/Platform_VideoSync.h"

namespace px {
namespace {

constexpr const char* kWindowDataKey = "px.game-window";

// The window that holds a changed display mode, for the signal handler.
std::atomic<SDL_Window*> gExclusiveWindow{nullptr};
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT,
                                 SIGTERM, SIGINT, SIGHUP, SIGQUIT};
struct sigaction gPreviousActions[std::size(kFatalSignals)];

extern "C" void RestoreModeOnSignal(int sig) {
  // Not async-signal-safe in general, but the process is ending and a
  // changed screen mode left behind is worse than a failed attempt.
  if (SDL_Window* w = gExclusiveWindow.exchange(nullptr)) SDL_SetWindowFullscreen(w, 0);
  for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
    if (kFatalSignals[i] != sig) continue;
    sigaction(sig, &gPreviousActions[i], nullptr);
  }
  raise(sig);
}

void InstallModeRestoreHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = RestoreModeOnSignal;
  for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
    sigaction(kFatalSignals[i], &action, &gPreviousActions[i]);
}

SDL_SystemCursor SystemCursor(int code) {
  switch (code) {
    case -3:
      return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case -4:
      return SDL_SYSTEM_CURSOR_IBEAM;
    case -6:
      return SDL_SYSTEM_CURSOR_SIZENESW;
    case -7:
    case -15:
      return SDL_SYSTEM_CURSOR_SIZENS;
    case -8:
      return SDL_SYSTEM_CURSOR_SIZENWSE;
    case -9:
    case -14:
      return SDL_SYSTEM_CURSOR_SIZEWE;
    case -11:
      return SDL_SYSTEM_CURSOR_WAIT;
    case -13:
    case -18:
      return SDL_SYSTEM_CURSOR_NO;
    case -17:
    case -19:
      return SDL_SYSTEM_CURSOR_WAITARROW;
    case -21:
      return SDL_SYSTEM_CURSOR_HAND;
    case -22:
      return SDL_SYSTEM_CURSOR_SIZEALL;
    default:
      return SDL_SYSTEM_CURSOR_ARROW;
  }
}

// A context that reports a reset of the graphics device, so that it can be
// made again; drivers without that get a plain one.
SDL_GLContext CreateContext(SDL_Window* window) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_ROBUST_ACCESS_FLAG);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_LOSE_CONTEXT);
  if (SDL_GLContext context = SDL_GL_CreateContext(window)) return context;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_NO_NOTIFICATION);
  return SDL_GL_CreateContext(window);
}

class SdlGameWindow final : public GameWindow {
 public:
  explicit SdlGameWindow(const WindowOptions& options) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    const Uint32 flags =
        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | (options.borderless ? SDL_WINDOW_BORDERLESS : 0);
    window_ = SDL_CreateWindow(CodePageToUtf8(options.title).c_str(), options.x, options.y,
                               std::max(1, options.width), std::max(1, options.height), flags);
    if (!window_) throw PlatformError(std::string("cannot create a window: ") + SDL_GetError());
    SetWindowIcon(window_);
    context_ = CreateContext(window_);
    if (!context_) {
      const std::string error = SDL_GetError();
      SDL_DestroyWindow(window_);
      throw PlatformError("cannot create an OpenGL context: " + error);
    }
    SDL_SetWindowData(window_, kWindowDataKey, static_cast<GameWindow*>(this));
  }
  ~SdlGameWindow() override {
    SDL_Window* self = window_;
    gExclusiveWindow.compare_exchange_strong(self, nullptr);
    if (cursor_) SDL_FreeCursor(cursor_);
    SDL_GL_DeleteContext(context_);
    SDL_DestroyWindow(window_);
  }

  Rect clientBounds() const override {
    Rect r;
    SDL_GetWindowPosition(window_, &r.x, &r.y);
    SDL_GetWindowSize(window_, &r.width, &r.height);
    return r;
  }
  void setClientBounds(const Rect& b) override {
    SDL_SetWindowSize(window_, std::max(1, b.width), std::max(1, b.height));
    SDL_SetWindowPosition(window_, b.x, b.y);
    SDL_PumpEvents();
  }
  Size borderExtra() const override {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) return {};
    return {left + right, top + bottom};
  }
  void setBorder(BorderStyle style, bool) override {
    // The window system decides the title bar's buttons.
    SDL_SetWindowBordered(window_, style == BorderStyle::None ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowResizable(window_, style == BorderStyle::Sizeable ? SDL_TRUE : SDL_FALSE);
  }
  void setMinimumClientSize(Size size) override {
    SDL_SetWindowMinimumSize(window_, std::max(1, size.width), std::max(1, size.height));
  }
  void setStayOnTop(bool on) override {
    SDL_SetWindowAlwaysOnTop(window_, on ? SDL_TRUE : SDL_FALSE);
  }
  void setCaption(const std::string& text) override {
    SDL_SetWindowTitle(window_, CodePageToUtf8(text).c_str());
  }
  void show() override { SDL_ShowWindow(window_); }
  void hide() override { SDL_HideWindow(window_); }
  bool visible() const override { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0; }
  bool active() const override {
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
  }
  void setCursor(int code) override {
    if (code == -1) {
      SDL_ShowCursor(SDL_DISABLE);
      return;
    }
    SDL_ShowCursor(SDL_ENABLE);
    SDL_Cursor* cursor = SDL_CreateSystemCursor(SystemCursor(code));
    if (!cursor) return;
    SDL_SetCursor(cursor);
    if (cursor_) SDL_FreeCursor(cursor_);
    cursor_ = cursor;
  }
  void setExclusiveMode(const std::optional<DisplayMode>& mode) override {
    if (!mode) {
      SDL_SetWindowFullscreen(window_, 0);
      SDL_Window* self = window_;
      gExclusiveWindow.compare_exchange_strong(self, nullptr);
      return;
    }
    SDL_DisplayMode want{};
    want.w = mode->width;
    want.h = mode->height;
    want.refresh_rate = mode->frequency;
    want.format = mode->bitsPerPixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    SDL_DisplayMode closest{};
    if (!SDL_GetClosestDisplayMode(0, &want, &closest)) return;
    InstallModeRestoreHandlers();
    gExclusiveWindow = window_;
    SDL_SetWindowDisplayMode(window_, &closest);
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
  }
  std::uint64_t nativeId() const override { return X11WindowId(window_); }

  bool makeCurrent() override { return SDL_GL_MakeCurrent(window_, context_) == 0; }
  bool recreateContext() override {
    SDL_GL_DeleteContext(context_);
    context_ = CreateContext(window_);
    return context_ && makeCurrent();
  }
  unsigned framebuffer() override { return 0; }
  void swapBuffers() override { SDL_GL_SwapWindow(window_); }
  void setVSync(bool on) override { SDL_GL_SetSwapInterval(on ? 1 : 0); }
  bool waitVerticalBlank() override {
    if (!videoSyncLooked_) {
      videoSyncLooked_ = true;
      waitVideoSync_ = FindVideoSync(window_);
    }
    unsigned int count = 0;
    if (!waitVideoSync_ || !makeCurrent()) return false;
    if (waitVideoSync_(1, 0, &count) == 0) return true;
    waitVideoSync_ = nullptr;  // the context cannot wait: the clock does
    return false;
  }

 private:
  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  SDL_Cursor* cursor_ = nullptr;
  bool videoSyncLooked_ = false;
  WaitVideoSync waitVideoSync_ = nullptr;
};

}  // namespace

std::unique_ptr<GameWindow> CreateSdlGameWindow(const WindowOptions& options) {
  return std::make_unique<SdlGameWindow>(options);
}

void HandleGameWindowEvent(const SDL_WindowEvent& event) {
  SDL_Window* w = SDL_GetWindowFromID(event.windowID);
  if (!w) return;
  auto* window = static_cast<GameWindow*>(SDL_GetWindowData(w, kWindowDataKey));
  if (!window) return;
  if (event.event == SDL_WINDOWEVENT_SIZE_CHANGED && window->onResized) window->onResized();
  if (event.event == SDL_WINDOWEVENT_EXPOSED && window->onExposed) window->onExposed();
}

bool IsGameWindow(std::uint32_t windowId) {
  SDL_Window* w = SDL_GetWindowFromID(windowId);
  return w && SDL_GetWindowData(w, kWindowDataKey) != nullptr;
}

}  // namespace px
