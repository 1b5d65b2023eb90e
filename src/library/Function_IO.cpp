// Keyboard, mouse and joystick functions. The keyboard and mouse functions
// read the state the window messages left (see IO_Main); the joystick
// functions ask the platform each time.
#include "library/Function_IO.h"

#include <algorithm>
#include <optional>

#include "library/Function_Support.h"
#include "run/IO_Main.h"
#include "run/Runtime.h"

namespace px {

namespace {

using Args = const FunctionArgs&;

#define PX_IO_FN(name)                                                 \
  void name(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args args)

constexpr std::int32_t kNoKey = 0;   // vk_nokey
constexpr std::int32_t kAnyKey = 1;  // vk_anykey
constexpr std::int32_t kAnyButton = -1;
constexpr std::int32_t kNoButton = 0;
constexpr int kNumLockKey = 144;
// How long the waits sleep between looks at the messages.
constexpr std::int64_t kWaitSliceMicros = 50'000;

std::optional<std::size_t> Key(const RValue& v) {
  const std::int32_t k = IntArg(v);
  if (k < 0 || k >= kKeyCount) return std::nullopt;
  return static_cast<std::size_t>(k);
}

// keyboard_check and its pressed and released forms over one state array.
double CheckKey(const std::array<bool, kKeyCount>& keys, std::int32_t key) {
  const bool any = std::find(keys.begin(), keys.end(), true) != keys.end();
  if (key == kNoKey) return Truth(!any);
  if (key == kAnyKey) return Truth(any);
  if (key >= 2 && key < kKeyCount) return Truth(keys[static_cast<std::size_t>(key)]);
  return 0;
}

template <std::array<bool, kKeyCount> InputState::*Keys>
PX_IO_FN(KeyboardCheck) {
  result.setReal(CheckKey(rt.input.*Keys, IntArg(args[0])));
}

template <std::array<bool, kMouseButtons + 1> InputState::*Buttons>
PX_IO_FN(MouseCheck) {
  const auto& buttons = rt.input.*Buttons;
  const bool any = std::find(buttons.begin() + 1, buttons.end(), true) != buttons.end();
  const std::int32_t b = IntArg(args[0]);
  if (b == kAnyButton)
    result.setReal(Truth(any));
  else if (b == kNoButton)
    result.setReal(Truth(!any));
  else if (b >= 1 && b <= kMouseButtons)
    result.setReal(Truth(buttons[static_cast<std::size_t>(b)]));
}

// ---- The keyboard ----

PX_IO_FN(KeyboardCheckDirect) {
  if (const auto k = Key(args[0])) result.setReal(Truth(rt.platform.keyDown(int(*k))));
}

PX_IO_FN(KeyboardKeyPress) {
  if (const auto k = Key(args[0])) rt.platform.injectKey(int(*k), true);
}

PX_IO_FN(KeyboardKeyRelease) {
  if (const auto k = Key(args[0])) rt.platform.injectKey(int(*k), false);
}

PX_IO_FN(KeyboardGetNumlock) {
  result.setReal(Truth(rt.platform.numLock()));
}

// Pressing NumLock is what switches it: the game sees that key too.
PX_IO_FN(KeyboardSetNumlock) {
  const bool on = FlagArg(args[0]);
  if (rt.platform.numLock() == on) return;
  rt.platform.injectKey(kNumLockKey, true);
  rt.platform.injectKey(kNumLockKey, false);
  rt.platform.setNumLock(on);
}

PX_IO_FN(KeyboardSetMap) {
  const auto from = Key(args[0]);
  const auto to = Key(args[1]);
  if (from && to) rt.input.map[*from] = static_cast<std::uint8_t>(*to);
}

PX_IO_FN(KeyboardGetMap) {
  const auto k = Key(args[0]);
  result.setReal(k ? rt.input.map[*k] : IntArg(args[0]));
}

PX_IO_FN(KeyboardUnsetMap) {
  rt.input.map = InputState::IdentityKeyMap();
}

PX_IO_FN(KeyboardClear) {
  HandleWindowMessages(rt);
  if (const auto k = Key(args[0])) {
    rt.input.held[*k] = false;
    rt.input.pressed[*k] = false;
    rt.input.released[*k] = false;
  }
}

// ---- The mouse ----

PX_IO_FN(MouseWheelUp) {
  result.setReal(Truth(rt.input.wheelUp));
}

PX_IO_FN(MouseWheelDown) {
  result.setReal(Truth(rt.input.wheelDown));
}

PX_IO_FN(MouseClear) {
  HandleWindowMessages(rt);
  const std::int32_t b = IntArg(args[0]);
  if (b < 1 || b > kMouseButtons) return;
  const auto i = static_cast<std::size_t>(b);
  rt.input.mheld[i] = false;
  rt.input.mpressed[i] = false;
  rt.input.mreleased[i] = false;
}

// ---- Messages and waits ----

PX_IO_FN(IoClear) {
  HandleWindowMessages(rt);
  ClearInput(rt.input);
}

PX_IO_FN(IoHandle) {
  HandleWindowMessages(rt);
}

// Handles messages and sleeps in turn until `field` is set. Headless
// nothing but keys the game injected itself can come in the middle of a
// step, so the wait ends after one look. It also ends when the game is
// ending (a close event may have ended it), instead of waiting forever.
std::int32_t WaitFor(Runtime& rt, std::int32_t InputState::*field) {
  rt.input.*field = 0;
  for (;;) {
    HandleWindowMessages(rt);
    if (rt.input.*field != 0 || rt.platform.headless()) break;
    if (rt.pendingChange == kPendingEnd || rt.pendingChange == kPendingAbort ||
        rt.terminateRequested)
      break;
    rt.platform.waitMicros(kWaitSliceMicros);
  }
  return rt.input.*field;
}

PX_IO_FN(KeyboardWait) {
  result.setReal(WaitFor(rt, &InputState::lastKey));
}

PX_IO_FN(MouseWait) {
  result.setReal(WaitFor(rt, &InputState::mouseLastButton));
}

// ---- Joysticks ----

std::optional<JoystickReading> Joystick(Runtime& rt, const RValue& id) {
  return rt.platform.readJoystick(IntArg(id) == 2 ? 1 : 0);
}

PX_IO_FN(JoystickExists) {
  result.setReal(Truth(Joystick(rt, args[0]).has_value()));
}

// The number pad's digit for the stick's direction: 7 8 9 up, 1 2 3 down.
PX_IO_FN(JoystickDirection) {
  const JoystickState s = QueryJoystick(rt, IntArg(args[0]));
  if (!s.answers) {
    result.setReal(101);
    return;
  }
  const int column = s.x < 20000 ? 1 : s.x > 44000 ? 3 : 2;
  const int row = s.y <= 19999 ? 6 : s.y > 44000 ? 0 : 3;
  result.setReal(96 + column + row);
}

PX_IO_FN(JoystickName) {
  const auto j = Joystick(rt, args[0]);
  result.setString(j ? j->name : std::string());
}

PX_IO_FN(JoystickAxes) {
  const auto j = Joystick(rt, args[0]);
  result.setReal(j ? j->axisCount : 0);
}

PX_IO_FN(JoystickButtons) {
  const auto j = Joystick(rt, args[0]);
  result.setReal(j ? j->buttonCount : 0);
}

PX_IO_FN(JoystickHasPov) {
  const auto j = Joystick(rt, args[0]);
  result.setReal(Truth(j && j->hasPov));
}

PX_IO_FN(JoystickCheckButton) {
  const auto j = Joystick(rt, args[0]);
  const std::int32_t n = IntArg(args[1]);
  if (j && n >= 1 && n <= 32) result.setReal(Truth((j->buttons >> (n - 1)) & 1u));
}

// An axis from -1 to 1; 0 without the joystick.
template <std::size_t Axis>
PX_IO_FN(JoystickPos) {
  if (const auto j = Joystick(rt, args[0])) result.setReal(j->axes[Axis] / 32767.0 - 1.0);
}

PX_IO_FN(JoystickPov) {
  const auto j = Joystick(rt, args[0]);
  const double degrees = j ? j->pov / 100.0 : -1.0;
  result.setReal(degrees > 360 ? -1.0 : degrees);
}

constexpr FunctionDef kIOFunctions[] = {
    {"keyboard_get_numlock", KeyboardGetNumlock},
    {"keyboard_set_numlock", KeyboardSetNumlock},
    {"keyboard_key_press", KeyboardKeyPress},
    {"keyboard_key_release", KeyboardKeyRelease},
    {"keyboard_set_map", KeyboardSetMap},
    {"keyboard_get_map", KeyboardGetMap},
    {"keyboard_unset_map", KeyboardUnsetMap},
    {"keyboard_check", KeyboardCheck<&InputState::held>},
    {"keyboard_check_pressed", KeyboardCheck<&InputState::pressed>},
    {"keyboard_check_released", KeyboardCheck<&InputState::released>},
    {"keyboard_check_direct", KeyboardCheckDirect},
    {"mouse_check_button", MouseCheck<&InputState::mheld>},
    {"mouse_check_button_pressed", MouseCheck<&InputState::mpressed>},
    {"mouse_check_button_released", MouseCheck<&InputState::mreleased>},
    {"mouse_wheel_up", MouseWheelUp},
    {"mouse_wheel_down", MouseWheelDown},
    {"joystick_exists", JoystickExists},
    {"joystick_direction", JoystickDirection},
    {"joystick_name", JoystickName},
    {"joystick_axes", JoystickAxes},
    {"joystick_buttons", JoystickButtons},
    {"joystick_has_pov", JoystickHasPov},
    {"joystick_check_button", JoystickCheckButton},
    {"joystick_xpos", JoystickPos<0>},
    {"joystick_ypos", JoystickPos<1>},
    {"joystick_zpos", JoystickPos<2>},
    {"joystick_rpos", JoystickPos<3>},
    {"joystick_upos", JoystickPos<4>},
    {"joystick_vpos", JoystickPos<5>},
    {"joystick_pov", JoystickPov},
    {"keyboard_clear", KeyboardClear},
    {"mouse_clear", MouseClear},
    {"io_clear", IoClear},
    {"io_handle", IoHandle},
    {"keyboard_wait", KeyboardWait},
    {"mouse_wait", MouseWait},
};

}  // namespace

std::span<const FunctionDef> IOFunctions() {
  return kIOFunctions;
}

}  // namespace px
