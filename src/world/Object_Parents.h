// Walking an object's parent chain. A parent that names no object ends the
// chain; so does a parent already visited (a loop of parents made at run
// time), so every object is visited at most once.
#pragma once

#include <cstdint>

#include "resources/Resource_Chunks.h"

namespace px {

// Whether `o` is among the first `steps` objects of the chain from `start`.
inline bool InChainPrefix(const GameResources& res, std::int32_t start, std::int32_t o, int steps) {
  std::int32_t p = start;
  for (int i = 0; i < steps; ++i) {
    if (p == o) return true;
    const CObject* obj = res.objects.get(p);
    if (!obj) return false;
    p = obj->parent;
  }
  return false;
}

// Calls f(index, object) for the object and each ancestor, nearest first.
template <class F>
void ForEachInChain(const GameResources& res, std::int32_t object, F&& f) {
  std::int32_t o = object;
  for (int depth = 0; depth <= res.objects.count(); ++depth) {
    const CObject* obj = res.objects.get(o);
    if (!obj || InChainPrefix(res, object, o, depth)) return;
    f(o, *obj);
    o = obj->parent;
  }
}

}  // namespace px
