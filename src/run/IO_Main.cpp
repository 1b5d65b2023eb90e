#include "run/IO_Main.h"

#include <algorithm>

#include "graphics/Graphics_Display.h"
#include "run/Event_Main.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr int kEscape = 27;
constexpr int kBackspace = 8;
constexpr std::size_t kTypedLimit = 1024;

bool IsKey(std::int32_t code) {
  return code >= 0 && code < kKeyCount;
}

bool IsButton(std::int32_t b) {
  return b >= 1 && b <= kMouseButtons;
}

void Type(InputState& in, std::int32_t code) {
  const char ch = static_cast<char>(code & 0xFF);
  in.lastChar.assign(1, ch);
  if (in.typed.size() > kTypedLimit) in.typed.erase(0, in.typed.size() - kTypedLimit);
  const auto byte = static_cast<unsigned char>(ch);
  if (byte == kBackspace) {
    if (!in.typed.empty()) in.typed.pop_back();
  } else if (byte > 31) {
    in.typed.push_back(ch);
  }
}

}  // namespace

void ApplyInputEvent(Runtime& rt, const InputEvent& e) {
  InputState& in = rt.input;
  switch (e.kind) {
    case InputEvent::Kind::KeyDown: {
      if (!IsKey(e.code)) return;
      const std::int32_t k = in.map[static_cast<std::size_t>(e.code)];
      const auto i = static_cast<std::size_t>(k);
      in.lastKey = k;
      in.key = k;
      if (!in.held[i]) in.pressed[i] = true;
      in.held[i] = true;
      return;
    }
    case InputEvent::Kind::KeyUp: {
      if (!IsKey(e.code)) return;
      const std::int32_t k = in.map[static_cast<std::size_t>(e.code)];
      const auto i = static_cast<std::size_t>(k);
      if (k == in.key) in.key = 0;
      in.held[i] = false;
      in.released[i] = true;
      return;
    }
    case InputEvent::Kind::Character:
      Type(in, e.code);
      return;
    case InputEvent::Kind::MouseMove:
      // The position is read from the platform when the step needs it.
      return;
    case InputEvent::Kind::MouseDown: {
      if (!IsButton(e.code)) return;
      const auto b = static_cast<std::size_t>(e.code);
      in.mouseLastButton = e.code;
      in.mouseButton = e.code;
      in.mheld[b] = true;
      in.mpressed[b] = true;
      return;
    }
    case InputEvent::Kind::MouseUp: {
      if (!IsButton(e.code)) return;
      const auto b = static_cast<std::size_t>(e.code);
      in.mouseButton = 0;
      in.mheld[b] = false;
      in.mreleased[b] = true;
      return;
    }
    case InputEvent::Kind::WheelUp:
      in.wheelUp = true;
      return;
    case InputEvent::Kind::WheelDown:
      in.wheelDown = true;
      return;
    case InputEvent::Kind::Close:
      // The window never closes by itself: the game decides.
      if (rt.settings.closeAsEsc) {
        in.held[kEscape] = true;
        in.key = kEscape;
        in.lastKey = kEscape;
      } else {
        PerformEventAll(rt, static_cast<std::int32_t>(EventKind::Other), kEvCloseButton);
      }
      return;
  }
}

void HandleWindowMessages(Runtime& rt) {
  rt.platform.pumpEvents();
}

void ApplyReplay(Runtime& rt, std::int64_t step) {
  const auto [first, last] =
      std::equal_range(rt.replay.begin(), rt.replay.end(), ReplayEvent{step, {}},
                       [](const ReplayEvent& a, const ReplayEvent& b) { return a.step < b.step; });
  for (auto it = first; it != last; ++it) {
    const InputEvent& e = it->event;
    if (e.kind == InputEvent::Kind::MouseMove) {
      // The mouse goes where the replay puts it, so reading it back gives
      // the same position headless and on a desktop.
      const Rect client = rt.display.client();
      rt.platform.setMousePosition({client.x + e.x, client.y + e.y});
    }
    ApplyInputEvent(rt, e);
  }
}

void ReadMousePosition(Runtime& rt) {
  InputState& in = rt.input;
  in.previousMouseX = in.mouseX;
  in.previousMouseY = in.mouseY;
  const Point region = rt.display.WindowToRegion(rt.platform.mousePosition());
  const Point room = RegionToRoomTopmost(
      rt.display.ports, {static_cast<double>(region.x), static_cast<double>(region.y)});
  in.mouseX = room.x;
  in.mouseY = room.y;
}

void ClearInput(InputState& in) {
  in.typed.clear();
  in.lastKey = 0;
  in.key = 0;
  in.lastChar.clear();
  in.held.fill(false);
  in.pressed.fill(false);
  in.released.fill(false);
  in.mouseLastButton = 0;
  in.mouseButton = 0;
  in.mheld.fill(false);
  in.mpressed.fill(false);
  in.mreleased.fill(false);
  in.wheelUp = false;
  in.wheelDown = false;
}

void ClearStepEdges(InputState& in) {
  in.pressed.fill(false);
  in.released.fill(false);
  in.mpressed.fill(false);
  in.mreleased.fill(false);
  in.wheelUp = false;
  in.wheelDown = false;
}

JoystickState QueryJoystick(Runtime& rt, std::int32_t id) {
  JoystickState s;
  const auto reading = rt.platform.readJoystick(id == 2 ? 1 : 0);
  if (!reading) return s;
  s.answers = true;
  s.x = reading->axes[0];
  s.y = reading->axes[1];
  s.buttons = reading->buttons;
  return s;
}

}  // namespace px
