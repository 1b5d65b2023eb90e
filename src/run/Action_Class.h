// Preparing actions for running: variable and code actions become code,
// code is compiled, and arguments become constants or compiled expressions.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "code/Code_Main.h"
#include "code/Code_Value.h"
#include "resources/Object_Class.h"

namespace px {

struct Runtime;

// Argument kinds once prepared.
inline constexpr std::int32_t kArgConstant = -1;
inline constexpr std::int32_t kArgExpression = 0;

// What running an action needs, made once from its record.
struct RPreparedAction {
  ActionKind kind = ActionKind::Normal;
  ExecType execType = ExecType::Nothing;
  std::int32_t argCount = 0;
  std::unique_ptr<CCode> code;
  std::array<std::int32_t, CAction::kMaxArgs> argKinds{};
  std::array<RValue, CAction::kMaxArgs> argValues;
  std::array<std::unique_ptr<CCode>, CAction::kMaxArgs> argCodes;
};

// Prepares one action; the current event names the place for errors. False
// after a compile error, reported as a fatal error.
bool PrepareAction(Runtime& rt, CAction& action);
// A code action holding `text`, stored as the maker's code action is.
CAction MakeCodeAction(const std::string& text);
// Prepares every action of an event; false at the first compile error.
bool PrepareEvent(Runtime& rt, CEvent& event);
// Start-up steps: every action of every time-line moment, of every object
// event. False after a compile error.
bool PrepareTimeLineActions(Runtime& rt);
bool PrepareObjectActions(Runtime& rt);

// Looks up the function of every function-calling action of the event in
// the function registry; a name it does not hold is reported in a message
// box ("Failed to locate action function " + name) and the action then
// calls nothing.
void LocateActionFunctions(Runtime& rt, CEvent& event);
// LocateActionFunctions for every event of every time line, or of every
// object, as their chunks are read.
void LocateTimeLineActionFunctions(Runtime& rt);
void LocateObjectActionFunctions(Runtime& rt);

}  // namespace px
