#include "library/Function_Variable.h"

#include "code/Code_Error.h"
#include "code/Code_Variable.h"
#include "code/Variable_Main.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

// The flat index of `dims` array indices from args[1] on; false (after the
// report) when one does not round into 0 .. 31999.
bool FlatFromArgs(Runtime& rt, const FunctionArgs& args, int dims, std::int32_t& flat) {
  flat = 0;
  for (int d = 0; d < dims; ++d) {
    const double rounded = RoundHalfEven(args[static_cast<std::size_t>(1 + d)].real);
    if (!(rounded >= 0 && rounded < kArrayDim)) {
      RuntimeError(rt, "Array index >= 32000");
      return false;
    }
    flat = flat * kArrayDim + static_cast<std::int32_t>(rounded);
  }
  return true;
}

// Where the value to set stands: after the name and the indices.
const RValue& ValueArg(const FunctionArgs& args, int dims) {
  return args[static_cast<std::size_t>(1 + dims)];
}

std::int32_t IndexOfName(Runtime& rt, const FunctionArgs& args) {
  return VariableIndexOf(rt.vars, args[0].str());
}

template <bool Global>
void Exists(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
            const FunctionArgs& args) {
  const std::int32_t index = IndexOfName(rt, args);
  RValue ignored;
  const VarStatus status = Global ? GetGlobalVariable(rt, index, 0, ignored)
                                  : GetInstanceVariable(rt, self, index, 0, ignored);
  const bool exists = status == VarStatus::Ok || (!Global && !IsUserVariable(index));
  result.setReal(exists ? 1.0 : 0.0);
}

template <bool Global, int Dims>
void Get(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
         const FunctionArgs& args) {
  const std::int32_t index = IndexOfName(rt, args);
  std::int32_t flat = 0;
  if (!FlatFromArgs(rt, args, Dims, flat)) return;
  RValue value;
  const VarStatus status = Global ? GetGlobalVariable(rt, index, flat, value)
                                  : GetInstanceVariable(rt, self, index, flat, value);
  if (status == VarStatus::Ok) result = value;
}

template <bool Global, int Dims>
void Set(Runtime& rt, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
         const FunctionArgs& args) {
  const std::int32_t index = IndexOfName(rt, args);
  std::int32_t flat = 0;
  if (!FlatFromArgs(rt, args, Dims, flat)) return;
  if (Global) {
    SetGlobalVariable(rt, index, flat, ValueArg(args, Dims));
  } else {
    SetInstanceVariable(rt, self, index, flat, ValueArg(args, Dims));
  }
}

constexpr FunctionDef kVariableFunctions[] = {
    {"variable_global_exists", Exists<true>},     {"variable_global_get", Get<true, 0>},
    {"variable_global_array_get", Get<true, 1>},  {"variable_global_array2_get", Get<true, 2>},
    {"variable_global_set", Set<true, 0>},        {"variable_global_array_set", Set<true, 1>},
    {"variable_global_array2_set", Set<true, 2>}, {"variable_local_exists", Exists<false>},
    {"variable_local_get", Get<false, 0>},        {"variable_local_array_get", Get<false, 1>},
    {"variable_local_array2_get", Get<false, 2>}, {"variable_local_set", Set<false, 0>},
    {"variable_local_array_set", Set<false, 1>},  {"variable_local_array2_set", Set<false, 2>},
};

}  // namespace

std::span<const FunctionDef> VariableFunctions() {
  return kVariableFunctions;
}

}  // namespace px
