// The action functions of the standard library: motion, instances,
// alarms, time lines, questions and control, score, lives and health.
// Relative arguments add to the current value when the running action has
// its relative option on.
#include <algorithm>
#include <cmath>
#include <string>

#include "code/Code_Error.h"
#include "code/Code_Exec.h"
#include "library/Function_Instance.h"
#include "library/Function_Support.h"
#include "library/Variable_Instance.h"
#include "motion/Motion_Place.h"
#include "resources/Resource_Chunks.h"
#include "run/Event_Main.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"
#include "world/Instance_Match.h"

namespace px {

namespace {

using Args = const FunctionArgs&;

// The value an action sets: the argument, or added to the current value.
double Rel(const Runtime& rt, double current, double value) {
  return rt.vars.argumentRelative ? current + value : value;
}

// Runs `f(self)` when the action has an instance to act on.
template <class F>
void WithSelf(CInstanceBase* self, F&& f) {
  if (CInstance* inst = AsInstance(self)) f(*inst);
}

// ---- Motion ----

void SetSprite(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  const std::int32_t sprite = IntArg(a[0]);
  if (!rt.resources.sprites.exists(sprite)) {
    RuntimeError(rt, "Setting instance to non-existing sprite: " + std::to_string(sprite));
    return;
  }
  WithSelf(self, [&](CInstance& i) {
    i.SetSprite(rt.resources, sprite);
    if (a[1].real > 0) {
      i.SetXScale(rt.resources, a[1].real);
      i.SetYScale(rt.resources, a[1].real);
    }
  });
}

void Move(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  const std::string& directions = a[0].str();
  if (directions.size() != 9) {
    RuntimeError(rt, "Wrong argument to action_move().");
    return;
  }
  if (directions.find('1') == std::string::npos) return;
  WithSelf(self, [&](CInstance& i) {
    i.SetSpeed(Rel(rt, i.speed, a[1].real));
    std::uint32_t pick;
    do pick = rt.random.NextInt(9);
    while (directions[pick] != '1');
    // Keypad layout: 0 is down-left, 4 the centre (stop), 8 up-right.
    static constexpr double kDirection[9] = {225, 270, 315, 180, 0, 0, 135, 90, 45};
    if (pick == 4) {
      i.SetDirection(0);
      i.SetSpeed(0);
    } else {
      i.SetDirection(kDirection[pick]);
    }
  });
}

void SetMotion(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    if (rt.vars.argumentRelative) {
      i.AddMotion(a[0].real, a[1].real);
    } else {
      i.SetDirection(a[0].real);
      i.SetSpeed(a[1].real);
    }
  });
}

void SetHspeed(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) { i.SetHspeed(Rel(rt, i.hspeed, a[0].real)); });
}

void SetVspeed(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) { i.SetVspeed(Rel(rt, i.vspeed, a[0].real)); });
}

void SetGravity(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    i.gravity_direction = Rel(rt, i.gravity_direction, a[0].real);
    i.gravity = Rel(rt, i.gravity, a[1].real);
  });
}

void SetFriction(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) { i.friction = Rel(rt, i.friction, a[0].real); });
}

void MovePoint(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    const double x = Rel(rt, i.x, a[0].real);
    const double y = Rel(rt, i.y, a[1].real);
    i.SetHspeed(x - i.x);
    i.SetVspeed(y - i.y);
    i.SetSpeed(a[2].real);
  });
}

void MoveTo(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    i.SetPosition(rt.resources, Rel(rt, i.x, a[0].real), Rel(rt, i.y, a[1].real));
  });
}

void MoveStart(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args) {
  WithSelf(self, [&](CInstance& i) { i.SetPosition(rt.resources, i.xstart, i.ystart); });
}

void SnapToGrid(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  const auto snapped = [](double pos, double snap) {
    return snap > 0 ? snap * RoundHalfEven(pos / snap) : pos;
  };
  WithSelf(self, [&](CInstance& i) {
    i.SetPosition(rt.resources, snapped(i.x, a[0].real), snapped(i.y, a[1].real));
  });
}

void ReverseX(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args) {
  WithSelf(self, [&](CInstance& i) { i.SetHspeed(-i.hspeed); });
}

void ReverseY(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args) {
  WithSelf(self, [&](CInstance& i) { i.SetVspeed(-i.vspeed); });
}

