// Windows the runner draws itself inside the game window, over the game's
// last frame: the message window, the pop-up menu and the highscore window.
// The pieces are shared: `WindowArt` holds the textures and fonts of one
// showing, `ModalWindow` keeps a window painted and fed with input until it
// closes.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/BM32_Bitmap.h"
#include "base/Geometry.h"
#include "run/Dialog_Highscore.h"
#include "run/Dialog_Message.h"
#include "run/Dialog_State.h"
#include "run/Dialog_Text.h"

namespace px {

struct Runtime;
struct InputEvent;
class CFont;

// The mouse in the game window's drawing coordinates.
Point DialogMouse(Runtime& rt);
// Window events change the game's input state again, after a dialog set
// them aside.
void RestoreGameInput(Runtime& rt);

// Textures and fonts made for one showing of a window and freed with it, so
// nothing outlives a device reset.
class WindowArt {
 public:
  explicit WindowArt(Runtime& rt) : rt_(rt) {}
  ~WindowArt();
  WindowArt(const WindowArt&) = delete;
  WindowArt& operator=(const WindowArt&) = delete;

  // A texture of the image; -1 when the device refuses it.
  int texture(const TBitmap32& image);
  // A font of the system font `f`, with its page texture.
  const CFont& font(const DialogFont& f);

 private:
  Runtime& rt_;
  std::vector<int> textures_;
  std::vector<std::unique_ptr<CFont>> fonts_;
};

// Draws a line-broken text (CR LF breaks) in the font and colour at (x, y),
// wrapped at `width` when that is positive, aligned 0 left, 1 centre,
// 2 right within it.
void DrawDialogText(Runtime& rt, const CFont& font, std::string_view text, int x, int y, int width,
                    int halign, std::uint32_t color, double alpha);
// The height of such a text.
int DialogTextHeight(Runtime& rt, const CFont& font, std::string_view text, int width);

// Keeps a window drawn over the game's last frame while it is open: each
// round handles the window's input events, then draws the frame and the
// window and presents them. The game's input sink is set aside meanwhile.
class ModalWindow {
 public:
  explicit ModalWindow(Runtime& rt);
  ~ModalWindow();
  ModalWindow(const ModalWindow&) = delete;
  ModalWindow& operator=(const ModalWindow&) = delete;

  // Runs until `handle` returns true for an event; the close button counts
  // as Escape.
  void run(const std::function<void()>& draw, const std::function<bool(const InputEvent&)>& handle);
  // Draws the game's frame and the window once, without presenting.
  void paint(const std::function<void()>& draw);

 private:
  Runtime& rt_;
  int frame_ = -1;  // the game's last frame as a texture
  std::optional<TBitmap32> frameImage_;
};

// Where the message window's parts go.
struct MessageLayout {
  Rect window;  // in the game window
  Rect label;   // the rest relative to the window
  std::array<Rect, 3> buttons;
  Rect input;
};
MessageLayout LayoutMessage(const MessageSettings& s, Size picture, int labelHeight, Size button,
                            int inputHeight, bool input, Size screen);

// The state of the message window at one moment.
struct MessageView {
  int hover = 0;         // the button under the mouse, 0 none
  bool pressed = false;  // a mouse button is held over it
  std::string input;
};

// Draws the message window into the game window's frame.
void DrawMessageWindow(Runtime& rt, WindowArt& art, const MessageRequest& request,
                       const MessageView& view);
MessageResult RunMessageWindow(Runtime& rt, const MessageRequest& request);

// The menu's chosen index, nothing when it was closed without one.
std::optional<int> RunMenuWindow(Runtime& rt, const std::vector<MenuItem>& items, Point at);

// Draws the highscore window with the new entry at `rank` (0 none) named
// `typed` so far.
void DrawHighscoreWindow(Runtime& rt, WindowArt& art, const ScoreTable& table, int rank,
                         std::string_view typed);
// The name typed for the new entry.
std::string RunHighscoreWindow(Runtime& rt, const ScoreTable& table, int rank);

// A window of text and buttons in a row, such as the error window: the
// end of `text` (CR LF or LF between lines) in a framed box, the buttons
// (texts with their "&" shortcuts) below. The index of the button chosen,
// -1 when closed with Escape or the window's close button.
struct ChoiceWindow {
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;
  int defaultButton = 0;  // chosen by Enter
  Size size{499, 361};
  DialogFont font{"Courier New", 10, 0x000000, FontStyle::Normal};
};
void DrawChoiceWindow(Runtime& rt, WindowArt& art, const ChoiceWindow& window, int hover,
                      bool pressed);
int RunChoiceWindow(Runtime& rt, const ChoiceWindow& window);

}  // namespace px
