// The keyboard, mouse and joystick state the step reads, the window
// callbacks that change it, and input replayed from a file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform_Input.h"

namespace px {

struct Runtime;

inline constexpr int kKeyCount = 256;
inline constexpr int kMouseButtons = 3;  // 1 left, 2 right, 3 middle

struct InputState {
  // Indexed by key code after mapping.
  std::array<bool, kKeyCount> held{};
  std::array<bool, kKeyCount> pressed{};
  std::array<bool, kKeyCount> released{};
  std::int32_t key = 0;      // keyboard_key
  std::int32_t lastKey = 0;  // keyboard_lastkey
  std::string lastChar;      // keyboard_lastchar: one character or empty
  std::string typed;         // keyboard_string
  // keyboard_set_map: a physical key k counts as map[k].
  std::array<std::uint8_t, kKeyCount> map = IdentityKeyMap();

  // Indexed by button 1..3 (entry 0 unused).
  std::array<bool, kMouseButtons + 1> mheld{};
  std::array<bool, kMouseButtons + 1> mpressed{};
  std::array<bool, kMouseButtons + 1> mreleased{};
  bool wheelUp = false;
  bool wheelDown = false;
  std::int32_t mouseButton = 0;      // mouse_button
  std::int32_t mouseLastButton = 0;  // mouse_lastbutton
  // The mouse in room coordinates, read anew at each step's mouse phase,
  // and where it was the step before.
  double mouseX = 0, mouseY = 0;
  double previousMouseX = 0, previousMouseY = 0;

  static constexpr std::array<std::uint8_t, kKeyCount> IdentityKeyMap() {
    std::array<std::uint8_t, kKeyCount> m{};
    for (int i = 0; i < kKeyCount; ++i) m[static_cast<std::size_t>(i)] = std::uint8_t(i);
    return m;
  }
};

// A replay: events applied before the step of the given number (the first
// step of the game is step 1).
struct ReplayEvent {
  std::int64_t step = 0;
  InputEvent event;
};

// The window callbacks: each changes the state as one window message does.
// The close request raises the close button event (or counts as Escape).
void ApplyInputEvent(Runtime& rt, const InputEvent& e);
// Handles the platform's pending window messages (input goes to
// ApplyInputEvent).
void HandleWindowMessages(Runtime& rt);
// Applies the replay's events for this step, in file order.
void ApplyReplay(Runtime& rt, std::int64_t step);
// Reads the mouse position anew (room coordinates), keeping the old one.
void ReadMousePosition(Runtime& rt);

// io_clear's clearing of every keyboard and mouse state.
void ClearInput(InputState& in);
// The end of a step: pressed, released, the button edges and the wheel.
void ClearStepEdges(InputState& in);

// What one joystick answers, when it does.
struct JoystickState {
  bool answers = false;
  std::int32_t x = 32767, y = 32767;  // raw axes 0..65535, 32767 centred
  std::uint32_t buttons = 0;          // bit 0 = button 1
};
// Joystick 2 for id 2, else joystick 1.
JoystickState QueryJoystick(Runtime& rt, std::int32_t id);

}  // namespace px
