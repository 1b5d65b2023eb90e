// The built-in variables of the keyboard and the mouse: mouse_x, mouse_y,
// mouse_button, mouse_lastbutton, keyboard_key, keyboard_lastkey,
// keyboard_lastchar and keyboard_string.
#pragma once

#include <span>

#include "code/Variable_BuiltIn.h"

namespace px {

// Getters and setters for entries the table lists in its own order.
std::span<const RBuiltinVariable> IOVariableEntries();

}  // namespace px
