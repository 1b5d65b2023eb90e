// The path chunk.
#include "resources/Resource_Chunks.h"

namespace px {

bool LoadPaths(GameResources& res, CStream& s) {
  return ReadResourceChunk(s, res.paths);
}
void WritePaths(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.paths);
}

}  // namespace px
