// The tables that give game code its vocabulary besides variables, and the
// code-error state: one per run, so a fresh run starts from the built-in
// entries alone.
#pragma once

#include "code/Code_Constant.h"
#include "code/Code_Error.h"
#include "code/Code_Exec.h"
#include "code/Code_Function.h"
#include "code/Constant_Main.h"
#include "code/Script_Main.h"

namespace px {

struct CodeState {
  CodeState() {
    AddBuiltinConstants(constants);
    RegisterBuiltinFunctions(functions);
  }

  // Built-in functions; each function family registers its own.
  CFunctionRegistry functions;
  CConstantTable constants;
  CodeErrorState error;
  ErrorReportState report;
  // What nested executions share.
  ExecState exec;
  // The scripts' compiled code.
  ScriptCodeTable scripts;
};

}  // namespace px
