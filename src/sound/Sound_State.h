// The sound state of a run: the engine with its sample table, and the CD
// audio device.
#pragma once

#include <memory>

#include "platform/Platform_Mci.h"
#include "sound/Sound_Engine.h"

namespace px {

struct SoundState {
  SoundSystem engine;
  // Set once opening was tried (at start-up, or by the first sound used
  // before it).
  bool openTried = false;
  std::unique_ptr<MciDevice> cd = CreateNoCdDrive();
};

}  // namespace px
