#include "platform/Platform_Versions.h"

#include <SDL.h>
#include <SDL_image.h>
#include <ft2build.h>
#include <sqlite3.h>
#include <zlib.h>
#include FT_FREETYPE_H

namespace px {

namespace {

std::string VersionText(int major, int minor, int patch) {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

std::string FreeTypeVersion() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return "unknown";
  FT_Int major = 0, minor = 0, patch = 0;
  FT_Library_Version(library, &major, &minor, &patch);
  FT_Done_FreeType(library);
  return VersionText(major, minor, patch);
}

}  // namespace

std::string PlatformLibraryVersions() {
  SDL_version sdl;
  SDL_GetVersion(&sdl);
  const SDL_version* image = IMG_Linked_Version();
  return "SDL " + VersionText(sdl.major, sdl.minor, sdl.patch) + ", SDL_image " +
         VersionText(image->major, image->minor, image->patch) + ", FreeType " + FreeTypeVersion() +
         ", SQLite " + sqlite3_libversion() + ", zlib " + zlibVersion();
}

}  // namespace px
