// Event dispatch, and the life of instances: creating, destroying, changing
// and copying them.
#pragma once

#include <cstdint>

#include "world/Instance_Class.h"
#include "world/World.h"

namespace px {

struct Runtime;
struct GameResources;
class CEvent;

// The world of the current room: its instances, the event object lists and
// the id counter.
// At game start: the event object lists and the id counter from the rooms.
void StartWorld(Runtime& rt);

// A room change, restart, end, load or fatal error waits.
bool ChangePending(const Runtime& rt);

// Runs a found event's actions for self and other with the current event
// set to its holder, kind and number; restores them afterwards (the action
// index stays at the last action run).
void RunEvent(Runtime& rt, CInstance* self, CInstance* other, const RFoundEvent& found,
              std::int32_t kind, std::int32_t number);
void PerformEvent(Runtime& rt, CInstance* self, CInstance* other, std::int32_t kind,
                  std::int32_t number);
// The same, looked up from the given object instead of self's.
void PerformObjectEvent(Runtime& rt, CInstance* self, CInstance* other, std::int32_t object,
                        std::int32_t kind, std::int32_t number);
// event_inherited: the running event of the holder's parent (or its nearest
// ancestor with it). Nothing in a time-line moment or without a parent.
void PerformInherited(Runtime& rt, CInstance* self, CInstance* other);
// The event for every instance of the instance list in order, self as other.
void PerformEventAll(Runtime& rt, std::int32_t kind, std::int32_t number);
// What the step raises: walks the event's object list and each object's
// exact instances, with the counts taken before each walk.
void RaiseEvent(Runtime& rt, std::int32_t kind, std::int32_t number);

// A new instance with the next id and no events run.
CInstance& CreateInstance(Runtime& rt, std::int32_t object, double x, double y);
// instance_create: reports a missing object; runs the create event.
CInstance* CreateInstanceWithEvent(Runtime& rt, std::int32_t object, double x, double y);
// Destroy event, then marked deleted.
void DestroyInstance(Runtime& rt, CInstance& inst);
// instance_change for an existing object: the new instance keeps the id.
CInstance& ChangeInstance(Runtime& rt, CInstance& inst, std::int32_t object, bool performEvents);
// instance_copy: a copy with its own new id.
CInstance& CopyInstance(Runtime& rt, CInstance& inst, bool performEvent);

}  // namespace px
