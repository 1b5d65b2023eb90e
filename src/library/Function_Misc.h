// Built-in functions of the clipboard and of the process: its priority, the
// application title and messages for the debug window.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> ProcessFunctions();

// The priority level set_program_priority gives the platform: the rounded
// argument from −3 to 3; any other value is 0 (normal).
int ProgramPriorityLevel(double argument);

}  // namespace px
