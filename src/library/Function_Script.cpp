#include "library/Function_Script.h"

#include "code/Code_Error.h"
#include "code/Code_Exec.h"
#include "code/Script_Main.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

void ScriptExists(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  result.setReal(rt.resources.scripts.exists(RealToInt(args[0].real)) ? 1.0 : 0.0);
}

void ScriptGetName(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                   const FunctionArgs& args) {
  result.setString(ScriptName(rt, RealToInt(args[0].real)));
}

void ScriptGetText(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                   const FunctionArgs& args) {
  const CScript* script = rt.resources.scripts.get(RealToInt(args[0].real));
  result.setString(script ? script->code : std::string());
}

// script_execute(ind, args…): the arguments after the index reach the
// script. With no index at all there is no script to run.
void ScriptExecute(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t argc,
                   RValue& result, const FunctionArgs& args) {
  const std::int32_t position = argc > 0 ? RealToInt(args[0].real) : -1;
  if (!ScriptCode(rt, position)) {
    RuntimeError(rt, kMsgNoSuchScript);
    return;
  }
  FunctionArgs scriptArgs;
  for (std::int32_t i = 1; i < argc; ++i) scriptArgs[i - 1] = args[i];
  if (!CallScript(rt, position, self, other, result, scriptArgs, argc - 1)) {
    RuntimeError(rt, rt.code.error.message);
    // Reported: later errors of the calling code are its own.
    rt.code.error.pending = false;
  }
}

constexpr FunctionDef kScriptFunctions[] = {
    {"script_exists", ScriptExists},   {"script_get_name", ScriptGetName},
    {"script_name", ScriptGetName},    {"script_get_text", ScriptGetText},
    {"script_execute", ScriptExecute},
};

}  // namespace

std::span<const FunctionDef> ScriptFunctions() {
  return kScriptFunctions;
}

}  // namespace px
