// The sound state of a run: the engine with its sample table, the CD audio
// device and the devices of media command strings.
#pragma once

#include <memory>

#include "platform/Platform_Mci.h"
#include "sound/Sound_Engine.h"
#include "sound/Sound_MediaCommand.h"

namespace px {

struct SoundState {
  SoundSystem engine;
  // Set once opening was tried (at start-up, or by the first sound used
  // before it).
  bool openTried = false;
  std::unique_ptr<MciDevice> cd = CreateNoCdDrive();
  // The devices game code opened with media command strings.
  MediaCommands media;
};

}  // namespace px
