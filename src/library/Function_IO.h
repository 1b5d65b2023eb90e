// Built-in functions of the keyboard, the mouse and the joysticks, and the
// handling of window messages on request.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> IOFunctions();

}  // namespace px
