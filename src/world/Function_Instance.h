// The instance and event function families of the scripting language.
#pragma once

#include <span>

#include "code/Function_List.h"

namespace px {

std::span<const FunctionDef> InstanceFunctions();
std::span<const FunctionDef> EventFunctions();

}  // namespace px
