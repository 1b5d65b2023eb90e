// The world of the current room: its instances, the event object lists,
// the collision grid, the instance ids and the game's score, lives and
// health; and the look-up of an object's events through its parents.
#pragma once

#include <cstdint>

#include "world/Collision_Grid.h"
#include "world/Instance_Class.h"
#include "world/Object_Lists.h"

namespace px {

struct GameResources;
class CEvent;

struct World {
  CInstanceList instances;
  CEventLists eventLists;
  // The instances' boxes by place, for the collision tests.
  CollisionGrid grid;
  // The last id given out; new instances get the next one.
  std::int32_t lastInstanceId = 100000;
  // The game's score, lives and health.
  std::int32_t score = 0;
  std::int32_t lives = -1;
  double health = 100;
};

struct RFoundEvent {
  const CEvent* event = nullptr;
  // The object in whose list the event was found.
  std::int32_t holder = -1;
  explicit operator bool() const { return event != nullptr; }
};

// The event of an object or its nearest ancestor that has one; for
// collisions, after the whole chain has no event with the other object
// itself, events with the other object's ancestors, nearest first.
RFoundEvent FindEvent(const GameResources& res, std::int32_t object, std::int32_t kind,
                      std::int32_t number);
inline bool HasEvent(const GameResources& res, std::int32_t object, std::int32_t kind,
                     std::int32_t number) {
  return static_cast<bool>(FindEvent(res, object, kind, number));
}

}  // namespace px
