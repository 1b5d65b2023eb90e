// The sprite chunk.
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

bool LoadSprites(Runtime& rt, CStream& s) {
  return ReadResourceChunk(s, rt.resources.sprites);
}
void WriteSprites(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.sprites);
}

}  // namespace px
