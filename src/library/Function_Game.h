// The room-change and game functions and their actions.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> GameFunctions();

}  // namespace px
