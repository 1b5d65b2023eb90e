// One step of the game: every phase in its fixed order.
#pragma once

namespace px {

struct Runtime;

// Runs one step; a change requested by a phase's events ends it after
// that phase.
void RunStep(Runtime& rt);

}  // namespace px
