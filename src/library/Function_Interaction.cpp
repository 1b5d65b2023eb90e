// Script functions that test where an instance could go and what lies at
// a point, in a rectangle, ellipse or along a line; making a sprite's
// collision masks anew.
#include "library/Function_Interaction.h"

#include "code/Code_Error.h"
#include "library/Function_Support.h"
#include "motion/Motion_Near.h"
#include "motion/Motion_Place.h"
#include "motion/Sprite_Mask.h"
#include "motion/Sprite_Mask_Build.h"
#include "resources/Resource_Chunks.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

void PlaceFreeFn(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs& args) {
  CInstance* inst = AsInstance(self);
  result.setReal(Truth(!inst || PlaceFree(rt, *inst, args[0].real, args[1].real)));
}

void PlaceEmptyFn(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  CInstance* inst = AsInstance(self);
  result.setReal(Truth(!inst || PlaceEmpty(rt, *inst, args[0].real, args[1].real)));
}

void PlaceMeetingFn(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t,
                    RValue& result, const FunctionArgs& args) {
  CInstance* inst = AsInstance(self);
  result.setReal(Truth(inst && PlaceMeeting(rt, *inst, AsInstance(other), args[0].real,
                                            args[1].real, RealToInt(args[2].real))));
}

void PlaceSnappedFn(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
                    const FunctionArgs& args) {
  CInstance* inst = AsInstance(self);
  result.setReal(Truth(inst && IsAligned(*inst, args[0].real, args[1].real)));
}

// The id of the first instance obj names (all, an id, a family) that the
// shape test meets, not the caller when notme, or -4.
template <auto Test>
void FirstInShape(Runtime& rt, CInstanceBase* self, RValue& result, double x1, double y1, double x2,
                  double y2, const RValue* rest) {
  const std::int32_t obj = IntArg(rest[0]);
  const bool precise = FlagArg(rest[1]);
  const CInstance* skip = FlagArg(rest[2]) ? AsInstance(self) : nullptr;
  const CInstance* found = FirstNear(rt, obj, NearRect(x1, y1, x2, y2), [&](const CInstance& inst) {
    return &inst != skip && Test(rt.resources, inst, precise, x1, y1, x2, y2);
  });
  result.setReal(found ? found->id : kNoone);
}

bool PointTest(const GameResources& res, const CInstance& inst, bool precise, double x, double y,
               double, double) {
  return PointInInstance(res, inst, precise, x, y);
}

void CollisionPointFn(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t,
                      RValue& result, const FunctionArgs& args) {
  FirstInShape<PointTest>(rt, self, result, args[0].real, args[1].real, args[0].real, args[1].real,
                          &args[2]);
}

void CollisionRectangleFn(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t,
                          RValue& result, const FunctionArgs& args) {
  FirstInShape<RectInInstance>(rt, self, result, args[0].real, args[1].real, args[2].real,
                               args[3].real, &args[4]);
}

void CollisionCircleFn(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t,
                       RValue& result, const FunctionArgs& args) {
  const double xc = args[0].real, yc = args[1].real, r = args[2].real;
  FirstInShape<EllipseInInstance>(rt, self, result, xc - r, yc - r, xc + r, yc + r, &args[3]);
}

void CollisionEllipseFn(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t,
                        RValue& result, const FunctionArgs& args) {
  FirstInShape<EllipseInInstance>(rt, self, result, args[0].real, args[1].real, args[2].real,
                                  args[3].real, &args[4]);
}

void CollisionLineFn(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs& args) {
  FirstInShape<LineInInstance>(rt, self, result, args[0].real, args[1].real, args[2].real,
                               args[3].real, &args[4]);
}

void SpriteCollisionMaskFn(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                           const FunctionArgs& args) {
  CSprite* sprite = rt.resources.sprites.get(IntArg(args[0]));
  if (!sprite) {
    RuntimeError(rt, "Trying to set collision mode for non-existing sprite.");
    return;
  }
  BuildMasks(*sprite, {.separate = FlagArg(args[1]),
                       .boxMode = IntArg(args[2]),
                       .left = IntArg(args[3]),
                       .top = IntArg(args[4]),
                       .right = IntArg(args[5]),
                       .bottom = IntArg(args[6]),
                       .shape = IntArg(args[7]),
                       .tolerance = IntArg(args[8])});
}

constexpr FunctionDef kInteractionFunctions[] = {
    {"collision_point", CollisionPointFn},
    {"collision_rectangle", CollisionRectangleFn},
    {"collision_circle", CollisionCircleFn},
    {"collision_ellipse", CollisionEllipseFn},
    {"collision_line", CollisionLineFn},
    {"sprite_collision_mask", SpriteCollisionMaskFn},
    {"place_free", PlaceFreeFn},
    {"place_empty", PlaceEmptyFn},
    {"place_meeting", PlaceMeetingFn},
    {"place_snapped", PlaceSnappedFn},
};

}  // namespace

std::span<const FunctionDef> InteractionFunctions() {
  return kInteractionFunctions;
}

}  // namespace px
