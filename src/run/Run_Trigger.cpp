#include "run/Run_Trigger.h"

#include <string>

#include "code/Code_Error.h"
#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "resources/Resource_Chunks.h"
#include "run/Event_Main.h"
#include "run/Event_Raise.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr auto kTriggerKind = static_cast<std::int32_t>(EventKind::Trigger);

// Whether the trigger's condition holds for the instance; a condition that
// fails to evaluate is reported and does not hold.
bool ConditionHolds(Runtime& rt, const CTrigger& trigger, CInstance& inst) {
  RValue result;
  if (!ExecuteCode(rt, &inst, &inst, *trigger.compiled, result)) {
    ReportError(rt, "ERROR in trigger " + trigger.name + "\r\n" + rt.code.error.message, false);
    rt.code.error.pending = false;
    return false;
  }
  return !result.isString() && result.real >= 0.5;
}

}  // namespace

bool PrepareTriggers(Runtime& rt) {
  auto& triggers = rt.resources.triggers;
  for (int t = 0; t < triggers.count(); ++t) {
    CTrigger* trigger = triggers.get(t);
    if (!trigger) continue;
    auto code = std::make_shared<CCode>(trigger->condition, true);
    if (!code->Compile(rt)) {
      ReportError(rt,
                  "COMPILATION ERROR in condition of trigger " + trigger->name + "\r" +
                      rt.code.error.message,
                  true);
      return false;
    }
    trigger->compiled = std::move(code);
  }
  return true;
}

void CheckTriggers(Runtime& rt, std::int32_t moment) {
  const auto& triggers = rt.resources.triggers;
  for (std::int32_t t = 0; t < triggers.count(); ++t) {
    if (rt.world.eventLists.objects(kTriggerKind, t).empty()) continue;
    const CTrigger* trigger = triggers.get(t);
    if (!trigger || !trigger->compiled || trigger->moment != moment) continue;
    RaiseEventWhere(rt, kTriggerKind, t,
                    [&](CInstance& inst) { return ConditionHolds(rt, *trigger, inst); });
  }
}

}  // namespace px
