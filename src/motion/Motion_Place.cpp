#include "motion/Motion_Place.h"

#include <cmath>

#include "base/Rounding.h"
#include "motion/Motion_Near.h"
#include "motion/Sprite_Mask.h"

namespace px {

namespace {

// Runs test() with self placed at (x, y), then puts it back.
template <class Test>
auto AtPlace(WorldCore& rt, CInstance& self, double x, double y, Test&& test) {
  const double oldX = self.x;
  const double oldY = self.y;
  self.SetPosition(rt.resources, x, y);
  auto result = test();
  self.SetPosition(rt.resources, oldX, oldY);
  return result;
}

}  // namespace

CInstance* InstancePlaceAt(WorldCore& rt, CInstance& self, double x, double y, std::int32_t obj) {
  return AtPlace(rt, self, x, y, [&] {
    return FirstNear(rt, obj, NearBoxOf(self), [&](const CInstance& inst) {
      return InstancesCollide(rt.resources, self, inst);
    });
  });
}

bool PlaceFree(WorldCore& rt, CInstance& self, double x, double y) {
  return AtPlace(rt, self, x, y, [&] {
    return !FirstNear(rt, kAll, NearBoxOf(self), [&](const CInstance& inst) {
      return inst.solid && InstancesCollide(rt.resources, self, inst);
    });
  });
}

bool PlaceEmpty(WorldCore& rt, CInstance& self, double x, double y) {
  return InstancePlaceAt(rt, self, x, y, kAll) == nullptr;
}

bool PlaceMeeting(WorldCore& rt, CInstance& self, CInstance* other, double x, double y,
                  std::int32_t obj) {
  if (obj == kSelf) obj = self.id;
  if (obj == kOther) obj = other ? other->id : kNoone;
  return InstancePlaceAt(rt, self, x, y, obj) != nullptr;
}

bool IsAligned(const CInstance& inst, double hsnap, double vsnap) {
  const auto off = [](double pos, double snap) {
    return snap > 0 && std::fabs(pos - snap * RoundHalfEven(pos / snap)) >= 0.001;
  };
  return !off(inst.x, hsnap) && !off(inst.y, vsnap);
}

}  // namespace px
