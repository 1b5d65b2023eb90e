// Built-in functions of the dialogs: messages, questions, input, menus,
// pickers, the message window's settings, the highscore table and the
// dialog actions.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> DialogFunctions();

}  // namespace px
