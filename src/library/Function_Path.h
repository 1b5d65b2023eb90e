// The functions that make, copy, change and delete path resources.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> PathFunctions();

}  // namespace px
