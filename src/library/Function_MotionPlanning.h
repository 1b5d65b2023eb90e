// The motion planning functions of the scripting language: straight-line
// and potential-field steps and paths, planning grids, and the planning
// actions.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> PlanningFunctions();

}  // namespace px
