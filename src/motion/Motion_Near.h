// Walks over the instances a script argument names that lie near a place,
// through the collision grid: the same instances in the same order as a
// walk over the whole list whose test rejects every instance whose box
// misses the place.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

#include "world/Instance_Class.h"
#include "world/World_Core.h"

namespace px {

// A room rectangle in whole pixels that holds every pixel a test over
// left..right × top..bottom can touch.
struct NearBox {
  std::int64_t left, top, right, bottom;
};

inline NearBox NearRect(double x1, double y1, double x2, double y2) {
  // Far beyond any box, yet safe to shift and multiply.
  constexpr double kFar = 1e12;
  const auto lo = [](double a, double b) {
    const double v = std::floor(std::min(a, b)) - 1;
    return static_cast<std::int64_t>(v >= -kFar ? v : -kFar);
  };
  const auto hi = [](double a, double b) {
    const double v = std::ceil(std::max(a, b)) + 1;
    return static_cast<std::int64_t>(v <= kFar ? v : kFar);
  };
  return {lo(x1, x2), lo(y1, y2), hi(x1, x2), hi(y1, y2)};
}

inline NearBox NearBoxOf(const CInstance& inst) {
  return {inst.bbox_left, inst.bbox_top, inst.bbox_right, inst.bbox_bottom};
}

// The index of inst, an active instance, in list (in instance-list order),
// or list.size() when it is not there. The instances must have been
// numbered by a grid query.
inline std::size_t SlotIndex(std::span<CInstance* const> list, const CInstance& inst) {
  const auto it =
      std::lower_bound(list.begin(), list.end(), inst.grid.slot,
                       [](const CInstance* e, std::uint32_t s) { return e->grid.slot < s; });
  return it != list.end() && *it == &inst ? static_cast<std::size_t>(it - list.begin())
                                          : list.size();
}

// The first instance obj names (every instance, one id or an object's
// family), not deleted, near box, for which pred holds; null if none.
// pred must reject every instance whose box misses box.
template <class P>
CInstance* FirstNear(WorldCore& rt, std::int32_t obj, const NearBox& box, P&& pred) {
  CInstanceList& list = rt.world.instances;
  if (obj >= kFirstInstanceId) {
    CInstance* inst = list.find(obj);
    return inst && pred(*inst) ? inst : nullptr;
  }
  if (obj != kAll && list.family(obj).empty()) return nullptr;
  const auto near = rt.world.grid.Near(list, box.left, box.top, box.right, box.bottom);
  for (CInstance* inst : near) {
    if (inst->deleted) continue;
    if (obj != kAll && SlotIndex(list.family(obj), *inst) == list.family(obj).size()) continue;
    if (pred(*inst)) return inst;
  }
  return nullptr;
}

}  // namespace px
