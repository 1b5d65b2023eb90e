// The time line chunk.
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

bool LoadTimeLines(Runtime& rt, CStream& s) {
  if (!ReadResourceChunk(s, rt.resources.timeLines)) return false;
  for (int i = 0; i < rt.resources.timeLines.count(); ++i)
    if (CTimeLine* timeLine = rt.resources.timeLines.get(i))
      for (CEvent& event : timeLine->events) LocateActionFunctions(rt, event);
  return true;
}
void WriteTimeLines(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.timeLines);
}

}  // namespace px
