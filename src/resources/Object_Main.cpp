// The object chunk.
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

bool LoadObjects(Runtime& rt, CStream& s) {
  return ReadResourceChunk(s, rt.resources.objects);
}
void WriteObjects(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.objects);
}

}  // namespace px
