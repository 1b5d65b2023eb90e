// Objects changed and made by game code: their properties, parents and
// events. New objects are appended as "__newobject" + number. Changes of
// parents and events rebuild the event object lists, so the next raise of
// an event sees them; an event that is running when its object's events
// change finishes on the actions it started with.
#include "library/Function_Object.h"

#include <algorithm>
#include <string>

#include "code/Code_Error.h"
#include "library/Function_Support.h"
#include "run/Action_Class.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

#define PX_OBJECT_FN(name)                                                              \
  void name([[maybe_unused]] Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

CObject* ObjectArg(Runtime& rt, const RValue& v) {
  return rt.resources.objects.get(IntArg(v));
}

// Sets a field of an existing object from the second argument.
template <auto Field, auto Convert>
void SetField(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  if (CObject* obj = ObjectArg(rt, a[0])) obj->*Field = Convert(a[1]);
}

void RebuildEventLists(Runtime& rt) {
  rt.world.eventLists.Build(rt.resources);
}

// Moves the object's event tables out of play (kept until a later step)
// and, when asked, gives the object copies of them to change. Tables
// retired by earlier steps are freed: no event runs across steps.
void RetireEvents(Runtime& rt, CObject& obj, bool keepCopy) {
  std::erase_if(rt.retiredEvents, [&](const RetiredEvents& r) { return r.step < rt.run.steps; });
  RetiredEvents retired{rt.run.steps, std::move(obj.events)};
  obj.events = {};
  if (keepCopy) obj.events = retired.events;
  rt.retiredEvents.push_back(std::move(retired));
}

PX_OBJECT_FN(SetParent) {
  const std::int32_t index = IntArg(a[0]);
  CObject* obj = rt.resources.objects.get(index);
  if (!obj) return;
  const std::int32_t parent = IntArg(a[1]);
  if (parent < 0) {
    obj->parent = -1;
  } else {
    if (!rt.resources.objects.exists(parent)) {
      RuntimeError(rt, "Setting a non-existing parent.");
      return;
    }
    // The walk up from the parent ends at a missing object or, should the
    // chain already loop, once every object could have been passed.
    std::int32_t p = parent;
    for (int step = 0; step <= rt.resources.objects.count() && p >= 0; ++step) {
      if (p == index) {
        RuntimeError(rt, "Creating a cycle in the parent relation.");
        return;
      }
      const CObject* up = rt.resources.objects.get(p);
      p = up ? up->parent : -1;
    }
    obj->parent = parent;
  }
  RebuildEventLists(rt);
}

PX_OBJECT_FN(Add) {
  ResourceList<CObject>& objects = rt.resources.objects;
  result.setReal(objects.add("__newobject" + std::to_string(objects.count()), CObject{}));
}

PX_OBJECT_FN(Delete) {
  const std::int32_t index = IntArg(a[0]);
  CObject* obj = rt.resources.objects.get(index);
  if (!obj) {
    RuntimeError(rt, "Trying to delete non-existing object.");
    return;
  }
  RetireEvents(rt, *obj, false);
  rt.resources.objects.remove(index);
  result.setReal(1);
}

bool KindArg(const RValue& v, std::int32_t& kind) {
  kind = IntArg(v);
  return kind >= 0 && kind < CObject::kEventKinds;
}

PX_OBJECT_FN(EventClear) {
  CObject* obj = ObjectArg(rt, a[0]);
  std::int32_t kind = 0;
  if (!obj || !KindArg(a[1], kind)) return;
  const std::int32_t number = IntArg(a[2]);
  const CEvent* event = obj->event(kind, number);
  if (!event || event->empty()) return;
  RetireEvents(rt, *obj, true);
  obj->eventSlot(kind, number).actions.clear();
  RebuildEventLists(rt);
}

PX_OBJECT_FN(EventAdd) {
  const std::int32_t index = IntArg(a[0]);
  CObject* obj = rt.resources.objects.get(index);
  std::int32_t kind = 0;
  const std::int32_t number = IntArg(a[2]);
  if (!obj || !KindArg(a[1], kind) || number < 0) return;
  RetireEvents(rt, *obj, true);
  CEvent& event = obj->eventSlot(kind, number);
  event.actions.push_back(MakeCodeAction(a[3].str()));
  // Prepared as the loaded actions are, so a compile error names this
  // object, event and action.
  const CurrentEvent saved = rt.event;
  rt.event = {kind, number, index, static_cast<std::int32_t>(event.actions.size() - 1)};
  PrepareAction(rt, event.actions.back());
  rt.event = saved;
  RebuildEventLists(rt);
}

#undef PX_OBJECT_FN

constexpr auto kSprite = &CObject::sprite_index;
constexpr auto kDepth = &CObject::depth;
constexpr auto kMask = &CObject::mask;

constexpr FunctionDef kObjectFunctions[] = {
    {"object_set_sprite", SetField<kSprite, IntArg>},
    {"object_set_solid", SetField<&CObject::solid, FlagArg>},
    {"object_set_visible", SetField<&CObject::visible, FlagArg>},
    {"object_set_depth", SetField<kDepth, IntArg>},
    {"object_set_persistent", SetField<&CObject::persistent, FlagArg>},
    {"object_set_mask", SetField<kMask, IntArg>},
    {"object_set_parent", SetParent},
    {"object_add", Add},
    {"object_delete", Delete},
    {"object_event_clear", EventClear},
    {"object_event_add", EventAdd},
};

}  // namespace

std::span<const FunctionDef> ObjectFunctions() {
  return kObjectFunctions;
}

}  // namespace px
