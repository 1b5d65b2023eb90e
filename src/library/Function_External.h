// Built-in functions that define and call functions of native libraries.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> ExternalFunctions();

}  // namespace px
