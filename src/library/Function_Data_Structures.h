// The ds_* functions of game code: creating, changing, searching, writing
// and reading the containers named by handles.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

// Every data-structure function, grids included.
std::span<const FunctionDef> DataStructureFunctions();
// The grid functions alone.
std::span<const FunctionDef> GridFunctions();

}  // namespace px
