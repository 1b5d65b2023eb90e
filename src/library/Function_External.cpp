// external_define, external_call and external_free with their fixed-count
// forms.
#include "library/Function_External.h"

#include <array>
#include <vector>

#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runner_Extensions.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr const char* kMsgSecureDlls = "In secure mode you cannot use DLLs";
constexpr const char* kMsgDefineFailed = "Error defining an external function.";
constexpr const char* kMsgWrongDefineArguments = "Wrong number of arguments to external_define()";
constexpr const char* kMsgTooManyArguments = "DLL functions can have at most 16 arguments";
constexpr const char* kMsgStringsInLongCall =
    "DLL functions with more than 4 arguments cannot have string arguments";
constexpr double kDefineFailed = -1.0;

bool DllsAllowed(Runtime& rt) {
  if (!rt.files.secureMode) return true;
  RuntimeError(rt, kMsgSecureDlls);
  return false;
}

// A kind or result type is a string exactly when it rounds to 1.
NativeKind KindArg(const RValue& v) {
  return IntArg(v) == 1 ? NativeKind::String : NativeKind::Real;
}

void Define(Runtime& rt, const FunctionArgs& args, std::int32_t convention, NativeKind result,
            std::span<const NativeKind> kinds, RValue& out) {
  ExternalFunctionTable& table = Externals(rt).table;
  const std::string& library = args[0].str();
  const std::int32_t id = table.DefineExternal(library, args[1].str(), convention, result, kinds);
  if (id < 0) {
    RuntimeError(rt, kMsgDefineFailed);
    NoteMissingLibrary(table, library);
  }
  out.setReal(id);
}

// external_define(dll, name, calltype, restype, argnumb, argtype1 ...).
void ExternalDefine(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
                    const FunctionArgs& args) {
  if (!DllsAllowed(rt)) return;
  const std::int32_t count = IntArg(args[4]);
  const char* refusal = nullptr;
  if (argc < 5 || static_cast<std::int64_t>(count) + 5 != argc)
    refusal = kMsgWrongDefineArguments;
  else if (count > static_cast<std::int32_t>(kExternalMaxArguments))
    refusal = kMsgTooManyArguments;
  std::vector<NativeKind> kinds;
  for (std::int32_t i = 0; !refusal && i < count; ++i) {
    const RValue& kind = args[static_cast<std::size_t>(5 + i)];
    if (count > static_cast<std::int32_t>(kExternalMaxStringArguments) && IntArg(kind) != 0)
      refusal = kMsgStringsInLongCall;
    kinds.push_back(KindArg(kind));
  }
  if (refusal) {
    RuntimeError(rt, refusal);
    result.setReal(kDefineFailed);
    return;
  }
  Define(rt, args, IntArg(args[2]), KindArg(args[3]), kinds, result);
}

// external_defineN(dll, name, argtype1 ... argtypeN, restype) for N up to 4.
template <std::size_t N>
void ExternalDefineKinds(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                         const FunctionArgs& args) {
  if (!DllsAllowed(rt)) return;
  std::array<NativeKind, N> kinds{};
  for (std::size_t i = 0; i != N; ++i) kinds[i] = KindArg(args[2 + i]);
  Define(rt, args, kExternalCdecl, KindArg(args[2 + N]), kinds, result);
}

// external_defineN(dll, name, restype) for N from 5: N real arguments.
template <std::size_t N>
void ExternalDefineReals(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                         const FunctionArgs& args) {
  if (!DllsAllowed(rt)) return;
  std::array<NativeKind, N> kinds;
  kinds.fill(NativeKind::Real);
  Define(rt, args, kExternalCdecl, KindArg(args[2]), kinds, result);
}

void Call(Runtime& rt, const FunctionArgs& args, std::size_t count, RValue& result) {
  Externals(rt).table.CallExternal(IntArg(args[0]), std::span(args.data() + 1, count), result);
}

// external_call(id, arg1 ...).
void ExternalCall(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
                  const FunctionArgs& args) {
  if (!DllsAllowed(rt) || argc < 1) return;
  Call(rt, args, static_cast<std::size_t>(argc - 1), result);
}

template <std::size_t N>
void ExternalCallCount(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                       const FunctionArgs& args) {
  if (DllsAllowed(rt)) Call(rt, args, N, result);
}

void ExternalFree(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                  const FunctionArgs& args) {
  if (DllsAllowed(rt)) Externals(rt).table.FreeExternalLibrary(args[0].str());
}

constexpr FunctionDef kExternalFunctions[] = {
    {"external_define", ExternalDefine},
    {"external_call", ExternalCall},
    {"external_free", ExternalFree},
    {"external_define0", ExternalDefineKinds<0>},
    {"external_define1", ExternalDefineKinds<1>},
    {"external_define2", ExternalDefineKinds<2>},
    {"external_define3", ExternalDefineKinds<3>},
    {"external_define4", ExternalDefineKinds<4>},
    {"external_define5", ExternalDefineReals<5>},
    {"external_define6", ExternalDefineReals<6>},
    {"external_define7", ExternalDefineReals<7>},
    {"external_define8", ExternalDefineReals<8>},
    {"external_call0", ExternalCallCount<0>},
    {"external_call1", ExternalCallCount<1>},
    {"external_call2", ExternalCallCount<2>},
    {"external_call3", ExternalCallCount<3>},
    {"external_call4", ExternalCallCount<4>},
    {"external_call5", ExternalCallCount<5>},
    {"external_call6", ExternalCallCount<6>},
    {"external_call7", ExternalCallCount<7>},
    {"external_call8", ExternalCallCount<8>},
};

}  // namespace

std::span<const FunctionDef> ExternalFunctions() {
  return kExternalFunctions;
}

}  // namespace px
