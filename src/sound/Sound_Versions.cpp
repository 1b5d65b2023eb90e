#include "sound/Sound_Versions.h"

#include <fluidsynth.h>
#include <mpg123.h>
#include <sndfile.h>

#include <array>

namespace px {

std::string SoundLibraryVersions() {
  // "libsndfile-1.2.0": the name comes with the version.
  std::array<char, 64> sndfile{};
  sf_command(nullptr, SFC_GET_LIB_VERSION, sndfile.data(), static_cast<int>(sndfile.size()));
  std::string sndfileVersion = sndfile.data();
  if (sndfileVersion.starts_with("libsndfile-")) sndfileVersion.erase(0, 11);
  // mpg123 tells only the version of its interface.
  return std::string("FluidSynth ") + fluid_version_str() + ", libsndfile " + sndfileVersion +
         ", mpg123 API " + std::to_string(MPG123_API_VERSION);
}

}  // namespace px
