// Script functions that create, change, destroy, find, count, deactivate
// and activate instances.
#include "library/Function_Instance.h"

#include <string>

#include "code/Code_Error.h"
#include "library/Function_Support.h"
#include "motion/Motion_Near.h"
#include "motion/Motion_Place.h"
#include "motion/Sprite_Mask.h"
#include "resources/Resource_Chunks.h"
#include "run/Event_Main.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"
#include "world/Instance_Match.h"
#include "world/Object_Parents.h"

namespace px {

namespace {

double IdOf(const CInstance* inst) {
  return inst ? inst->id : kNoone;
}

// self and other stand for themselves when present and not deleted.
CInstance* SelfOrOther(CInstanceBase* self, CInstanceBase* other, std::int32_t obj) {
  CInstance* inst = AsInstance(obj == kSelf ? self : other);
  return inst && !inst->deleted ? inst : nullptr;
}

CInstance* InstanceAtPoint(Runtime& rt, double x, double y, std::int32_t obj) {
  return FirstNear(rt, obj, NearRect(x, y, x, y), [&](const CInstance& inst) {
    return PointInInstance(rt.resources, inst, true, x, y);
  });
}

// ---- Creating, changing and destroying ----

void InstanceCreate(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                    const FunctionArgs& args) {
  result.setReal(IdOf(CreateInstanceWithEvent(rt, IntArg(args[2]), args[0].real, args[1].real)));
}

void InstanceCopy(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  CInstance* inst = AsInstance(self);
  result.setReal(inst ? CopyInstance(rt, *inst, FlagArg(args[0])).id : kNoone);
}

void InstanceDestroy(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                     const FunctionArgs&) {
  if (CInstance* inst = AsInstance(self)) DestroyInstance(rt, *inst);
}

// Reports a missing object; false then.
bool ChangeTargetExists(Runtime& rt, std::int32_t obj) {
  if (rt.resources.objects.exists(obj)) return true;
  RuntimeError(rt, "Asking to change into non-existing object: " + std::to_string(obj));
  return false;
}

void InstanceChange(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                    const FunctionArgs& args) {
  const std::int32_t obj = IntArg(args[0]);
  CInstance* inst = AsInstance(self);
  if (!ChangeTargetExists(rt, obj) || !inst) return;
  ChangeInstance(rt, *inst, obj, FlagArg(args[1]));
}

void InstanceSprite(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                    const FunctionArgs& args) {
  const std::int32_t sprite = IntArg(args[0]);
  if (!rt.resources.sprites.exists(sprite)) {
    RuntimeError(rt, "Setting instance to non-existing sprite: " + std::to_string(sprite));
    return;
  }
  if (CInstance* inst = AsInstance(self)) inst->SetSprite(rt.resources, sprite);
}

// ---- Searches ----

void InstanceExists(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                    RValue& result, const FunctionArgs& args) {
  const std::int32_t obj = IntArg(args[0]);
  if (obj == kSelf || obj == kOther) {
    result.setReal(Truth(SelfOrOther(self, other, obj) != nullptr));
    return;
  }
  result.setReal(
      Truth(FirstMatch(rt.world.instances, obj, [](const CInstance&) { return true; }) != nullptr));
}

void InstanceNumber(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                    RValue& result, const FunctionArgs& args) {
  result.setReal(CountInstances(rt, self, other, IntArg(args[0])));
}

void InstanceFind(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  std::int64_t n = RealToInt64(args[1].real);
  const CInstance* found =
      FirstMatch(rt.world.instances, IntArg(args[0]), [&](const CInstance&) { return n-- == 0; });
  result.setReal(IdOf(found));
}

void InstancePosition(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                      const FunctionArgs& args) {
  result.setReal(IdOf(InstanceAtPoint(rt, args[0].real, args[1].real, IntArg(args[2]))));
}

// The instance with the best squared distance from (x, y): `better` decides
// between a candidate's distance and the best so far, starting at `bound`.
template <class Better>
void Closest(Runtime& rt, const FunctionArgs& args, RValue& result, double bound, Better better) {
  const std::int32_t obj = IntArg(args[2]);
  if (obj >= kFirstInstanceId) {
    result.setReal(kNoone);
    return;
  }
  const double x = args[0].real;
  const double y = args[1].real;
  const CInstance* best = nullptr;
  ForEachMatch(rt.world.instances, obj, [&](const CInstance& inst) {
    const double d = (inst.x - x) * (inst.x - x) + (inst.y - y) * (inst.y - y);
    if (better(d, bound)) {
      bound = d;
      best = &inst;
    }
    return true;
  });
  result.setReal(IdOf(best));
}

void InstanceNearest(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs& args) {
  Closest(rt, args, result, 1e10, [](double d, double best) { return d < best; });
}

void InstanceFurthest(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                      const FunctionArgs& args) {
  Closest(rt, args, result, -1, [](double d, double best) { return d > best; });
}

void InstancePlaceFn(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs& args) {
  CInstance* inst = AsInstance(self);
  result.setReal(inst
                     ? IdOf(InstancePlaceAt(rt, *inst, args[0].real, args[1].real, IntArg(args[2])))
                     : kNoone);
}

void PositionEmpty(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                   const FunctionArgs& args) {
  result.setReal(Truth(InstanceAtPoint(rt, args[0].real, args[1].real, kAll) == nullptr));
}

void PositionMeeting(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                     RValue& result, const FunctionArgs& args) {
  std::int32_t obj = IntArg(args[2]);
  if (obj == kSelf || obj == kOther) {
    const CInstance* inst = AsInstance(obj == kSelf ? self : other);
    obj = inst ? inst->id : kNoone;
  }
  result.setReal(Truth(InstanceAtPoint(rt, args[0].real, args[1].real, obj) != nullptr));
}

// Calls f for every instance of the list that contains the point, with the
// count fixed before the walk.
template <class F>
void ForEachAtPoint(Runtime& rt, double x, double y, F&& f) {
  ForEachMatch(rt.world.instances, kAll, [&](CInstance& inst) {
    if (PointInInstance(rt.resources, inst, true, x, y)) f(inst);
    return true;
  });
}

void PositionDestroy(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                     const FunctionArgs& args) {
  DestroyAtPoint(rt, args[0].real, args[1].real);
}

void PositionChange(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                    const FunctionArgs& args) {
  const std::int32_t obj = IntArg(args[2]);
  if (!ChangeTargetExists(rt, obj)) return;
  const bool events = FlagArg(args[3]);
  ForEachAtPoint(rt, args[0].real, args[1].real,
                 [&](CInstance& inst) { ChangeInstance(rt, inst, obj, events); });
}

// ---- Deactivation and activation ----

// Whether an instance counts as inside a region: by its bounding box when
// it has a shape sprite, else by its position in the closed rectangle.
bool InRegion(const GameResources& res, const CInstance& inst, const FunctionArgs& args) {
  const double left = args[0].real, top = args[1].real;
  const double width = args[2].real, height = args[3].real;
  if (res.sprites.exists(inst.shapeSprite()))
    return left <= inst.bbox_right && left + width >= inst.bbox_left && top <= inst.bbox_bottom &&
           top + height >= inst.bbox_top;
  return inst.x >= left && inst.x <= left + width && inst.y >= top && inst.y <= top + height;
}

// Whether an instance is of obj or of one of its descendants.
bool OfObject(const GameResources& res, const CInstance& inst, std::int32_t obj) {
  bool found = inst.object_index == obj;
  ForEachInChain(res, inst.object_index,
                 [&](std::int32_t o, const CObject&) { found |= o == obj; });
  return found;
}

// Whether an instance answers to obj: self, other, all, its id or its object.
bool Names(const Runtime& rt, const CInstance& inst, std::int32_t obj, CInstanceBase* self,
           CInstanceBase* other) {
  switch (obj) {
    case kSelf:
      return &inst == self;
    case kOther:
      return &inst == other;
    case kAll:
      return true;
    default:
      if (obj >= kFirstInstanceId) return inst.id == obj;
      return obj >= 0 && OfObject(rt.resources, inst, obj);
  }
}

// Sets the mark of the listed instances for which pred holds, then moves
// instances between the lists.
template <class P>
void Mark(Runtime& rt, bool activeList, bool mark, P&& pred) {
  CInstanceList& list = rt.world.instances;
  for (const auto& inst : activeList ? list.active() : list.deactivated()) {
    if (pred(*inst)) inst->deactivated = mark;
  }
  list.ApplyDeactivation(rt.resources);
}

// Leaves the calling instance active when asked to.
void KeepSelf(CInstanceBase* self, bool notme) {
  if (notme && self) AsInstance(self)->deactivated = false;
}

void DeactivateAll(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                   const FunctionArgs& args) {
  CInstanceList& list = rt.world.instances;
  for (const auto& inst : list.active()) inst->deactivated = true;
  KeepSelf(self, FlagArg(args[0]));
  list.ApplyDeactivation(rt.resources);
}

void DeactivateObject(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue&,
                      const FunctionArgs& args) {
  const std::int32_t obj = IntArg(args[0]);
  Mark(rt, true, true, [&](const CInstance& inst) { return Names(rt, inst, obj, self, other); });
}

void DeactivateRegion(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
                      const FunctionArgs& args) {
  const bool inside = FlagArg(args[4]);
  CInstanceList& list = rt.world.instances;
  for (const auto& inst : list.active()) {
    if (InRegion(rt.resources, *inst, args) == inside) inst->deactivated = true;
  }
  KeepSelf(self, FlagArg(args[5]));
  list.ApplyDeactivation(rt.resources);
}

void ActivateAll(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                 const FunctionArgs&) {
  Mark(rt, false, false, [](const CInstance&) { return true; });
}

void ActivateObject(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue&,
                    const FunctionArgs& args) {
  const std::int32_t obj = IntArg(args[0]);
  Mark(rt, false, false, [&](const CInstance& inst) { return Names(rt, inst, obj, self, other); });
}

void ActivateRegion(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                    const FunctionArgs& args) {
  const bool inside = FlagArg(args[4]);
  Mark(rt, false, false,
       [&](const CInstance& inst) { return InRegion(rt.resources, inst, args) == inside; });
}

constexpr FunctionDef kInstanceFunctions[] = {
    {"instance_find", InstanceFind},
    {"instance_exists", InstanceExists},
    {"instance_number", InstanceNumber},
    {"instance_position", InstancePosition},
    {"instance_nearest", InstanceNearest},
    {"instance_furthest", InstanceFurthest},
    {"instance_place", InstancePlaceFn},
    {"instance_create", InstanceCreate},
    {"instance_copy", InstanceCopy},
    {"instance_change", InstanceChange},
    {"instance_destroy", InstanceDestroy},
    {"instance_sprite", InstanceSprite},
    {"position_empty", PositionEmpty},
    {"position_meeting", PositionMeeting},
    {"position_destroy", PositionDestroy},
    {"position_change", PositionChange},
    {"instance_deactivate_all", DeactivateAll},
    {"instance_deactivate_object", DeactivateObject},
    {"instance_deactivate_region", DeactivateRegion},
    {"instance_activate_all", ActivateAll},
    {"instance_activate_object", ActivateObject},
    {"instance_activate_region", ActivateRegion},
};

}  // namespace

double CountInstances(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t obj) {
  if (obj == kSelf || obj == kOther) return Truth(SelfOrOther(self, other, obj) != nullptr);
  double count = 0;
  ForEachMatch(rt.world.instances, obj, [&](const CInstance&) {
    ++count;
    return true;
  });
  return count;
}

void DestroyAtPoint(Runtime& rt, double x, double y) {
  ForEachAtPoint(rt, x, y, [&](CInstance& inst) { DestroyInstance(rt, inst); });
}

std::span<const FunctionDef> InstanceFunctions() {
  return kInstanceFunctions;
}

}  // namespace px
