// Collision events of the step.
#include "run/Run_Handle_Collision.h"

#include <algorithm>

#include "motion/Motion_Near.h"
#include "motion/Motion_Path.h"
#include "motion/Sprite_Mask.h"
#include "run/Event_Main.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr std::int32_t kCollisionKind = 4;

void MoveBack(const GameResources& res, CInstance& inst) {
  inst.SetPosition(res, inst.xprevious, inst.yprevious);
  inst.path_position = inst.path_positionprevious;
}

// Events of i with k's object and of k with i's object, solids handled.
void CollidePair(Runtime& rt, CInstance& i, CInstance& k) {
  const GameResources& res = rt.resources;
  if (i.solid || k.solid) {
    MoveBack(res, i);
    MoveBack(res, k);
  }
  PerformEvent(rt, &i, &k, kCollisionKind, k.object_index);
  PerformEvent(rt, &k, &i, kCollisionKind, i.object_index);
  if (!(i.solid || k.solid)) return;
  // Both paths advance again before the move by the speeds.
  PathStep(rt, i);
  PathStep(rt, k);
  i.SetPosition(res, i.x + i.hspeed, i.y + i.vspeed);
  k.SetPosition(res, k.x + k.hspeed, k.y + k.vspeed);
  if (InstancesCollide(res, i, k)) {
    MoveBack(res, i);
    MoveBack(res, k);
  }
}

// Calls walk(i, first, others) for each live instance i of a's list (its
// count taken at the start): b's instances first .. others - 1 are the ones
// to visit. A walk returning false ends the pair.
template <class Walk>
void ForEachOfA(Runtime& rt, std::int32_t a, std::int32_t b, Walk&& walk) {
  const CInstanceList& list = rt.world.instances;
  const std::size_t count = list.exact(a).size();
  for (std::size_t ii = 0; ii < count; ++ii) {
    if (ii >= list.exact(a).size() || ChangePending(rt)) return;
    CInstance* i = list.exact(a)[ii];
    if (i->deleted) continue;
    if (!walk(*i, a == b ? ii : 0, list.exact(b).size())) return;
  }
}

// The plain walk: every instance of b for every instance of a.
void CollisionsOfPairAll(Runtime& rt, std::int32_t a, std::int32_t b) {
  const CInstanceList& list = rt.world.instances;
  ForEachOfA(rt, a, b, [&](CInstance& i, std::size_t first, std::size_t others) {
    for (std::size_t kk = first; kk < others; ++kk) {
      if (kk >= list.exact(b).size() || ChangePending(rt)) return false;
      CInstance* k = list.exact(b)[kk];
      if (InstancesCollide(rt.resources, i, *k)) CollidePair(rt, i, *k);
    }
    return true;
  });
}

// The same walk, visiting of b's instances only those the grid finds near
// i. Nothing changes between two events, so after each event the grid is
// asked again and the walk goes on after the instance just met.
void CollisionsOfPairNear(Runtime& rt, std::int32_t a, std::int32_t b) {
  const CInstanceList& list = rt.world.instances;
  ForEachOfA(rt, a, b, [&](CInstance& i, std::size_t next, std::size_t others) {
    for (bool met = true; met;) {
      met = false;
      const NearBox box = NearBoxOf(i);
      const auto near = rt.world.grid.Near(list, box.left, box.top, box.right, box.bottom);
      const auto exact = list.exact(b);
      for (CInstance* k : near) {
        const std::size_t kk = SlotIndex(exact, *k);
        if (kk == exact.size() || kk < next) continue;
        if (kk >= others) break;
        if (!InstancesCollide(rt.resources, i, *k)) continue;
        CollidePair(rt, i, *k);
        if (ChangePending(rt)) return false;
        next = kk + 1;
        met = true;
        break;
      }
    }
    // The plain walk ends the pair when b's list has shrunk under it.
    return list.exact(b).size() >= others;
  });
}

}  // namespace

void CollisionEvents(Runtime& rt, CollisionSearch search) {
  // Indexed, as an event may rebuild the pair list.
  for (std::size_t p = 0; p < rt.world.eventLists.collisionPairs().size(); ++p) {
    if (ChangePending(rt)) return;
    const auto [a, b] = rt.world.eventLists.collisionPairs()[p];
    if (search == CollisionSearch::Grid)
      CollisionsOfPairNear(rt, a, b);
    else
      CollisionsOfPairAll(rt, a, b);
  }
}

}  // namespace px
