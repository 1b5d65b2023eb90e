// The stored rooms changed by game code. These are the templates rooms are
// made from when entered anew: a change never reaches a room in play, nor
// a persistent room kept from an earlier visit.
#include <iterator>
#include <string>

#include "code/Code_Error.h"
#include "library/Function_Object.h"
#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

#define PX_ROOM_FN(name)                                                                \
  void name([[maybe_unused]] Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

CRoom* RoomArg(Runtime& rt, const RValue& v) {
  return rt.resources.rooms.get(IntArg(v));
}

std::string StringArg(const RValue& v) {
  return v.str();
}

// Sets a field of an existing room from the second argument.
template <auto Field, auto Convert>
void SetField(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  if (CRoom* room = RoomArg(rt, a[0])) room->*Field = Convert(a[1]);
}

PX_ROOM_FN(SetBackgroundColor) {
  if (CRoom* room = RoomArg(rt, a[0])) {
    room->background_color = IntArg(a[1]);
    room->show_color = FlagArg(a[2]);
  }
}

PX_ROOM_FN(SetBackground) {
  CRoom* room = RoomArg(rt, a[0]);
  const std::int32_t layer = IntArg(a[1]);
  if (!room || layer < 0 || layer >= CRoom::kLayers) return;
  CBack& b = room->layers[static_cast<std::size_t>(layer)];
  b.visible = FlagArg(a[2]);
  b.foreground = FlagArg(a[3]);
  b.background = IntArg(a[4]);
  b.x = a[5].real;
  b.y = a[6].real;
  b.htiled = FlagArg(a[7]);
  b.vtiled = FlagArg(a[8]);
  b.hspeed = a[9].real;
  b.vspeed = a[10].real;
  b.alpha = a[11].real;
  b.xscale = b.yscale = 1;
  b.stretch = false;
}

PX_ROOM_FN(SetView) {
  CRoom* room = RoomArg(rt, a[0]);
  const std::int32_t view = IntArg(a[1]);
  if (!room || view < 0 || view >= CRoom::kViews) return;
  CView& v = room->views[static_cast<std::size_t>(view)];
  v.visible = FlagArg(a[2]);
  int* const fields[] = {&v.xview, &v.yview,   &v.wview,   &v.hview,  &v.xport,  &v.yport, &v.wport,
                         &v.hport, &v.hborder, &v.vborder, &v.hspeed, &v.vspeed, &v.object};
  for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = IntArg(a[3 + i]);
}

int AddRoom(Runtime& rt, CRoom room) {
  ResourceList<CRoom>& rooms = rt.resources.rooms;
  return rooms.add("__newroom" + std::to_string(rooms.count()), std::move(room));
}

PX_ROOM_FN(Add) {
  result.setReal(AddRoom(rt, CRoom{}));
}

PX_ROOM_FN(Duplicate) {
  const CRoom* source = RoomArg(rt, a[0]);
  if (!source) {
    RuntimeError(rt, "Trying to duplicate non-existing room.");
    return;
  }
  result.setReal(AddRoom(rt, *source));
}

PX_ROOM_FN(Assign) {
  ResourceList<CRoom>& rooms = rt.resources.rooms;
  const std::int32_t index = IntArg(a[0]);
  const CRoom* source = RoomArg(rt, a[1]);
  if (!source || index < 0 || index >= rooms.count()) {
    RuntimeError(rt, "Error assigning a room.");
    return;
  }
  CRoom copy = *source;
  if (CRoom* target = rooms.get(index))
    *target = std::move(copy);
  else
    rooms.set(index, "", std::move(copy));  // an emptied slot keeps no name
}

PX_ROOM_FN(InstanceAdd) {
  CRoom* room = RoomArg(rt, a[0]);
  if (!room) {
    result.setReal(-1);
    return;
  }
  RRoomInstance inst;
  inst.x = IntArg(a[1]);
  inst.y = IntArg(a[2]);
  inst.object = IntArg(a[3]);
  inst.id = ++rt.world.lastInstanceId;
  room->instances.push_back(inst);
  result.setReal(inst.id);
}

PX_ROOM_FN(InstanceClear) {
  if (CRoom* room = RoomArg(rt, a[0])) room->instances.clear();
}

// A tile of the arguments background, left, top, width, height, x, y,
// depth and, with `scaled`, xscale, yscale, alpha; -1 for a missing
// background (reported) or room.
void AddTile(Runtime& rt, RValue& result, Args a, bool scaled) {
  result.setReal(-1);
  const std::int32_t background = IntArg(a[1]);
  if (!rt.resources.backgrounds.exists(background)) {
    RuntimeError(rt, "Background does not exist.");
    return;
  }
  CRoom* room = RoomArg(rt, a[0]);
  if (!room) return;
  RTile t;
  t.background = background;
  t.left = IntArg(a[2]);
  t.top = IntArg(a[3]);
  t.width = IntArg(a[4]);
  t.height = IntArg(a[5]);
  t.x = a[6].real;
  t.y = a[7].real;
  t.depth = a[8].real;
  if (scaled) {
    t.xscale = a[9].real;
    t.yscale = a[10].real;
    t.alpha = a[11].real;
  }
  t.id = ++rt.resources.lastTileId;
  room->tiles.push_back(t);
  result.setReal(t.id);
}

PX_ROOM_FN(TileAdd) {
  AddTile(rt, result, a, false);
}

PX_ROOM_FN(TileAddExt) {
  AddTile(rt, result, a, true);
}

PX_ROOM_FN(TileClear) {
  if (CRoom* room = RoomArg(rt, a[0])) room->tiles.clear();
}

#undef PX_ROOM_FN

constexpr FunctionDef kRoomFunctions[] = {
    {"room_set_width", SetField<&CRoom::width, IntArg>},
    {"room_set_height", SetField<&CRoom::height, IntArg>},
    {"room_set_caption", SetField<&CRoom::caption, StringArg>},
    {"room_set_persistent", SetField<&CRoom::persistent, FlagArg>},
    {"room_set_code", SetField<&CRoom::creation_code, StringArg>},
    {"room_set_background_color", SetBackgroundColor},
    {"room_set_background", SetBackground},
    {"room_set_view", SetView},
    {"room_set_view_enabled", SetField<&CRoom::views_enabled, FlagArg>},
    {"room_add", Add},
    {"room_duplicate", Duplicate},
    {"room_assign", Assign},
    {"room_instance_add", InstanceAdd},
    {"room_instance_clear", InstanceClear},
    {"room_tile_add", TileAdd},
    {"room_tile_add_ext", TileAddExt},
    {"room_tile_clear", TileClear},
};

}  // namespace

std::span<const FunctionDef> RoomFunctions() {
  return kRoomFunctions;
}

}  // namespace px
