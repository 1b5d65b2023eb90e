// The time line chunk.
#include "resources/Resource_Chunks.h"

namespace px {

bool LoadTimeLines(GameResources& res, CStream& s) {
  return ReadResourceChunk(s, res.timeLines);
}
void WriteTimeLines(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.timeLines);
}

}  // namespace px
