#include "code/Code_Variable.h"

#include <cmath>

#include "code/Script_Core.h"

namespace px {

namespace {

// Where a prefix sends an access.
enum class Place { Instance, Global, Locals, Target, Nowhere };

Place Resolve(const ScriptCore& rt, const VarScope& scope, std::int32_t prefix, std::int32_t index,
              CInstanceBase*& inst) {
  switch (prefix) {
    case kSelf:
      inst = scope.self;
      return Place::Instance;
    case kOther:
      inst = scope.other;
      return Place::Instance;
    case kNoone:
      return Place::Nowhere;
    case kGlobal:
      return Place::Global;
    case kNoPrefix:
      if (IsGlobalVar(rt.vars, index)) return Place::Global;
      inst = scope.self;
      return Place::Instance;
    case kLocal:
      return Place::Locals;
    default:
      return Place::Target;
  }
}

VarStatus Route(ScriptCore& rt, VarScope& scope, std::int32_t prefix, std::int32_t index,
                std::int32_t flat, RValue& out) {
  CInstanceBase* inst = nullptr;
  switch (Resolve(rt, scope, prefix, index, inst)) {
    case Place::Instance:
      return GetInstanceVariable(rt, inst, index, flat, out);
    case Place::Global:
      return GetGlobalVariable(rt, index, flat, out);
    case Place::Locals:
      return scope.locals && scope.locals->get(index, flat, out) ? VarStatus::Ok
                                                                 : VarStatus::Failed;
    case Place::Target:
      return GetTargetVariable(rt, prefix, index, flat, out);
    case Place::Nowhere:
      break;
  }
  return VarStatus::Failed;
}

}  // namespace

VarStatus ReadVariable(ScriptCore& rt, VarScope& scope, std::int32_t prefix, std::int32_t index,
                       std::int32_t flat, RValue& out) {
  const VarStatus status = Route(rt, scope, prefix, index, flat, out);
  if (status == VarStatus::Failed && rt.settings.uninitializedZero) {
    out.setReal(0.0);
    return VarStatus::Ok;
  }
  return status;
}

VarStatus WriteVariable(ScriptCore& rt, VarScope& scope, std::int32_t prefix, std::int32_t index,
                        std::int32_t flat, const RValue& value) {
  CInstanceBase* inst = nullptr;
  switch (Resolve(rt, scope, prefix, index, inst)) {
    case Place::Instance:
      return SetInstanceVariable(rt, inst, index, flat, value);
    case Place::Global:
      return SetGlobalVariable(rt, index, flat, value);
    case Place::Locals:
      if (!scope.locals) scope.locals = std::make_unique<CVariableList>();
      return scope.locals->set(index, flat, value) ? VarStatus::Ok : VarStatus::Failed;
    case Place::Target:
      return SetTargetVariable(rt, prefix, index, flat, value);
    case Place::Nowhere:
      break;
  }
  return VarStatus::Failed;
}

const char* CheckArrayIndex(const RValue& value, std::int32_t& index) {
  if (value.isString()) return "Wrong type of array index";
  const double rounded = RoundHalfEven(value.real);
  if (rounded < 0) return "Negative array index";
  if (!(rounded < kArrayDim)) return "Array index >= 32000";
  index = static_cast<std::int32_t>(rounded);
  return nullptr;
}

std::string VariableErrorMessage(const ScriptCore& rt, VarAccess access, VarStatus status,
                                 std::int32_t index, std::int32_t flat) {
  if (status == VarStatus::NotConnected) {
    return "Variable " + VariableName(rt.vars, index) + " is not available yet";
  }
  if (access == VarAccess::Write) return "Cannot assign to the variable";
  std::string message = "Unknown variable " + VariableName(rt.vars, index);
  if (flat != 0) message += " or array index out of bounds";
  return message;
}

}  // namespace px
