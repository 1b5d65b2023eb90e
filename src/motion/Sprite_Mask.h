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

// Whether the instance's sprite or mask exists: only then does its
// bounding box stand for its shape.
bool HasShape(const GameResources& res, const CInstance& inst);

// Whether a room point lies in the instance: by its bounding box, and when
// precise also on a set cell of its mask. False for deleted instances.
bool PointInInstance(const GameResources& res, const CInstance& inst, bool precise, double x,
                     double y);
// Whether a room rectangle, ellipse (given by its bounding rectangle) or
// line segment meets the instance: by its bounding box, and when precise
// also on a set cell. False for deleted instances.
bool RectInInstance(const GameResources& res, const CInstance& inst, bool precise, double x1,
                    double y1, double x2, double y2);
bool EllipseInInstance(const GameResources& res, const CInstance& inst, bool precise, double x1,
                       double y1, double x2, double y2);
bool LineInInstance(const GameResources& res, const CInstance& inst, bool precise, double x1,
                    double y1, double x2, double y2);
// Whether two instances' masks overlap in some pixel.
bool InstancesCollide(const GameResources& res, const CInstance& a, const CInstance& b);

}  // namespace px
