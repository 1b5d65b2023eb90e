// The collision phase of the step: collision events between instances
// whose masks overlap, with solid instances sent back.
#pragma once

namespace px {

struct Runtime;

// For each collision pair of objects, each overlapping pair of their
// instances raises both instances' events; when either is solid both go
// back to their previous positions before the events, and after them they
// move on by their speeds, going back again if they still collide.
void CollisionEvents(Runtime& rt);

}  // namespace px
