#include "run/Run_Step.h"

#include <algorithm>
#include <cmath>

#include "motion/Motion_Move.h"
#include "motion/Motion_Path.h"
#include "motion/Sprite_Mask.h"
#include "resources/Resource_Chunks.h"
#include "run/Event_Main.h"
#include "run/Event_Raise.h"
#include "run/IO_Main.h"
#include "run/Room_Draw.h"
#include "run/Run_Handle_Collision.h"
#include "run/Run_Room.h"
#include "run/Run_SaveGame.h"
#include "run/Run_TimeLine.h"
#include "run/Run_Trigger.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr auto kAlarmKind = KindNumber(EventKind::Alarm);
constexpr auto kStepKind = KindNumber(EventKind::Step);
constexpr auto kKeyboardKind = KindNumber(EventKind::Keyboard);
constexpr auto kKeyPressKind = KindNumber(EventKind::KeyPress);
constexpr auto kKeyReleaseKind = KindNumber(EventKind::KeyRelease);
constexpr auto kMouseKind = KindNumber(EventKind::Mouse);
constexpr auto kOtherEventKind = KindNumber(EventKind::Other);

constexpr std::int32_t kKeyEscape = 27;
constexpr std::int32_t kKeyF4 = 115;
constexpr std::int32_t kKeyF5 = 116;
constexpr std::int32_t kKeyF6 = 117;

// ---- Built-in keys ----

void HandleBuiltinKeys(Runtime& rt) {
  InputState& in = rt.input;
  if (rt.settings.keyEsc && in.lastKey == kKeyEscape) {
    in.lastKey = 0;
    RequestGameEnd(rt);
  } else if (rt.settings.keyF4 && in.lastKey == kKeyF4) {
    in.lastKey = 0;
    rt.display.ToggleFullScreen();
  } else if (rt.settings.keyF5F6 && in.lastKey == kKeyF5) {
    in.lastKey = 0;
    SaveGame(rt, KeySaveFileName(rt));
  } else if (rt.settings.keyF5F6 && in.lastKey == kKeyF6) {
    // The load happens here and now; the step goes on in the loaded game.
    in.lastKey = 0;
    ClearInput(in);
    LoadGame(rt, KeySaveFileName(rt));
  }
}

bool WindowActive(Runtime& rt) {
  GameWindow* window = rt.display.hasWindow() ? rt.display.window() : nullptr;
  return !window || window->active();
}

void RememberPositions(Runtime& rt) {
  for (const auto& inst : rt.world.instances.active()) {
    inst->xprevious = inst->x;
    inst->yprevious = inst->y;
    inst->path_positionprevious = std::clamp(inst->path_position, 0.0, 1.0);
  }
}

// The triggers of the moment, then its step events.
void StepEvents(Runtime& rt, std::int32_t moment) {
  CheckTriggers(rt, moment);
  RaiseEvent(rt, kStepKind, moment);
}

// ---- Alarms ----

void RunAlarms(Runtime& rt) {
  for (std::int32_t a = 0; a < kAlarmCount; ++a) {
    RaiseEventWhere(rt, kAlarmKind, a, [a](CInstance& inst) {
      std::int32_t& alarm = inst.alarm[static_cast<std::size_t>(a)];
      if (alarm < 0) return false;
      return --alarm == 0;
    });
  }
}

// ---- Keyboard, joystick and mouse events ----

// Raises `kind` for each key whose flag is set, then the no-key or any-key
// event.
void RaiseKeyEvents(Runtime& rt, std::int32_t kind, const std::array<bool, kKeyCount>& a,
                    const std::array<bool, kKeyCount>* b) {
  bool any = false;
  for (std::int32_t k = kFirstKey; k < kKeyCount; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (!a[i] && !(b && (*b)[i])) continue;
    any = true;
    RaiseEvent(rt, kind, k);
  }
  RaiseEvent(rt, kind, any ? kKeyAny : kKeyNone);
}

void KeyboardEvents(Runtime& rt) {
  const InputState& in = rt.input;
  RaiseKeyEvents(rt, kKeyboardKind, in.held, &in.pressed);
  RaiseKeyEvents(rt, kKeyPressKind, in.pressed, nullptr);
  RaiseKeyEvents(rt, kKeyReleaseKind, in.released, nullptr);
}

