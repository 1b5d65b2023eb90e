// WorldCore: the part of a run that the world and the motion of its
// instances work on: the script core below it, the current room's world,
// the live rooms and the game's random generator.
#pragma once

#include "code/Script_Core.h"
#include "code/Support_Random.h"
#include "world/Room_State.h"
#include "world/World.h"

namespace px {

struct WorldCore : ScriptCore {
  explicit WorldCore(Runtime& host) : ScriptCore(host) {}

  // The current room's instances, the event object lists, the id counter.
  World world;
  // The live rooms, the current room and what is carried between rooms.
  RoomState rooms;
  // The generator behind every random draw of the game.
  CRandom random;
};

// The current room's live data, or null before the first room starts.
inline CRoom* CurrentRoomData(WorldCore& core) {
  return core.rooms.current ? &core.rooms.current->data : nullptr;
}

}  // namespace px
