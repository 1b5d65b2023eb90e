#include "world/Room_Draw.h"

#include <cmath>
#include <cstdlib>

#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"
#include "world/Event_Main.h"
#include "world/Run_Room.h"

namespace px {

namespace {

constexpr auto kDrawKind = static_cast<std::int32_t>(EventKind::Draw);

// The instance a view follows: by id above 99999, else the first of the
// object's family; null when there is none.
const CInstance* FollowedInstance(Runtime& rt, std::int32_t object) {
  if (object > 99999) {
    for (const auto& inst : rt.world.instances.active())
      if (inst->id == object && !inst->deleted) return inst.get();
    return nullptr;
  }
  if (!rt.resources.objects.exists(object)) return nullptr;
  for (CInstance* inst : rt.world.instances.family(object))
    if (!inst->deleted) return inst;
  return nullptr;
}

// One axis of following: the new view start for a position p.
int Follow(int p, int start, int size, int border, int speed, int roomSize) {
  int next = start;
  if (2 * border >= size)
    next = p - size / 2;
  else if (p - border < start)
    next = p - border;
  else if (p + border > start + size)
    next = p + border - size;
  if (next < 0) next = 0;
  if (next + size > roomSize) next = roomSize - size;
  if (speed >= 0 && std::abs(next - start) > speed)
    next = next > start ? start + speed : start - speed;
  return next;
}

// Draw events of the visible instances in the list's (depth) order.
void DrawRegion(Runtime& rt) {
  CInstanceList& list = rt.world.instances;
  const std::size_t count = list.size();
  for (std::size_t i = 0; i < count && i < list.size(); ++i) {
    CInstance& inst = list.at(i);
    if (inst.deleted || !inst.visible) continue;
    if (HasEvent(rt.resources, inst.object_index, kDrawKind, 0))
      PerformEvent(rt, &inst, &inst, kDrawKind, 0);
  }
}

}  // namespace

void FollowViews(Runtime& rt, CRoom& room) {
  if (!room.views_enabled) return;
  for (CView& v : room.views) {
    if (!v.visible || v.object < 0) continue;
    const CInstance* inst = FollowedInstance(rt, v.object);
    if (!inst) continue;
    const int x = static_cast<int>(std::nearbyint(inst->x));
    const int y = static_cast<int>(std::nearbyint(inst->y));
    v.xview = Follow(x, v.xview, v.wview, v.hborder, v.hspeed, room.width);
    v.yview = Follow(y, v.yview, v.hview, v.vborder, v.vspeed, room.height);
  }
}

void DrawRoom(Runtime& rt) {
  CRoom* room = CurrentRoomData(rt);
  if (!room) return;
  FollowViews(rt, *room);
  rt.world.instances.SortByDepth(rt.resources);
  if (room->views_enabled) {
    for (std::int32_t v = 0; v < CRoom::kViews; ++v) {
      rt.rooms.viewCurrent = v;
      if (room->views[static_cast<std::size_t>(v)].visible) DrawRegion(rt);
    }
  } else {
    rt.rooms.viewCurrent = 0;
    DrawRegion(rt);
  }
  rt.rooms.viewCurrent = 0;
}

}  // namespace px
