// Triggers: conditions compiled once before the first room, tested at their
// moment of the step for every instance of the objects that listen to them.
#pragma once

#include <cstdint>

namespace px {

struct Runtime;

// Compiles every trigger's condition in number order. The first that does
// not compile is reported as a fatal error, and preparation fails.
bool PrepareTriggers(Runtime& rt);

// Tests the triggers of moment m (1 begin step, 0 normal step, 2 end step)
// and runs the trigger event of every instance whose condition holds.
void CheckTriggers(Runtime& rt, std::int32_t moment);

}  // namespace px
