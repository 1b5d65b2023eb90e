// Variables named by a string at run time: variable_global_* and
// variable_local_*.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> VariableFunctions();

}  // namespace px