void PathEnd(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args) {
  WithSelf(self, [&](CInstance& i) { i.path_index = -1; });
}

void PathPosition(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    i.path_position = std::clamp(Rel(rt, i.path_position, a[0].real), 0.0, 1.0);
  });
}

void PathSpeed(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) { i.path_speed = Rel(rt, i.path_speed, a[0].real); });
}

// ---- Instances ----

void KillObject(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args) {
  WithSelf(self, [&](CInstance& i) { DestroyInstance(rt, i); });
}

// Creates at a position relative to self when asked; the hook runs before
// the create event.
template <class Setup>
void CreateAt(Runtime& rt, CInstanceBase* self, std::int32_t object, double x, double y,
              Setup&& setup) {
  if (!rt.resources.objects.exists(object)) {
    RuntimeError(rt, "Creating instance for non-existing object: " + std::to_string(object));
    return;
  }
  if (const CInstance* s = AsInstance(self)) {
    x = Rel(rt, s->x, x);
    y = Rel(rt, s->y, y);
  }
  CInstance& inst = CreateInstance(rt, object, x, y);
  setup(inst);
  PerformEvent(rt, &inst, &inst, static_cast<std::int32_t>(EventKind::Create), 0);
}

void CreateObject(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  CreateAt(rt, self, IntArg(a[0]), a[1].real, a[2].real, [](CInstance&) {});
}

void CreateObjectMotion(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                        Args a) {
  CreateAt(rt, self, IntArg(a[0]), a[1].real, a[2].real, [&](CInstance& inst) {
    inst.SetSpeed(a[3].real);
    inst.SetDirection(a[4].real);
  });
}

void CreateObjectRandom(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                        Args a) {
  bool any = false;
  for (int k = 0; k < 4; ++k) any |= rt.resources.objects.exists(IntArg(a[k]));
  if (!any) return;
  std::int32_t object;
  do object = IntArg(a[rt.random.NextInt(4)]);
  while (!rt.resources.objects.exists(object));
  CreateAt(rt, self, object, a[4].real, a[5].real, [](CInstance&) {});
}

void ChangeObject(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  const std::int32_t object = IntArg(a[0]);
  if (!rt.resources.objects.exists(object)) {
    RuntimeError(rt, "Asking to change into non-existing object: " + std::to_string(object));
    return;
  }
  WithSelf(self, [&](CInstance& i) { ChangeInstance(rt, i, object, FlagArg(a[1])); });
}

void KillPosition(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  double x = a[0].real, y = a[1].real;
  if (const CInstance* s = AsInstance(self)) {
    x = Rel(rt, s->x, x);
    y = Rel(rt, s->y, y);
  }
  DestroyAtPoint(rt, x, y);
}

void SpriteSet(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    i.SetSprite(rt.resources, IntArg(a[0]));
    if (a[1].real >= 0) i.image_index = a[1].real;
    i.image_speed = a[2].real;
  });
}

void SpriteTransform(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                     Args a) {
  WithSelf(self, [&](CInstance& i) {
    const std::int32_t mirror = IntArg(a[3]);
    const double xs = (mirror == 1 || mirror == 3) ? -a[0].real : a[0].real;
    const double ys = (mirror == 2 || mirror == 3) ? -a[1].real : a[1].real;
    i.SetXScale(rt.resources, xs);
    i.SetYScale(rt.resources, ys);
    i.SetAngle(rt.resources, a[2].real);
  });
}

void SpriteColor(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    i.image_blend = IntArg(a[0]);
    i.image_alpha = a[1].real;
  });
}

// ---- Alarms and time lines ----

void SetAlarm(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    const std::int32_t index = IntArg(a[1]);
    std::int32_t& alarm =
        i.alarm[static_cast<std::size_t>(index >= 0 && index < kAlarmCount ? index : 0)];
    const std::int32_t steps = IntArg(a[0]);
    alarm = rt.vars.argumentRelative && alarm >= 0 ? alarm + steps : steps;
  });
}

void SetTimeline(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    i.timeline_index = IntArg(a[0]);
    i.timeline_position = RoundHalfEven(a[1].real);
    i.timeline_running = true;
  });
}

void TimelineSet(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WithSelf(self, [&](CInstance& i) {
    i.timeline_index = IntArg(a[0]);
    i.timeline_position = RoundHalfEven(a[1].real);
    i.timeline_running = IntArg(a[2]) == 0;
    i.timeline_loop = IntArg(a[3]) == 1;
  });
}

