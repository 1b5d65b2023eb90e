// The path chunk.
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

bool LoadPaths(Runtime& rt, CStream& s) {
  return ReadResourceChunk(s, rt.resources.paths);
}
void WritePaths(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.paths);
}

}  // namespace px
