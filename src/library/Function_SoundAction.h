// The action functions of sounds and CD audio.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> SoundActionFunctions();

}  // namespace px
