// Built-in functions of sound playback, sound effects, 3D sound, sound
// resources and CD audio.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> SoundFunctions();
std::span<const FunctionDef> SoundResourceFunctions();
std::span<const FunctionDef> CdFunctions();

}  // namespace px
