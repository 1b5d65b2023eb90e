// The motion functions of the scripting language and the motion actions
// built on them: setting the motion, moving, bouncing, measuring distances,
// and starting and ending paths.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> MotionFunctions();

}  // namespace px
