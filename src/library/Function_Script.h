// Built-in functions: script_exists, script_get_name, script_name, script_get_text, script_execute.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> ScriptFunctions();

}  // namespace px
