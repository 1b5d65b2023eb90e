#include "run/Run_TimeLine.h"

#include <algorithm>
#include <cstddef>

#include "resources/Resource_Chunks.h"
#include "run/Event_Action.h"
#include "run/Event_Main.h"
#include "run/Event_Name.h"
#include "run/Runtime.h"

namespace px {

namespace {

// The index of the first moment whose step is >= position (the count when
// none is).
std::ptrdiff_t FirstAtOrAfter(const CTimeLine& line, double position) {
  const auto it = std::lower_bound(line.steps.begin(), line.steps.end(), position,
                                   [](std::int32_t step, double p) { return step < p; });
  return it - line.steps.begin();
}

// The index of the last moment whose step is <= position (−1 when none is).
std::ptrdiff_t LastAtOrBefore(const CTimeLine& line, double position) {
  const auto it = std::upper_bound(line.steps.begin(), line.steps.end(), position,
                                   [](double p, std::int32_t step) { return p < step; });
  return (it - line.steps.begin()) - 1;
}

}  // namespace

void PerformMoment(Runtime& rt, CInstance& inst, std::int32_t line, std::size_t m) {
  if (ChangePending(rt)) return;
  const CTimeLine* tl = rt.resources.timeLines.get(line);
  if (!tl || m >= tl->events.size() || m >= tl->steps.size()) return;
  // The moment's code may change or delete its own time line; it runs from
  // a copy of its action list.
  const CEvent event = tl->events[m];
  const CurrentEvent saved = rt.event;
  rt.event.type = kTimeLineEvent;
  rt.event.object = line;
  rt.event.number = tl->steps[m];
  RunActions(rt, &inst, &inst, event);
  rt.event = saved;
}

void AdvanceTimeLine(Runtime& rt, CInstance& inst) {
  const std::int32_t index = inst.timeline_index;
  const CTimeLine* line = rt.resources.timeLines.get(index);
  if (!line || line->steps.empty() || !inst.timeline_running || inst.timeline_speed == 0) return;
  const double speed = inst.timeline_speed;
  const double old = inst.timeline_position;
  const double position = old + speed;
  inst.timeline_position = position;
  if (speed > 0) {
    const std::ptrdiff_t first = FirstAtOrAfter(*line, old);
    const std::ptrdiff_t end = FirstAtOrAfter(*line, position);
    for (std::ptrdiff_t m = first; m < end; ++m)
      PerformMoment(rt, inst, index, static_cast<std::size_t>(m));
  } else {
    const std::ptrdiff_t first = LastAtOrBefore(*line, old);
    const std::ptrdiff_t last = LastAtOrBefore(*line, position);
    for (std::ptrdiff_t m = first; m > last; --m)
      PerformMoment(rt, inst, index, static_cast<std::size_t>(m));
  }
  // The wrap comes after the moments; a moment may have emptied the line.
  if (!inst.timeline_loop) return;
  line = rt.resources.timeLines.get(index);
  if (!line || line->steps.empty()) return;
  if (speed > 0 && position > line->steps.back()) inst.timeline_position = 0;
  if (speed < 0 && position < 0) inst.timeline_position = line->steps.back();
}

void AdvanceTimeLines(Runtime& rt) {
  // Most games have no time line at all: no pass over the instances then.
  if (rt.resources.timeLines.count() == 0) return;
  CInstanceList& list = rt.world.instances;
  const std::size_t count = list.size();
  for (std::size_t i = 0; i < count && i < list.size(); ++i) {
    CInstance& inst = list.at(i);
    if (!inst.deleted && inst.timeline_index >= 0) AdvanceTimeLine(rt, inst);
  }
}

CEvent& AddMoment(CTimeLine& line, std::int32_t step) {
  const auto at = static_cast<std::size_t>(
      std::lower_bound(line.steps.begin(), line.steps.end(), step) - line.steps.begin());
  if (at < line.steps.size() && line.steps[at] == step) return line.events[at];
  line.steps.insert(line.steps.begin() + static_cast<std::ptrdiff_t>(at), step);
  return *line.events.insert(line.events.begin() + static_cast<std::ptrdiff_t>(at), CEvent{});
}

void RemoveMoment(CTimeLine& line, std::int32_t step) {
  const auto at = static_cast<std::size_t>(
      std::lower_bound(line.steps.begin(), line.steps.end(), step) - line.steps.begin());
  if (at >= line.steps.size() || line.steps[at] != step) return;
  line.steps.erase(line.steps.begin() + static_cast<std::ptrdiff_t>(at));
  if (at < line.events.size())
    line.events.erase(line.events.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace px
