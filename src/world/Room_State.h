// The rooms in play: one live slot per room index, the current room, the
// persistent instances carried to the next room, and the transition chosen
// for the next change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "resources/Room_Class.h"
#include "world/Instance_Class.h"
#include "world/Object_Lists.h"

namespace px {

// A room entered at least once: a copy of its resource, changed by play.
struct LiveRoom {
  CRoom data;
  // The room's instances while it is kept away from play (a persistent room
  // left for another); while the room is current they are the world's.
  CInstanceList keptInstances;
  // Where the last tile looked up by id was found, or -1.
  std::int32_t lastTileIndex = -1;
};

struct RoomState {
  // One slot per room index; empty until entered, emptied when a room that
  // is not persistent is left.
  std::vector<std::unique_ptr<LiveRoom>> live;
  // The current room's index (`room`) and its live copy, or -1 and null
  // before the first room starts.
  std::int32_t index = -1;
  LiveRoom* current = nullptr;
  // Persistent instances taken out of the room being left, waiting to be
  // put into the next one.
  std::vector<std::unique_ptr<CInstance>> carryOver;
  // The transition for the next room change.
  std::int32_t transitionKind = 0;
  std::int32_t transitionSteps = 80;
  // The view being drawn (view_current); 0 outside drawing.
  std::int32_t viewCurrent = 0;
  // The saved game a pending load reads.
  std::string loadFile;
  // The window caption's score, lives and health parts; showScoreSet tells
  // whether the game ever set show_score.
  bool showScore = true;
  bool showLives = false;
  bool showHealth = false;
  bool showScoreSet = false;
  std::string captionScore = "Score: ";
  std::string captionLives = "Lives: ";
  std::string captionHealth = "Health: ";
  // The sprite drawn at the mouse, -1 for none.
  std::int32_t cursorSprite = -1;
};

// The caption settings and cursor sprite of a game that starts.
inline void ResetCaption(RoomState& rooms) {
  rooms.showScore = true;
  rooms.showLives = false;
  rooms.showHealth = false;
  rooms.showScoreSet = false;
  rooms.captionScore = "Score: ";
  rooms.captionLives = "Lives: ";
  rooms.captionHealth = "Health: ";
  rooms.cursorSprite = -1;
}

// Pending change codes beside a room index.
}  // namespace px
