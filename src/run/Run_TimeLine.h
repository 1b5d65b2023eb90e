// Time lines at run time: each instance that follows one advances its
// position every step and performs the moments it passes.
#pragma once

#include <cstdint>

namespace px {

struct Runtime;
class CEvent;
class CInstance;
class CTimeLine;

// Advances the time line of every instance of the room, in list order,
// over the instances present when the pass starts.
void AdvanceTimeLines(Runtime& rt);
// Advances one instance's time line and performs the moments passed.
void AdvanceTimeLine(Runtime& rt, CInstance& inst);
// Runs moment m of time line `line` with the instance as self and other,
// under the time line's event context; nothing while a change is pending.
void PerformMoment(Runtime& rt, CInstance& inst, std::int32_t line, std::size_t m);

// The moment with this step, made at its sorted place when absent.
CEvent& AddMoment(CTimeLine& line, std::int32_t step);
// Removes the moment with exactly this step, if there is one.
void RemoveMoment(CTimeLine& line, std::int32_t step);

}  // namespace px
