// Running compiled game code: a code unit for a self and an other instance,
// script calls, and the state that nested executions share.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "code/Code_Function.h"
#include "code/Code_Value.h"
#include "code/Variable_Class.h"

namespace px {

struct ScriptCore;
class CCode;
class CInstanceBase;

// What every statement returns and passes upwards.
enum class ExecStatus : std::int8_t {
  Normal = 0,
  Error = -1,  // a code error has been recorded
  Exit = -2,   // exit or return
  Break = -3,
  Continue = -4,
};

// The core entry: runs a unit for self and other into `result`. False after
// a run-time error, whose message is the one recorded in rt.code.error;
// exit, break and continue at the top end the unit without failing.
bool ExecuteCode(ScriptCore& rt, CInstanceBase* self, CInstanceBase* other, const CCode& code,
                 RValue& result);
// ExecuteCode; after a failure the result is the string "ERROR". For script
// calls, action arguments and constant values.
bool EvaluateCode(ScriptCore& rt, CInstanceBase* self, CInstanceBase* other, const CCode& code,
                  RValue& result);
// Calls the script at a position with `count` arguments, saving and
// restoring the caller's argument slots around it. Fails without a message
// when the position holds no compiled script; after a run-time error the
// recorded message starts with "In script " + name + ":" CR.
bool CallScript(ScriptCore& rt, std::int32_t position, CInstanceBase* self, CInstanceBase* other,
                RValue& result, const FunctionArgs& args, std::int32_t count);

// The message of the guard that keeps nested executions off the end of the
// machine stack.
inline constexpr const char* kMsgRecursionTooDeep =
    "Recursion too deep: the nested calls have used up the stack.";

// The locals of one execution: variables declared `var`, each in the slot
// the compiler gave it.
struct LocalSlot {
  bool defined = false;
  RVariable var;
};

// State shared by nested executions: how deep they are, where the machine
// stack started, and one block of local slots per depth, reused from call to
// call so that running code does not allocate.
struct ExecState {
  // Loop iterations and calls between two looks at the clock.
  static constexpr std::uint32_t kTimeCheckInterval = 1024;

  std::size_t depth = 0;
  const char* stackBase = nullptr;
  // The thread stackBase was found for.
  std::thread::id stackOwner;
  std::size_t stackBudget = 0;
  struct Level {
    std::unique_ptr<LocalSlot[]> slots;
    std::size_t capacity = 0;
  };
  std::vector<Level> levels;

  // The run's time limit (none unless the player set one): once it has
  // passed, every loop iteration and every call fails, so even code that
  // never ends stops.
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  double timeLimitSeconds = 0;
  std::uint32_t timeCheckCountdown = kTimeCheckInterval;
  bool outOfTime = false;
};

// Starts the run's time limit of `seconds` from now.
void SetTimeLimit(ExecState& st, double seconds);
// Looks at the clock; true once the time limit has passed.
bool TimeLimitPassed(ExecState& st);
// Cheap enough for every loop iteration: the clock is read only now and then.
inline bool OutOfTime(ExecState& st) {
  if (--st.timeCheckCountdown != 0) return false;
  return TimeLimitPassed(st);
}
// "The run has passed its time limit of N seconds."
std::string TimeLimitMessage(const ExecState& st);

}  // namespace px
