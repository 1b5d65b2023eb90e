// The versions of the sound libraries, for --version.
#pragma once

#include <string>

namespace px {

// "FluidSynth 2.3.1, libsndfile 1.2.0, mpg123 API 47": as loaded at run time.
std::string SoundLibraryVersions();

}  // namespace px
