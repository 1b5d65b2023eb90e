#include "world/IO_Main.h"

#include "runner/Run_Global.h"

namespace px {

void ApplyInputEvent(Runtime&, const InputEvent&) {}

void HandleWindowMessages(Runtime& rt) {
  rt.platform.pumpEvents();
}

void ApplyReplay(Runtime& rt, std::int64_t step) {
  for (const ReplayEvent& e : rt.replay)
    if (e.step == step) ApplyInputEvent(rt, e.event);
}

void ReadMousePosition(Runtime& rt) {
  rt.input.previousMouseX = rt.input.mouseX;
  rt.input.previousMouseY = rt.input.mouseY;
}

void ClearInput(InputState& in) {
  in.typed.clear();
  in.lastKey = in.key = 0;
  in.lastChar.clear();
  in.held = {};
  in.pressed = {};
  in.released = {};
  in.mouseLastButton = in.mouseButton = 0;
  in.mheld = {};
  in.mpressed = {};
  in.mreleased = {};
  in.wheelUp = in.wheelDown = false;
}

void ClearStepEdges(InputState& in) {
  in.pressed = {};
  in.released = {};
  in.mpressed = {};
  in.mreleased = {};
  in.wheelUp = in.wheelDown = false;
}

JoystickState QueryJoystick(Runtime&, std::int32_t) {
  return {};
}

}  // namespace px
