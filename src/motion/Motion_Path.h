// Instances following path resources: starting a path and the step along
// it, with the end actions stop, restart, continue and reverse.
#pragma once

#include <cstdint>

#include "world/Instance_Class.h"

namespace px {

struct WorldCore;

// What an instance does when it reaches an end of its path.
enum class PathEndAction : std::int32_t { Stop = 0, Restart = 1, Continue = 2, Reverse = 3 };

// Starts following a path at speed (negative: from the end backwards);
// absolute places the instance on the path, otherwise the path is followed
// from where the instance stands. A negative path index only sets the
// index; a missing path or one of no length stops any path.
void PathStart(WorldCore& rt, CInstance& inst, std::int32_t path, double speed,
               std::int32_t endaction, bool absolute);

// Advances the instance along its path and places it there; its speed
// becomes 0 and its direction shows the way it moved. True when an end of
// the path was reached in this step.
bool PathStep(WorldCore& rt, CInstance& inst);

}  // namespace px
