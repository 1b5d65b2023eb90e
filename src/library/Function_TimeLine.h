// Script functions that make, fill, clear and delete time lines.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> TimeLineFunctions();

}  // namespace px
