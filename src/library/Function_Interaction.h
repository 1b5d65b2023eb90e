// The collision functions of the scripting language.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> InteractionFunctions();

}  // namespace px
