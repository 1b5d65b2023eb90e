// One event of the window system's input: a key, a character, a mouse
// button, move or wheel turn, or the window's close button.
#pragma once

#include <cstdint>

namespace px {

// One window event, as the platform delivers it or a replay file gives it.
struct InputEvent {
  enum class Kind : std::uint8_t {
    KeyDown,    // code: virtual-key code
    KeyUp,      // code: virtual-key code
    Character,  // code: the character (a byte of the game's code page)
    MouseMove,  // x, y: window client coordinates
    MouseDown,  // code: button 1 left, 2 right, 3 middle
    MouseUp,    // code: button
    WheelUp,
    WheelDown,
    Close,  // the window's close button
  };
  Kind kind = Kind::KeyDown;
  std::int32_t code = 0;
  std::int32_t x = 0, y = 0;
};

}  // namespace px
