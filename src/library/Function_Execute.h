// Running code given at run time, and the error report for game code:
// execute_string, execute_file, show_error.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> ExecuteFunctions();

}  // namespace px
