// The functions that make, load, copy, change, save and delete sprite and
// background resources while the game runs.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> SpriteFunctions();
std::span<const FunctionDef> BackgroundFunctions();
// action_replace_sprite, action_replace_sound, action_replace_background.
std::span<const FunctionDef> ReplaceActionFunctions();

}  // namespace px
