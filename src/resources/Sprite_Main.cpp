// The sprite chunk.
#include "resources/Resource_Chunks.h"

namespace px {

bool LoadSprites(GameResources& res, CStream& s) {
  return ReadResourceChunk(s, res.sprites);
}
void WriteSprites(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.sprites);
}

}  // namespace px
