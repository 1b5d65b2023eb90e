// The one interface through which the runner reaches the machine: windows and
// their events, the clocks, message boxes and dialogs, the clipboard and the
// process priority. A desktop back end (SDL2) and a headless back end
// (virtual clock, dialogs on standard output) implement it; later services
// (rendering, files, registry, network) are added here the same way; audio
// output is in Platform_Audio.h.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/Geometry.h"

namespace px {

class TBitmap32;
class AudioDevice;
class AudioSource;
struct InputEvent;

// Receives the keys, characters, mouse buttons, wheel turns, mouse moves and
// close requests of the window system.
using InputSink = std::function<void(const InputEvent&)>;

// A joystick's capabilities and its state now.
struct JoystickReading {
  std::string name;
  int axisCount = 0;
  int buttonCount = 0;
  bool hasPov = false;
  // Axes x, y, z, r, u and v from 0 to 65535, 32767 in the middle (and for
  // axes the joystick does not have).
  std::array<std::int32_t, 6> axes{32767, 32767, 32767, 32767, 32767, 32767};
  std::uint32_t buttons = 0;  // bit 0 = button 1
  // The point-of-view hat in hundredths of a degree clockwise from up;
  // 65535 when centred or absent.
  std::int32_t pov = 65535;
};

class PlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };
enum class MessageIcon { None, Information, Warning, Error, Question };

// The answer a dialog takes when nobody is there to answer it: OK, the
// first button, or Ignore where that is offered.
Answer DefaultAnswer(Buttons buttons);

// CR LF and lone CR become LF.
std::string NormalizeLineEnds(std::string_view text);

// A display mode of the screen; in a request, a field of 0 or less is left
// as it is.
struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int frequency = 0;
  bool operator==(const DisplayMode&) const = default;
};

struct WindowOptions {
  std::string title;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool borderless = false;
  // Pixels of this 0xRRGGBB colour are see-through (where the window system
  // supports shaped windows).
  std::optional<std::uint32_t> transparentColor;
};

// A top-level window whose whole content is an image the runner drew.
class Window {
 public:
  virtual ~Window() = default;
  virtual void setBounds(int x, int y, int width, int height) = 0;
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool visible() const = 0;
  // 255 is opaque.
  virtual void setOpacity(std::uint8_t alpha) = 0;
  // Shows the frame as the window's content, scaled to the window if needed.
  virtual void present(const TBitmap32& frame) = 0;
};

enum class BorderStyle { None, Single, Sizeable };

// The game's main window: a client area that shows an OpenGL framebuffer
// (compatibility profile), with the context that draws it. Headless, the
// window is a record of its geometry and the framebuffer an off-screen one.
class GameWindow {
 public:
  virtual ~GameWindow() = default;

  // The client area in screen coordinates.
  virtual Rect clientBounds() const = 0;
  virtual void setClientBounds(const Rect& bounds) = 0;
  // Outer size minus client size.
  virtual Size borderExtra() const = 0;
  // Border icons: system menu and minimise, plus maximise when sizeable.
  virtual void setBorder(BorderStyle style, bool icons) = 0;
  // The smallest client size the user can drag the window to.
  virtual void setMinimumClientSize(Size size) = 0;
  virtual void setStayOnTop(bool on) = 0;
  // The caption, in the runner's code page.
  virtual void setCaption(const std::string& text) = 0;
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool visible() const = 0;
  // Whether the window has the keyboard focus.
  virtual bool active() const = 0;
  // A cursor code: 0 default, -1 none, -2 to -22 the system shapes.
  virtual void setCursor(int code) = 0;
  // Covers the screen in the given display mode, or leaves that mode
  // (nothing: back to the desktop's mode).
  virtual void setExclusiveMode(const std::optional<DisplayMode>& mode) = 0;
  // The window system's id of the window (the X11 window id on X11); 0
  // where there is no such id (headless, or a window system without ids).
  virtual std::uint64_t nativeId() const = 0;

  // Makes the window's OpenGL context current on the calling thread; false
  // when there is no usable context.
  virtual bool makeCurrent() = 0;
  // Throws the context away and makes a new one current (after a lost
  // context); every OpenGL object must be made again.
  virtual bool recreateContext() = 0;
  // The framebuffer whose content the window shows, sized to the client
  // area, bottom row first as OpenGL keeps it: 0 on a desktop.
  virtual unsigned framebuffer() = 0;
  virtual void swapBuffers() = 0;
  // A window nobody sees: what it would show is composed only when it is
  // read back, so presenting a frame costs nothing.
  virtual bool offscreen() const { return false; }
  // Whether a buffer swap waits for the vertical blank.
  virtual void setVSync(bool on) = 0;
  // Waits for the screen's next vertical blank; false at once when the
  // window cannot wait for it.
  virtual bool waitVerticalBlank() { return false; }

