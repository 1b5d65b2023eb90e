#include "library/Function_Motion.h"

#include "library/Function_Support.h"
#include "motion/Motion_Move.h"
#include "motion/Motion_Path.h"
#include "resources/Resource_Chunks.h"
#include "run/Run_Room.h"
#include "run/Runtime.h"

namespace px {

namespace {

using Args = const FunctionArgs&;

// A handler that acts on self when self is an instance: F(rt, self, args).
template <void (*F)(Runtime&, CInstance&, Args)>
void OnSelf(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&, Args a) {
  if (CInstance* inst = AsInstance(self)) F(rt, *inst, a);
}

// The "against" argument of the actions: 0 solid instances, 1 all.
Blockers AgainstArg(const RValue& v) {
  return IntArg(v) == 1 ? Blockers::All : Blockers::Solid;
}

// ---- Setting the motion ----

void MotionSet(Runtime&, CInstance& i, Args a) {
  i.SetDirection(a[0].real);
  i.SetSpeed(a[1].real);
}

void MotionAdd(Runtime&, CInstance& i, Args a) {
  i.AddMotion(a[0].real, a[1].real);
}

void TowardsPoint(Runtime&, CInstance& i, Args a) {
  MoveTowardsPoint(i, a[0].real, a[1].real, a[2].real);
}

// ---- Moving ----

void Random(Runtime& rt, CInstance& i, Args a) {
  MoveRandom(rt, i, a[0].real, a[1].real);
}

void Grid(Runtime& rt, CInstance& i, Args a) {
  MoveSnap(rt, i, a[0].real, a[1].real);
}

void Wrap(Runtime& rt, CInstance& i, Args a) {
  MoveWrap(rt, i, FlagArg(a[0]), FlagArg(a[1]), a[2].real);
}

void Contact(Runtime& rt, CInstance& i, Args a) {
  MoveContactOrOutside(rt, i, Blockers::Solid, a[0].real, -1);
}

template <Blockers B>
void ContactWith(Runtime& rt, CInstance& i, Args a) {
  MoveContact(rt, i, B, a[0].real, a[1].real);
}

template <Blockers B>
void OutsideOf(Runtime& rt, CInstance& i, Args a) {
  MoveOutside(rt, i, B, a[0].real, a[1].real);
}

template <Blockers B>
void Bounce(Runtime& rt, CInstance& i, Args a) {
  MoveBounce(rt, i, B, FlagArg(a[0]));
}

// ---- Distances ----

void ToPoint(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  if (const CInstance* inst = AsInstance(self))
    result.setReal(DistanceToPoint(*inst, a[0].real, a[1].real));
}

void ToObject(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t, RValue& result,
              Args a) {
  if (CInstance* inst = AsInstance(self))
    result.setReal(DistanceToObject(rt, *inst, AsInstance(other), IntArg(a[0])));
}

// ---- Paths ----

void Start(Runtime& rt, CInstance& i, Args a) {
  PathStart(rt, i, IntArg(a[0]), a[1].real, IntArg(a[2]), FlagArg(a[3]));
}

void End(Runtime&, CInstance& i, Args) {
  i.path_index = -1;
}

// ---- Actions ----

// Wraps an instance that left the room while moving away from it to the
// other side, one sprite size beyond the edge.
void ActionWrap(Runtime& rt, CInstance& i, Args a) {
  const std::int32_t which = IntArg(a[0]);
  const CRoom* room = CurrentRoomData(rt);
  const double roomW = room ? room->width : 0;
  const double roomH = room ? room->height : 0;
  const CSprite* sprite = rt.resources.sprites.get(i.sprite_index);
  const double w = sprite ? sprite->width() * i.image_xscale : 0;
  const double h = sprite ? sprite->height() * i.image_yscale : 0;
  double x = i.x, y = i.y;
  if (which == 0 || which == 2) {
    if (i.hspeed < 0 && x < 0) x += roomW + w;
    if (i.hspeed > 0 && x >= roomW) x -= roomW + w;
  }
  if (which == 1 || which == 2) {
    if (i.vspeed < 0 && y < 0) y += roomH + h;
    if (i.vspeed > 0 && y >= roomH) y -= roomH + h;
  }
  i.SetPosition(rt.resources, x, y);
}

void ActionContact(Runtime& rt, CInstance& i, Args a) {
  MoveContactOrOutside(rt, i, AgainstArg(a[2]), a[0].real, a[1].real);
}

void ActionBounce(Runtime& rt, CInstance& i, Args a) {
  MoveBounce(rt, i, AgainstArg(a[1]), FlagArg(a[0]));
}

constexpr FunctionDef kMotionFunctions[] = {
    {"motion_set", OnSelf<MotionSet>},
    {"motion_add", OnSelf<MotionAdd>},
    {"move_towards_point", OnSelf<TowardsPoint>},
    {"move_random", OnSelf<Random>},
    {"move_snap", OnSelf<Grid>},
    {"move_wrap", OnSelf<Wrap>},
    {"move_contact", OnSelf<Contact>},
    {"move_contact_solid", OnSelf<ContactWith<Blockers::Solid>>},
    {"move_contact_all", OnSelf<ContactWith<Blockers::All>>},
    {"move_outside_solid", OnSelf<OutsideOf<Blockers::Solid>>},
    {"move_outside_all", OnSelf<OutsideOf<Blockers::All>>},
    {"move_bounce", OnSelf<Bounce<Blockers::Solid>>},
    {"move_bounce_solid", OnSelf<Bounce<Blockers::Solid>>},
    {"move_bounce_all", OnSelf<Bounce<Blockers::All>>},
    {"distance_to_point", ToPoint},
    {"distance_to_object", ToObject},
    {"path_start", OnSelf<Start>},
    {"path_end", OnSelf<End>},
    {"action_move_random", OnSelf<Random>},
    {"action_wrap", OnSelf<ActionWrap>},
    {"action_move_contact", OnSelf<ActionContact>},
    {"action_bounce", OnSelf<ActionBounce>},
    {"action_path", OnSelf<Start>},
};

}  // namespace

std::span<const FunctionDef> MotionFunctions() {
  return kMotionFunctions;
}

}  // namespace px
