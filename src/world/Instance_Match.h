// Walking the instances a script argument names: every instance (all),
// one instance id, or the family of an object.
#pragma once

#include <cstdint>

#include "world/Instance_Class.h"
#include "world/Object_Lists.h"

namespace px {

// Calls f(instance) for each instance obj names, in list order: every
// instance (−3), one id, or an object's family. Deleted instances are
// skipped; instances added meanwhile are not visited. f returns false to
// stop the walk.
template <class F>
void ForEachMatch(CInstanceList& list, std::int32_t obj, F&& f) {
  if (obj >= kFirstInstanceId) {
    if (CInstance* inst = list.find(obj)) f(*inst);
    return;
  }
  if (obj == kAll) {
    const std::size_t count = list.size();
    for (std::size_t i = 0; i < count && i < list.size(); ++i) {
      CInstance& inst = list.at(i);
      if (!inst.deleted && !f(inst)) return;
    }
    return;
  }
  const std::size_t count = list.family(obj).size();
  for (std::size_t i = 0; i < count; ++i) {
    const auto family = list.family(obj);
    if (i >= family.size()) return;
    CInstance& inst = *family[i];
    if (!inst.deleted && !f(inst)) return;
  }
}

// The first instance obj names for which pred holds, or null.
template <class P>
CInstance* FirstMatch(CInstanceList& list, std::int32_t obj, P&& pred) {
  CInstance* found = nullptr;
  ForEachMatch(list, obj, [&](CInstance& inst) {
    if (!pred(inst)) return true;
    found = &inst;
    return false;
  });
  return found;
}

}  // namespace px
