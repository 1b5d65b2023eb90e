// The life of rooms and of the game: entering and leaving rooms, requests
// for a change, and the start, end and restart of the game.
#pragma once

#include <cstdint>

namespace px {

struct Runtime;
struct LiveRoom;
class CRoom;

// The live room being played, or null before the first room starts.
LiveRoom* CurrentLiveRoom(Runtime& rt);

// The room before or after a room in the room order; -1 when the room is
// not in the order or is its first (last) entry.
std::int32_t PreviousRoom(const Runtime& rt, std::int32_t room);
std::int32_t NextRoom(const Runtime& rt, std::int32_t room);

// Requests; each only sets the pending change. A room that does not exist,
// and moving before the first or after the last room, are fatal errors.
void RequestRoom(Runtime& rt, std::int32_t room);
void RequestPreviousRoom(Runtime& rt);
void RequestNextRoom(Runtime& rt);
void RequestRoomRestart(Runtime& rt);
void RequestGameEnd(Runtime& rt);
void RequestGameRestart(Runtime& rt);

// Leaving the current room: room end (and game end) events, persistent
// instances taken out, the room freed unless it is persistent.
void RoomEnd(Runtime& rt, bool gameEnds);
// Entering room r: kept or made from its resource, carried instances put
// in, creation codes, create events, game start and room start events.
void RoomStart(Runtime& rt, std::int32_t room, bool gameStarts);

// Starts the game in the first room of the order. False when the game
// cannot start.
bool GameStart(Runtime& rt);
// Ends the room with the game-end event and frees every live room.
void GameEnd(Runtime& rt);

// Carries out the pending change between steps. False when the game is
// over (ended, or stopped by a fatal error); the game end has then run.
bool CarryOutPendingChange(Runtime& rt);

// The size of the drawing region for the current room: the bounding box
// of the visible view ports when views are enabled, else the room's size.
void SizeGameArea(Runtime& rt);

}  // namespace px
