// Built-in functions of files, directories, file names, INI files, program
// parameters and the environment.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> FileFunctions();

}  // namespace px
