// The background chunk.
#include "resources/Resource_Chunks.h"

namespace px {

bool LoadBackgrounds(GameResources& res, CStream& s) {
  return ReadResourceChunk(s, res.backgrounds);
}
void WriteBackgrounds(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.backgrounds);
}

}  // namespace px
