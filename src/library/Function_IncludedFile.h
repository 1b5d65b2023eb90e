// Built-in functions: export_include_file, export_include_file_location, discard_include_file.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> IncludedFileFunctions();

}  // namespace px