void JoystickEvents(Runtime& rt) {
  for (std::int32_t id = 1; id <= 2; ++id) {
    const JoystickState joy = QueryJoystick(rt, id);
    if (!joy.answers) continue;
    const std::int32_t base = id == 1 ? 16 : 31;
    if (joy.x < 20000) RaiseEvent(rt, kMouseKind, base);
    if (joy.x > 44000) RaiseEvent(rt, kMouseKind, base + 1);
    if (joy.y < 20000) RaiseEvent(rt, kMouseKind, base + 2);
    if (joy.y > 44000) RaiseEvent(rt, kMouseKind, base + 3);
    for (std::int32_t b = 0; b < 8; ++b)
      if (joy.buttons & (1u << b)) RaiseEvent(rt, kMouseKind, base + 5 + b);
  }
}

bool UnderPoint(const Runtime& rt, const CInstance& inst, double x, double y) {
  return PointInInstance(rt.resources, inst, true, x, y);
}

void MouseEvents(Runtime& rt) {
  ReadMousePosition(rt);
  const InputState& in = rt.input;
  const double mx = in.mouseX, my = in.mouseY;
  const double px = in.previousMouseX, py = in.previousMouseY;
  const auto under = [&rt, mx, my](CInstance& inst) { return UnderPoint(rt, inst, mx, my); };
  bool anyButton = false;
  for (std::int32_t b = 1; b <= kMouseButtons; ++b) {
    const auto i = static_cast<std::size_t>(b);
    if (!in.mheld[i] && !in.mpressed[i]) continue;
    anyButton = true;
    RaiseEventWhere(rt, kMouseKind, b - 1, under);
    RaiseEvent(rt, kMouseKind, 49 + b);
  }
  if (!anyButton) RaiseEventWhere(rt, kMouseKind, kMouseNoButton, under);
  for (std::int32_t b = 1; b <= kMouseButtons; ++b) {
    if (!in.mpressed[static_cast<std::size_t>(b)]) continue;
    RaiseEventWhere(rt, kMouseKind, b + 3, under);
    RaiseEvent(rt, kMouseKind, kMouseGlobalPress);
    RaiseEvent(rt, kMouseKind, 52 + b);
  }
  for (std::int32_t b = 1; b <= kMouseButtons; ++b) {
    if (!in.mreleased[static_cast<std::size_t>(b)]) continue;
    RaiseEventWhere(rt, kMouseKind, b + 6, under);
    RaiseEvent(rt, kMouseKind, kMouseGlobalRelease);
    RaiseEvent(rt, kMouseKind, 55 + b);
  }
  RaiseEventWhere(rt, kMouseKind, kMouseEnter, [&](CInstance& inst) {
    return UnderPoint(rt, inst, mx, my) && !UnderPoint(rt, inst, px, py);
  });
  RaiseEventWhere(rt, kMouseKind, kMouseLeave, [&](CInstance& inst) {
    return UnderPoint(rt, inst, px, py) && !UnderPoint(rt, inst, mx, my);
  });
  if (in.wheelUp) RaiseEvent(rt, kMouseKind, kMouseWheelUp);
  if (in.wheelDown) RaiseEvent(rt, kMouseKind, kMouseWheelDown);
}

// ---- Motion ----

void MoveInstances(Runtime& rt) {
  CInstanceList& list = rt.world.instances;
  const std::size_t count = list.size();
  for (std::size_t i = 0; i < count && i < list.size(); ++i) {
    CInstance& inst = list.at(i);
    // Most instances have neither friction, gravity nor a path: their
    // calls are skipped inline.
    if (inst.friction != 0 || inst.gravity != 0) ApplyFrictionAndGravity(inst);
    if (inst.path_index >= 0 && PathStep(rt, inst) && !inst.deleted)
      PerformEvent(rt, &inst, &inst, kOtherEventKind, kEvEndOfPath);
    if (inst.hspeed != 0 || inst.vspeed != 0)
      inst.SetPosition(rt.resources, inst.x + inst.hspeed, inst.y + inst.vspeed);
  }
}

// ---- Outside and boundary ----

struct Area {
  double left, top, right, bottom;
};

