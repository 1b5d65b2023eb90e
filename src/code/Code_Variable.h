// Reading and writing a variable by its instance prefix: the entry the
// executor uses once it has the prefix, the variable index and the flat
// array index of a reference.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "code/Code_Value.h"
#include "code/Variable_Class.h"
#include "code/Variable_Main.h"

namespace px {

struct ScriptCore;

// The variables of one code execution: its instances and its locals, which
// the first write through `local` creates.
struct VarScope {
  CInstanceBase* self = nullptr;
  CInstanceBase* other = nullptr;
  // Made on the first write: most executions never need it.
  std::unique_ptr<CVariableList> locals;
};

// Reads by prefix. A failed read gives real 0 and Ok when the game's
// uninitializedZero setting is on; a variable that is not connected fails
// either way.
VarStatus ReadVariable(ScriptCore& rt, VarScope& scope, std::int32_t prefix, std::int32_t index,
                       std::int32_t flat, RValue& out);
// Writes by prefix. A write to an instance id that does not exist, or to an
// object or `all` with no instances, does nothing and succeeds.
VarStatus WriteVariable(ScriptCore& rt, VarScope& scope, std::int32_t prefix, std::int32_t index,
                        std::int32_t flat, const RValue& value);

// Checks one evaluated array index and gives it as an integer (rounded,
// halves to even). Null when it lies in 0 .. kArrayDim − 1, else the error:
// "Wrong type of array index" for a string, "Negative array index",
// "Array index >= 32000" (also for NaN). The check is made on the rounded
// real, so a huge index cannot wrap around into the range.
const char* CheckArrayIndex(const RValue& value, std::int32_t& index);

enum class VarAccess { Read, Write };

// The error message for a failed access: "Unknown variable " + name (with
// " or array index out of bounds" for a flat index other than 0) for reads,
// "Cannot assign to the variable" for writes, and for a built-in variable
// that is not connected "Variable " + name + " is not available yet".
std::string VariableErrorMessage(const ScriptCore& rt, VarAccess access, VarStatus status,
                                 std::int32_t index, std::int32_t flat);

}  // namespace px
