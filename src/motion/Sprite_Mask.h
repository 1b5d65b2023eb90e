// The shape of an instance in the room: its mask placed at its position,
// scaled and rotated; point and instance-to-instance tests on it.
#pragma once

#include "world/Instance_Class.h"

namespace px {

struct GameResources;
class TMask;

// The mask of the instance's shape for its current sub-image, or null when
// the shape sprite is missing or has no images (such an instance never
// collides in a precise test).
const TMask* ShapeMask(const GameResources& res, const CInstance& inst);

// Whether a room point lies in the instance: by its bounding box, and when
// precise also on a set cell of its mask. False for deleted instances.
bool PointInInstance(const GameResources& res, const CInstance& inst, bool precise, double x,
                     double y);
// Whether two instances' masks overlap in some pixel.
bool InstancesCollide(const GameResources& res, const CInstance& a, const CInstance& b);

}  // namespace px