bool Outside(const Runtime& rt, const CInstance& inst, const Area& a) {
  if (HasShape(rt.resources, inst))
    return !(inst.bbox_right >= a.left && inst.bbox_left <= a.right && inst.bbox_bottom >= a.top &&
             inst.bbox_top <= a.bottom);
  return !(inst.x >= a.left && inst.x <= a.right && inst.y >= a.top && inst.y <= a.bottom);
}

bool CrossesBoundary(const Runtime& rt, const CInstance& inst, const Area& a) {
  if (HasShape(rt.resources, inst))
    return !(inst.bbox_left >= a.left && inst.bbox_right <= a.right && inst.bbox_top >= a.top &&
             inst.bbox_bottom <= a.bottom);
  return Outside(rt, inst, a);
}

void AreaEvents(Runtime& rt, std::int32_t outside, std::int32_t boundary, const Area& area) {
  RaiseEventWhere(rt, kOtherEventKind, outside,
                  [&](CInstance& inst) { return Outside(rt, inst, area); });
  RaiseEventWhere(rt, kOtherEventKind, boundary,
                  [&](CInstance& inst) { return CrossesBoundary(rt, inst, area); });
}

void OutsideAndBoundaryEvents(Runtime& rt) {
  const CRoom* room = CurrentRoomData(rt);
  if (!room) return;
  AreaEvents(rt, kEvOutside, kEvBoundary, {0, 0, double(room->width), double(room->height)});
  if (!room->views_enabled) return;
  for (std::int32_t v = 0; v < CRoom::kViews; ++v) {
    const CView& view = room->views[static_cast<std::size_t>(v)];
    if (!view.visible) continue;
    AreaEvents(rt, kEvOutsideView0 + v, kEvBoundaryView0 + v,
               {double(view.xview), double(view.yview), double(view.xview + view.wview),
                double(view.yview + view.hview)});
  }
}

// ---- After the events ----

void ScrollLayers(Runtime& rt) {
  CRoom* room = CurrentRoomData(rt);
  if (!room) return;
  for (CBack& layer : room->layers) {
    layer.x += layer.hspeed;
    layer.y += layer.vspeed;
  }
}

void Animate(Runtime& rt) {
  CInstanceList& list = rt.world.instances;
  const std::size_t count = list.size();
  for (std::size_t i = 0; i < count && i < list.size(); ++i) {
    CInstance& inst = list.at(i);
    inst.image_index += inst.image_speed;
    const CSprite* sprite = rt.resources.sprites.get(inst.sprite_index);
    const double images = sprite ? double(sprite->images.size()) : 0.0;
    if (std::floor(inst.image_index) >= images) {
      inst.image_index -= images;
      // Objects without the event skip the call.
      if (rt.world.eventLists.has(kOtherEventKind, kEvAnimationEnd, inst.object_index))
        PerformEvent(rt, &inst, &inst, kOtherEventKind, kEvAnimationEnd);
    }
  }
}

}  // namespace

void RunStep(Runtime& rt) {
  if (rt.settings.freezeInactive && !WindowActive(rt)) return;
  HandleBuiltinKeys(rt);
  if (ChangePending(rt)) return;
  if (!WindowActive(rt)) ClearInput(rt.input);
  RememberPositions(rt);

  // Each phase that raises events ends the step when a change waits.
  void (*const phases[])(Runtime&) = {
      [](Runtime& r) { StepEvents(r, kEvStepBegin); },
      AdvanceTimeLines,
      RunAlarms,
      KeyboardEvents,
      JoystickEvents,
      MouseEvents,
      [](Runtime& r) { StepEvents(r, kEvStepNormal); },
      MoveInstances,
      OutsideAndBoundaryEvents,
      CollisionEvents,
      [](Runtime& r) { StepEvents(r, kEvStepEnd); },
  };
  for (auto phase : phases) {
    phase(rt);
    if (ChangePending(rt)) return;
  }
  rt.particles.particles.UpdateAll();

  rt.world.instances.Purge(rt.resources);
  if (rt.display.automaticDraw) DrawRoom(rt);
  ScrollLayers(rt);
  Animate(rt);
  ++rt.run.cursorFrame;
  ClearStepEdges(rt.input);
}

}  // namespace px
