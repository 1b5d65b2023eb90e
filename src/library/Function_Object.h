// The functions that change, make and delete objects and their events, and
// change the stored rooms.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> ObjectFunctions();
std::span<const FunctionDef> RoomFunctions();

}  // namespace px
