// File names as games write them: "\" and ":" delimit the parts.
#pragma once

#include <string>
#include <string_view>

namespace px {

// The file-name functions, on game paths ("\" and ":" delimit).
std::string FilenameName(std::string_view f);
std::string FilenamePath(std::string_view f);
std::string FilenameDir(std::string_view f);
std::string FilenameDrive(std::string_view f);
std::string FilenameExt(std::string_view f);
std::string FilenameChangeExt(std::string_view f, std::string_view ext);

}  // namespace px
