// Time lines made and changed by scripts. Functions on a time line that does
// not exist do nothing, except timeline_delete, which reports it.
#include "library/Function_TimeLine.h"

#include <string>

#include "code/Code_Error.h"
#include "library/Function_Support.h"
#include "resources/Resource_Chunks.h"
#include "run/Action_Class.h"
#include "run/Event_Name.h"
#include "run/Run_Error.h"
#include "run/Run_TimeLine.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

CTimeLine* TimeLineArg(Runtime& rt, const RValue& v) {
  return rt.resources.timeLines.get(IntArg(v));
}

void TimeLineAdd(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args) {
  auto& lines = rt.resources.timeLines;
  const int index = lines.count();
  lines.add("__newtimeline" + std::to_string(index), CTimeLine{});
  result.setReal(index);
}

void TimeLineDelete(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                    Args a) {
  const std::int32_t index = IntArg(a[0]);
  if (!rt.resources.timeLines.exists(index)) {
    RuntimeError(rt, "Trying to delete non-existing timeline.");
    return;
  }
  rt.resources.timeLines.remove(index);
  result.setReal(1);
}

void TimeLineClear(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  if (CTimeLine* line = TimeLineArg(rt, a[0])) *line = CTimeLine{};
}

void TimeLineMomentAdd(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  const std::int32_t index = IntArg(a[0]);
  CTimeLine* line = rt.resources.timeLines.get(index);
  if (!line) return;
  const std::int32_t step = IntArg(a[1]);
  CEvent& moment = AddMoment(*line, step);
  moment.actions.push_back(MakeCodeAction(a[2].str()));
  // A compile error names the time line, the step and the new action.
  const CurrentEvent saved = rt.event;
  rt.event = {.type = kTimeLineEvent,
              .number = step,
              .object = index,
              .action = static_cast<std::int32_t>(moment.actions.size() - 1)};
  PrepareAction(rt, moment.actions.back());
  rt.event = saved;
}

void TimeLineMomentClear(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                         Args a) {
  if (CTimeLine* line = TimeLineArg(rt, a[0])) RemoveMoment(*line, IntArg(a[1]));
}

constexpr FunctionDef kTimeLineFunctions[] = {
    {"timeline_add", TimeLineAdd},
    {"timeline_delete", TimeLineDelete},
    {"timeline_clear", TimeLineClear},
    {"timeline_moment_clear", TimeLineMomentClear},
    {"timeline_moment_add", TimeLineMomentAdd},
};

}  // namespace

std::span<const FunctionDef> TimeLineFunctions() {
  return kTimeLineFunctions;
}

}  // namespace px
