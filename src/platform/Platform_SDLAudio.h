// The SDL2 sound card back end of the audio output.
#pragma once

#include <memory>

#include "platform/Platform_Audio.h"

namespace px {

// Null when SDL cannot open any audio device.
std::unique_ptr<AudioDevice> OpenSdlAudio(AudioSource& source);

}  // namespace px
