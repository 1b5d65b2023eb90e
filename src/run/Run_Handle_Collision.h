// The collision phase of the step: collision events between instances
// whose masks overlap, with solid instances sent back.
#pragma once

namespace px {

struct Runtime;

// How the phase finds the instances that may meet: through the collision
// grid, or by testing every pair (slower, the same events in the same
// order; kept to check the grid against).
enum class CollisionSearch { Grid, AllPairs };

// For each collision pair of objects, each overlapping pair of their
// instances raises both instances' events; when either is solid both go
// back to their previous positions before the events, and after them they
// move on by their speeds, going back again if they still collide.
void CollisionEvents(Runtime& rt, CollisionSearch search);
inline void CollisionEvents(Runtime& rt) {
  CollisionEvents(rt, CollisionSearch::Grid);
}

}  // namespace px