  // Called while events are handled: the user changed the client size, or
  // the window needs its content again.
  std::function<void()> onResized;
  std::function<void()> onExposed;
};

class Platform {
 public:
  virtual ~Platform() = default;

  virtual bool headless() const = 0;

  // Microseconds on a monotonic clock (virtual when headless).
  virtual std::int64_t nowMicros() = 0;
  // Waits; headless, this only moves the virtual clock forward.
  virtual void waitMicros(std::int64_t micros) = 0;
  // A free-running high-resolution counter, for seeding (the virtual clock
  // when headless).
  virtual std::uint64_t highResolutionCounter() = 0;
  // Wall-clock time: microseconds since 1970-01-01 00:00 UTC. Headless, the
  // real time at start plus the virtual clock, so waits move it too.
  virtual std::int64_t unixTimeMicros() = 0;

  // Handles pending window-system events; input goes to the input sink.
  virtual void pumpEvents() = 0;
  // Where pumpEvents sends input from now on (nothing: input is dropped).
  virtual void setInputSink(InputSink sink) = 0;
  // Queues a key-down or key-up of a virtual-key code as if the keyboard
  // sent it; it reaches the sink at the next pumpEvents.
  virtual void injectKey(int vk, bool down) = 0;
  // Whether the key with this virtual-key code is down now, asked of the
  // keyboard itself (160..165 tell left and right modifiers apart).
  // Headless, no key is ever down.
  virtual bool keyDown(int vk) = 0;
  virtual bool numLock() = 0;
  virtual void setNumLock(bool on) = 0;
  // Joystick 0 or 1 as it is now; nothing when there is no such joystick.
  virtual std::optional<JoystickReading> readJoystick(int index) = 0;
  // True once the user asked the application to quit (window manager close, etc.).
  virtual bool quitRequested() const = 0;

  // Whether the screen saver and monitor power-saving may start while the
  // game runs.
  virtual void allowScreenSaver(bool allowed) = 0;

  virtual Size screenSize() const = 0;
  virtual std::unique_ptr<Window> createWindow(const WindowOptions& options) = 0;
  // The game's main window, hidden. Throws PlatformError when it cannot be
  // made (no display, no OpenGL).
  virtual std::unique_ptr<GameWindow> createGameWindow(const WindowOptions& options) = 0;

  // The screen's display mode for this process.
  virtual DisplayMode displayMode() const = 0;
  // Changes (or with testOnly, only checks) the fields of `request` that
  // are above 0; false when the screen has no such mode. A change holds for
  // this process only and is undone at its end, a crash included.
  virtual bool changeDisplayMode(const DisplayMode& request, bool testOnly) = 0;
  // Back to the desktop's mode.
  virtual void restoreDisplayMode() = 0;

  // The mouse cursor in screen coordinates.
  virtual Point mousePosition() const = 0;
  virtual void setMousePosition(Point p) = 0;

  virtual Answer messageBox(std::string_view text, std::string_view caption, Buttons buttons,
                            MessageIcon icon) = 0;
  // A dialog with buttons of the caller's own: the index of the button
  // chosen, or −1 when it was closed without one. Headless, the text is
  // printed and `defaultButton` taken.
  virtual int choiceBox(std::string_view text, std::string_view caption,
                        std::span<const std::string_view> buttons, int defaultButton) = 0;

  // The clipboard's text, as bytes in the runner's single-byte code page
  // (Windows-1252). Headless, a clipboard private to the process.
  virtual bool hasClipboardText() = 0;
  virtual std::string clipboardText() = 0;
  virtual void setClipboardText(std::string_view text) = 0;

  // Scheduling priority of the game's main thread, from −3 (idle) through 0
  // (normal) to 3 (time-critical); best effort, ignored where not allowed.
  virtual void setProgramPriority(int level) = 0;

  // Starts a program in the current directory: argv[0] is a path, or a name
  // looked up on PATH. With `wait`, returns when it has ended, pumping
  // events and sleeping 50 ms between checks. False when it could not be
  // started. Headless, writes "Starting: " and the words, and starts
  // nothing (true).
  virtual bool startProgram(const std::vector<std::string>& argv, bool wait);

  // Opens the audio output, which pulls from `source` until it is
  // destroyed; null when there is no sound device. Headless, the null sink
  // paced by the virtual clock.
  virtual std::unique_ptr<AudioDevice> openAudio(AudioSource& source) = 0;
};

struct PlatformOptions {
  bool headless = false;
  // Where the headless back end writes dialog texts; standard output when null.
  std::ostream* out = nullptr;
};

// Throws PlatformError when the desktop cannot be opened.
std::unique_ptr<Platform> CreatePlatform(const PlatformOptions& options);
std::unique_ptr<Platform> CreateHeadlessPlatform(std::ostream& out);
std::unique_ptr<Platform> CreateDesktopPlatform();

}  // namespace px
