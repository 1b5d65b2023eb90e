// The room-change and game functions and their actions.
#pragma once

#include <span>

#include "code/Code_Function.h"

namespace px {

std::span<const FunctionDef> GameFunctions();

}  // namespace px
