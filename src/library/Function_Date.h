// Built-in date and time functions: the current moment, making, checking,
// moving, taking apart, comparing and writing dates.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> DateFunctions();

}  // namespace px
