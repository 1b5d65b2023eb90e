// The font chunk.
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

bool LoadFonts(Runtime& rt, CStream& s) {
  return ReadResourceChunk(s, rt.resources.fonts);
}
void WriteFonts(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.fonts);
}

}  // namespace px
