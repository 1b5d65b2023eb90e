// The font chunk.
#include "resources/Resource_Chunks.h"

namespace px {

bool LoadFonts(GameResources& res, CStream& s) {
  return ReadResourceChunk(s, res.fonts);
}
void WriteFonts(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.fonts);
}

}  // namespace px
