// What a sound resource does with the engine: preparing its sample (from
// its data, or from a file it writes for the media player), discarding it,
// loading a sound from a file, and the sound steps of start-up and shut-down.
#pragma once

#include <string>

namespace px {

struct Runtime;
class CSound;

// Opens the sound system when nothing has tried to yet (a sound used before
// start-up prepared the system).
void EnsureSoundOpen(Runtime& rt);

// Makes the sound's sample; a sound the engine cannot load becomes a
// multimedia sound.
void PrepareSound(Runtime& rt, CSound& snd);
// The sound's sample, prepared on demand; -1 when there is none.
int GetSoundSample(Runtime& rt, CSound& snd);
void DiscardSound(Runtime& rt, CSound& snd);
// Resets the sound, then reads the file (a game path) into it; false when
// the file does not exist.
bool LoadSoundFromFile(Runtime& rt, CSound& snd, const std::string& file, int kind, bool preload);

// Start-up: opens the sound system on the main window, sets the master
// volume to 1 and prepares every sound marked for preloading. Always true.
bool PrepareSounds(Runtime& rt);
// Shut-down: frees every sample and closes the sound system.
void CloseSounds(Runtime& rt);

}  // namespace px
