// Built-in functions of the display, the game window and the screen, and
// the render states game code sets (blending, fog, texture and 3D states).
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> DisplayFunctions();

}  // namespace px
