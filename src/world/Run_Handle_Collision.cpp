// Collision events of the step.
#include "world/Run_Handle_Collision.h"

#include "motion/Sprite_Mask.h"
#include "runner/Run_Global.h"
#include "world/Event_Main.h"

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
  i.SetPosition(res, i.x + i.hspeed, i.y + i.vspeed);
  k.SetPosition(res, k.x + k.hspeed, k.y + k.vspeed);
  if (InstancesCollide(res, i, k)) {
    MoveBack(res, i);
    MoveBack(res, k);
  }
}

void CollisionsOfPair(Runtime& rt, std::int32_t a, std::int32_t b) {
  const CInstanceList& list = rt.world.instances;
  const std::size_t count = list.exact(a).size();
  for (std::size_t ii = 0; ii < count; ++ii) {
    if (ii >= list.exact(a).size() || ChangePending(rt)) return;
    CInstance* i = list.exact(a)[ii];
    if (i->deleted) continue;
    const std::size_t first = a == b ? ii : 0;
    const std::size_t others = list.exact(b).size();
    for (std::size_t kk = first; kk < others; ++kk) {
      if (kk >= list.exact(b).size() || ChangePending(rt)) return;
      CInstance* k = list.exact(b)[kk];
      if (InstancesCollide(rt.resources, *i, *k)) CollidePair(rt, *i, *k);
    }
  }
}

}  // namespace

void CollisionEvents(Runtime& rt) {
  // Indexed, as an event may rebuild the pair list.
  for (std::size_t p = 0; p < rt.world.eventLists.collisionPairs().size(); ++p) {
    if (ChangePending(rt)) return;
    const auto [a, b] = rt.world.eventLists.collisionPairs()[p];
    CollisionsOfPair(rt, a, b);
  }
}

}  // namespace px
