// The object chunk.
#include "resources/Resource_Chunks.h"

namespace px {

bool LoadObjects(GameResources& res, CStream& s) {
  return ReadResourceChunk(s, res.objects);
}
void WriteObjects(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.objects);
}

}  // namespace px
