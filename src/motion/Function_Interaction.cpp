// Script functions that test where an instance could go.
#include "motion/Function_Interaction.h"

#include "code/Function_Support.h"
#include "motion/Motion_Place.h"
#include "runner/Run_Global.h"

namespace px {

namespace {

CInstance* AsInstance(CInstanceBase* base) {
  return static_cast<CInstance*>(base);
}

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

constexpr FunctionDef kInteractionFunctions[] = {
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
