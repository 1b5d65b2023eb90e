// The versions of the libraries the platform runs on, for --version.
#pragma once

#include <string>

namespace px {

// "SDL 2.26.5, SDL_image 2.6.3, FreeType 2.12.1, SQLite 3.40.1, zlib 1.2.13":
// the versions loaded at run time, which may differ from those built against.
std::string PlatformLibraryVersions();

}  // namespace px
