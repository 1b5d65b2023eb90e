// The room chunk: the rooms, then the last instance and tile ids used.
#include "resources/Resource_Chunks.h"

namespace px {

bool LoadRooms(GameResources& res, CStream& s) {
  GameResources& r = res;
  if (!ReadResourceChunk(s, r.rooms)) return false;
  r.lastInstanceId = StreamReadInt(s);
  r.lastTileId = StreamReadInt(s);
  // A stretched layer takes its scale from its background, which is loaded
  // before the rooms.
  for (int i = 0; i < r.rooms.count(); ++i)
    if (CRoom* room = r.rooms.get(i)) room->ApplyStretch(r.backgrounds);
  return true;
}

void WriteRooms(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.rooms);
  StreamWriteInt(s, r.lastInstanceId);
  StreamWriteInt(s, r.lastTileId);
}

}  // namespace px
