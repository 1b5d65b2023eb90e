// The trigger chunk: its slots carry no names; each trigger's record holds
// its own.
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

bool LoadTriggers(Runtime& rt, CStream& s) {
  return ReadResourceChunk<CTrigger, true>(s, rt.resources.triggers);
}

void WriteTriggers(CStream& s, const GameResources& r) {
  WriteResourceChunk<CTrigger, true>(s, r.triggers);
}

}  // namespace px
