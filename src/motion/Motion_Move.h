// Moving instances: the per-step pull of friction and gravity, and the
// movements game code asks for (towards a point, to a random free place,
// to the grid, around the room, up to or out of other instances, bouncing
// off them) and the distances it measures.
#pragma once

#include <cstdint>

#include "world/Instance_Class.h"

namespace px {

struct WorldCore;

// Which instances block a movement: the solid ones, or all of them.
enum class Blockers { Solid, All };

// Friction slows the speed towards 0 (never past it); gravity then adds its
// pull.
void ApplyFrictionAndGravity(CInstance& inst);

// Moves towards (x, y) at speed sp; each setter acts only on a change.
void MoveTowardsPoint(CInstance& inst, double x, double y, double sp);
// Up to 100 random tries for a place, snapped down to the grid, that is
// free of solid instances and keeps the box inside the room.
void MoveRandom(WorldCore& rt, CInstance& inst, double hsnap, double vsnap);
// Rounds the position to the grid of each snap above 0.
void MoveSnap(WorldCore& rt, CInstance& inst, double hsnap, double vsnap);
// Puts an instance that left the room by more than margin on the other side.
void MoveWrap(WorldCore& rt, CInstance& inst, bool hor, bool vert, double margin);
// Steps of one pixel towards dir while the next place stays free, at most
// maxdist steps (1000 when maxdist is 0 or less). Nothing when the instance
// is not free where it is.
void MoveContact(WorldCore& rt, CInstance& inst, Blockers against, double dir, double maxdist);
// Steps of one pixel towards dir while the place is not free.
void MoveOutside(WorldCore& rt, CInstance& inst, Blockers against, double dir, double maxdist);
// Up to contact when free here, out of the blockers when not.
void MoveContactOrOutside(WorldCore& rt, CInstance& inst, Blockers against, double dir,
                          double maxdist);
// Turns the motion away from the blockers it would run into.
void MoveBounce(WorldCore& rt, CInstance& inst, Blockers against, bool advanced);

// The distance from the bounding box to a point.
double DistanceToPoint(const CInstance& inst, double x, double y);
// The smallest box-to-box distance to the instances obj names (other, all,
// an id, an object's family); 1,000,000 when none counts.
double DistanceToObject(WorldCore& rt, CInstance& self, CInstance* other, std::int32_t obj);

}  // namespace px
