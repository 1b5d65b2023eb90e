// Tests of an instance placed somewhere else for a moment: what it would
// meet there. The instance is moved (its box recomputed) and moved back.
#pragma once

#include <cstdint>

#include "world/Instance_Class.h"

namespace px {

struct WorldCore;

// The first instance obj names that collides with self placed at (x, y),
// or null.
CInstance* InstancePlaceAt(WorldCore& rt, CInstance& self, double x, double y, std::int32_t obj);
// No solid instance collides with self at (x, y).
bool PlaceFree(WorldCore& rt, CInstance& self, double x, double y);
// No instance at all collides with self at (x, y).
bool PlaceEmpty(WorldCore& rt, CInstance& self, double x, double y);
// place_meeting: obj self and other stand for their ids.
bool PlaceMeeting(WorldCore& rt, CInstance& self, CInstance* other, double x, double y,
                  std::int32_t obj);

// Whether x and y lie on the grid of each snap above 0 (within 0.001).
bool IsAligned(const CInstance& inst, double hsnap, double vsnap);

}  // namespace px
