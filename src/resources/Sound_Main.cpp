// The sound chunk.
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

bool LoadSounds(Runtime& rt, CStream& s) {
  return ReadResourceChunk(s, rt.resources.sounds);
}
void WriteSounds(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.sounds);
}

}  // namespace px
