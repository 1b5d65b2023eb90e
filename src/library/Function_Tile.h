// Built-in functions on the tiles of the current room.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> TileFunctions();

}  // namespace px