void TimelineStart(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args) {
  WithSelf(self, [](CInstance& i) { i.timeline_running = true; });
}

void TimelinePause(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args) {
  WithSelf(self, [](CInstance& i) { i.timeline_running = false; });
}

void TimelineStop(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args) {
  WithSelf(self, [](CInstance& i) {
    i.timeline_position = 0;
    i.timeline_running = false;
  });
}

void TimelinePosition(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                      Args a) {
  WithSelf(self, [&](CInstance& i) {
    i.timeline_position = Rel(rt, i.timeline_position, RoundHalfEven(a[0].real));
  });
}

void TimelineSpeed(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                   Args a) {
  WithSelf(self, [&](CInstance& i) { i.timeline_speed = Rel(rt, i.timeline_speed, a[0].real); });
}

// ---- Questions and control ----

// Where the instance could stand: x and y relative to self.
template <class Test>
void AskAtPlace(Runtime& rt, CInstanceBase* self, RValue& result, Args a, Test&& test) {
  CInstance* i = AsInstance(self);
  if (!i) return;
  result.setReal(Truth(test(*i, Rel(rt, i->x, a[0].real), Rel(rt, i->y, a[1].real))));
}

bool Free(Runtime& rt, CInstance& i, double x, double y, const RValue& objects) {
  return IntArg(objects) == 1 ? PlaceEmpty(rt, i, x, y) : PlaceFree(rt, i, x, y);
}

void IfEmpty(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
             Args a) {
  AskAtPlace(rt, self, result, a,
             [&](CInstance& i, double x, double y) { return Free(rt, i, x, y, a[2]); });
}

void IfCollision(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
                 Args a) {
  AskAtPlace(rt, self, result, a,
             [&](CInstance& i, double x, double y) { return !Free(rt, i, x, y, a[2]); });
}

void IfObject(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue& result,
              Args a) {
  const std::int32_t object = IntArg(a[0]);
  FunctionArgs at = a;
  at[0] = a[1];
  at[1] = a[2];
  AskAtPlace(rt, self, result, at, [&](CInstance& i, double x, double y) {
    return PlaceMeeting(rt, i, AsInstance(other), x, y, object);
  });
}

void If(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  result = a[0];
}

// Compares by the operation: 1 smaller, 2 larger, otherwise equal.
bool Compare(double value, double against, std::int32_t operation) {
  if (operation == 1) return value < against;
  if (operation == 2) return value > against;
  return value == against;
}

void IfNumber(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue& result,
              Args a) {
  const double count = CountInstances(rt, self, other, IntArg(a[0]));
  result.setReal(Truth(Compare(count, a[1].real, IntArg(a[2]))));
}

void IfDice(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  const double sides = a[0].real;
  if (sides <= 1) {
    result.setReal(1);
    return;
  }
  result.setReal(Truth(rt.random.NextReal() * RoundHalfEven(sides * 1000) < 1001));
}

// Button 1 to 3: that button is down; any other number: no button is.
void IfMouse(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  const auto& held = rt.input.mheld;
  const std::int32_t button = IntArg(a[0]);
  if (button >= 1 && button <= kMouseButtons) {
    result.setReal(Truth(held[static_cast<std::size_t>(button)]));
    return;
  }
  result.setReal(Truth(std::find(held.begin() + 1, held.end(), true) == held.end()));
}

void IfAligned(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
               Args a) {
  CInstance* i = AsInstance(self);
  result.setReal(Truth(i && IsAligned(*i, a[0].real, a[1].real)));
}

void ExecuteScript(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                   RValue& result, Args a) {
  FunctionArgs args;
  for (std::size_t k = 0; k < 5; ++k) args[k] = a[k + 1];
  if (!CallScript(rt, IntArg(a[0]), self, other, result, args, 5) && rt.code.error.pending) {
    RuntimeError(rt, rt.code.error.message);
    rt.code.error.pending = false;
  }
}

void Inherited(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue&,
               Args) {
  PerformInherited(rt, AsInstance(self), AsInstance(other));
}

void IfVariable(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  const RValue& value = a[0];
  const RValue& against = a[1];
  if (value.isString() != against.isString()) {
    RuntimeError(rt, "Cannot compare arguments.");
    return;
  }
  const std::int32_t operation = IntArg(a[2]);
  if (value.isString()) {
    const int order = value.str().compare(against.str());
    result.setReal(Truth(Compare(order, 0, operation)));
  } else {
    result.setReal(Truth(Compare(value.real - against.real, 0, operation)));
  }
}

