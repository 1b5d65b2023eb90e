// The background chunk.
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

bool LoadBackgrounds(Runtime& rt, CStream& s) {
  return ReadResourceChunk(s, rt.resources.backgrounds);
}
void WriteBackgrounds(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.backgrounds);
}

}  // namespace px
