// The time line chunk.
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

bool LoadTimeLines(Runtime& rt, CStream& s) {
  return ReadResourceChunk(s, rt.resources.timeLines);
}
void WriteTimeLines(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.timeLines);
}

}  // namespace px