// ---- Score, lives and health ----

void SetScoreAction(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  rt.world.score = RealToInt(Rel(rt, rt.world.score, RoundHalfEven(a[0].real)));
}

void IfScore(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  result.setReal(Truth(Compare(rt.world.score, a[0].real, IntArg(a[1]))));
}

void SetLife(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  SetGameLives(rt, RealToInt(Rel(rt, rt.world.lives, RoundHalfEven(a[0].real))));
}

void IfLife(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  result.setReal(Truth(Compare(rt.world.lives, a[0].real, IntArg(a[1]))));
}

void SetHealthAction(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  SetGameHealth(rt, Rel(rt, rt.world.health, a[0].real));
}

void IfHealth(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  result.setReal(Truth(Compare(rt.world.health, a[0].real, IntArg(a[1]))));
}

// Which parts the window caption shows (a part whose argument is 1) and
// their captions. The game has now chosen, so a score shown appears even
// while it is 0.
void SetCaption(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  RoomState& r = rt.rooms;
  r.showScore = IntArg(a[0]) == 1;
  r.captionScore = a[1].str();
  r.showLives = IntArg(a[2]) == 1;
  r.captionLives = a[3].str();
  r.showHealth = IntArg(a[4]) == 1;
  r.captionHealth = a[5].str();
  r.showScoreSet = true;
}

// Actions kept for old games that do nothing.
void NoEffect(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args) {}

constexpr FunctionDef kActionFunctions[] = {
    {"action_path_old", NoEffect},
    {"action_set_sprite", SetSprite},
    {"action_draw_font", NoEffect},
    {"action_draw_font_old", NoEffect},
    {"action_fill_color", NoEffect},
    {"action_line_color", NoEffect},
    {"action_highscore", NoEffect},
    {"action_move", Move},
    {"action_set_motion", SetMotion},
    {"action_set_hspeed", SetHspeed},
    {"action_set_vspeed", SetVspeed},
    {"action_set_gravity", SetGravity},
    {"action_set_friction", SetFriction},
    {"action_move_point", MovePoint},
    {"action_move_to", MoveTo},
    {"action_move_start", MoveStart},
    {"action_snap", SnapToGrid},
    {"action_reverse_xdir", ReverseX},
    {"action_reverse_ydir", ReverseY},
    {"action_path_end", PathEnd},
    {"action_path_position", PathPosition},
    {"action_path_speed", PathSpeed},
    {"action_kill_object", KillObject},
    {"action_create_object", CreateObject},
    {"action_create_object_motion", CreateObjectMotion},
    {"action_create_object_random", CreateObjectRandom},
    {"action_change_object", ChangeObject},
    {"action_kill_position", KillPosition},
    {"action_sprite_set", SpriteSet},
    {"action_sprite_transform", SpriteTransform},
    {"action_sprite_color", SpriteColor},
    {"action_set_alarm", SetAlarm},
    {"action_set_timeline", SetTimeline},
    {"action_timeline_set", TimelineSet},
    {"action_timeline_start", TimelineStart},
    {"action_timeline_pause", TimelinePause},
    {"action_timeline_stop", TimelineStop},
    {"action_set_timeline_position", TimelinePosition},
    {"action_set_timeline_speed", TimelineSpeed},
    {"action_if_empty", IfEmpty},
    {"action_if_collision", IfCollision},
    {"action_if", If},
    {"action_if_number", IfNumber},
    {"action_if_object", IfObject},
    {"action_if_dice", IfDice},
    {"action_if_mouse", IfMouse},
    {"action_if_aligned", IfAligned},
    {"action_execute_script", ExecuteScript},
    {"action_inherited", Inherited},
    {"action_if_variable", IfVariable},
    {"action_set_score", SetScoreAction},
    {"action_if_score", IfScore},
    {"action_set_life", SetLife},
    {"action_if_life", IfLife},
    {"action_set_health", SetHealthAction},
    {"action_if_health", IfHealth},
    {"action_set_caption", SetCaption},
};

}  // namespace

std::span<const FunctionDef> ActionFunctions() {
  return kActionFunctions;
}

}  // namespace px
