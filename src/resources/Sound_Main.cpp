// The sound chunk.
#include "resources/Resource_Chunks.h"

namespace px {

bool LoadSounds(GameResources& res, CStream& s) {
  return ReadResourceChunk(s, res.sounds);
}
void WriteSounds(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.sounds);
}

}  // namespace px
