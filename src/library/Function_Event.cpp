// Script functions that run events on request: event_perform, event_user,
// event_perform_object and event_inherited.
#include "code/Code_Value.h"
#include "library/Function_Instance.h"
#include "library/Function_Support.h"
#include "resources/Resource_Chunks.h"
#include "run/Event_Main.h"
#include "run/Runtime.h"

namespace px {

namespace {

void EventPerform(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue&,
                  const FunctionArgs& args) {
  PerformEvent(rt, AsInstance(self), AsInstance(other), RealToInt(args[0].real),
               RealToInt(args[1].real));
}

void EventUser(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue&,
               const FunctionArgs& args) {
  PerformEvent(rt, AsInstance(self), AsInstance(other), static_cast<std::int32_t>(EventKind::Other),
               RealToInt(args[0].real) + kEvUser0);
}

void EventPerformObject(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                        RValue&, const FunctionArgs& args) {
  PerformObjectEvent(rt, AsInstance(self), AsInstance(other), RealToInt(args[0].real),
                     RealToInt(args[1].real), RealToInt(args[2].real));
}

void EventInherited(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue&,
                    const FunctionArgs&) {
  PerformInherited(rt, AsInstance(self), AsInstance(other));
}

constexpr FunctionDef kEventFunctions[] = {
    {"event_inherited", EventInherited},
    {"event_perform", EventPerform},
    {"event_user", EventUser},
    {"event_perform_object", EventPerformObject},
};

}  // namespace

std::span<const FunctionDef> EventFunctions() {
  return kEventFunctions;
}

}  // namespace px
