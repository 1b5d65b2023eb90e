// The step's walk for raising an event: the event's object list in
// ascending order, each object's exact instances, counts taken before each
// walk, deleted instances skipped, and one look-up per object.
#pragma once

#include "run/Event_Main.h"
#include "run/Runtime.h"

namespace px {

// Runs the event for each such instance for which the test holds.
template <class Test>
void RaiseEventWhere(Runtime& rt, std::int32_t kind, std::int32_t number, Test test) {
  const CInstanceList& list = rt.world.instances;
  for (const std::int32_t object : rt.world.eventLists.objects(kind, number)) {
    if (ChangePending(rt)) return;
    const RFoundEvent found = FindEvent(rt.resources, object, kind, number);
    if (!found) continue;
    const std::size_t count = list.exact(object).size();
    for (std::size_t i = 0; i < count; ++i) {
      const auto exact = list.exact(object);
      if (i >= exact.size() || ChangePending(rt)) break;
      CInstance* inst = exact[i];
      if (!inst->deleted && test(*inst)) RunEvent(rt, inst, inst, found, kind, number);
    }
  }
}

}  // namespace px
