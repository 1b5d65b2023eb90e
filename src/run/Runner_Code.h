// The game's code at start-up: its constants defined and its scripts
// compiled, with the failures shown as the game's players know them.
#pragma once

#include <string_view>

namespace px {

struct Runtime;

// Defines a game or extension constant from its value text: the name is
// trimmed and must be a name of game code, the text compiles as an
// expression evaluated with a temporary instance as self and other. A
// failure shows "Constant name " + name + "  is not valid." or "Value for
// constant " + name + "  is not valid." in a plain message box.
bool DefineConstant(Runtime& rt, std::string_view name, std::string_view valueText);
// Defines the game's constants in stored order, stopping at the first
// failure.
bool DefineUserConstants(Runtime& rt);

// Compiles every script of the game's script list in order. The first
// failure is a fatal report, "COMPILATION ERROR in Script: " + name + CR +
// the compile message, and gives false.
bool CompileScripts(Runtime& rt);

}  // namespace px
