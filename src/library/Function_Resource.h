// Built-in functions that read the resources of the game at run time: the
// existence, names and fields of sprites, backgrounds, fonts, paths, time
// lines, objects and rooms.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> ResourceQueryFunctions();

}  // namespace px
