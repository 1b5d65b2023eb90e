// Built-in functions of files, directories, file names, INI files, program
// parameters and the environment.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "code/Function_List.h"

namespace px {

std::span<const FunctionDef> FileFunctions();

// The file-name functions, on game paths ("\" and ":" delimit).
std::string FilenameName(std::string_view f);
std::string FilenamePath(std::string_view f);
std::string FilenameDir(std::string_view f);
std::string FilenameDrive(std::string_view f);
std::string FilenameExt(std::string_view f);
std::string FilenameChangeExt(std::string_view f, std::string_view ext);

}  // namespace px
