// The trigger chunk: its slots carry no names; each trigger's record holds
// its own.
#include "resources/Resource_Chunks.h"

namespace px {

bool LoadTriggers(GameResources& res, CStream& s) {
  return ReadResourceChunk<CTrigger, true>(s, res.triggers);
}

void WriteTriggers(CStream& s, const GameResources& r) {
  WriteResourceChunk<CTrigger, true>(s, r.triggers);
}

}  // namespace px
