// The tiles of the current room, named by their ids. Outside a room there
// are no tiles: lookups find nothing and tile_add adds nothing.
#include "library/Function_Tile.h"

#include <vector>

#include "code/Code_Error.h"
#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

constexpr char kNoTile[] = "Tile does not exist.";
constexpr char kNoBackground[] = "Background does not exist.";

// The index of the tile with this id in the current room, or -1. The index
// found last is tried first, then the tiles from the front; a find is
// remembered.
std::int64_t TileIndex(Runtime& rt, std::int32_t id) {
  LiveRoom* room = rt.rooms.current;
  if (!room) return -1;
  const std::vector<RTile>& tiles = room->data.tiles;
  const std::int64_t count = static_cast<std::int64_t>(tiles.size());
  const std::int64_t last = room->lastTileIndex;
  if (last >= 0 && last < count && tiles[static_cast<std::size_t>(last)].id == id) return last;
  for (std::int64_t i = 0; i < count; ++i) {
    if (tiles[static_cast<std::size_t>(i)].id == id) {
      room->lastTileIndex = static_cast<std::int32_t>(i);
      return i;
    }
  }
  return -1;
}

// The tile named by an argument; reports a missing one.
RTile* TileArg(Runtime& rt, const RValue& v) {
  const std::int64_t i = TileIndex(rt, IntArg(v));
  if (i < 0) {
    RuntimeError(rt, kNoTile);
    return nullptr;
  }
  return &rt.rooms.current->data.tiles[static_cast<std::size_t>(i)];
}

bool BackgroundArg(Runtime& rt, const RValue& v) {
  if (rt.resources.backgrounds.exists(IntArg(v))) return true;
  RuntimeError(rt, kNoBackground);
  return false;
}

// Whether the tile's unscaled part covers the point, the right and bottom
// edges left out (`closed`: taken in).
bool Covers(const RTile& t, double x, double y, bool closed) {
  if (closed) return t.x <= x && x <= t.x + t.width && t.y <= y && y <= t.y + t.height;
  return t.x <= x && x < t.x + t.width && t.y <= y && y < t.y + t.height;
}

// The id of the first tile of the current room that `match` accepts, or -1.
template <class Match>
double FirstId(Runtime& rt, Match&& match) {
  if (!rt.rooms.current) return -1;
  for (const RTile& t : rt.rooms.current->data.tiles)
    if (match(t)) return t.id;
  return -1;
}

template <class Match>
void RemoveTiles(Runtime& rt, Match&& match) {
  if (rt.rooms.current) std::erase_if(rt.rooms.current->data.tiles, match);
}

template <class Change>
void ChangeLayer(Runtime& rt, double depth, Change&& change) {
  if (!rt.rooms.current) return;
  for (RTile& t : rt.rooms.current->data.tiles)
    if (t.depth == depth) change(t);
}

// Every handler here has the built-in function signature.
#define TILE_HANDLER(name)                                             \
  void name(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] const FunctionArgs& a)

// ---- Adding, finding and deleting ----

TILE_HANDLER(TileAdd) {
  result.setReal(-1);
  if (!BackgroundArg(rt, a[0]) || !rt.rooms.current) return;
  RTile t;
  t.background = IntArg(a[0]);
  t.left = IntArg(a[1]);
  t.top = IntArg(a[2]);
  t.width = IntArg(a[3]);
  t.height = IntArg(a[4]);
  t.x = a[5].real;
  t.y = a[6].real;
  t.depth = a[7].real;
  t.id = ++rt.resources.lastTileId;
  LiveRoom& room = *rt.rooms.current;
  room.data.tiles.push_back(t);
  room.lastTileIndex = static_cast<std::int32_t>(room.data.tiles.size() - 1);
  result.setReal(t.id);
}

TILE_HANDLER(TileExists) {
  result.setReal(Truth(TileIndex(rt, IntArg(a[0])) >= 0));
}

TILE_HANDLER(TileDelete) {
  const std::int64_t i = TileIndex(rt, IntArg(a[0]));
  if (i < 0) {
    RuntimeError(rt, kNoTile);
    return;
  }
  std::vector<RTile>& tiles = rt.rooms.current->data.tiles;
  tiles.erase(tiles.begin() + i);
}

// The first tile holding the point (right and bottom edges left out), in
// front of the instances (depth below 0) or not, as asked.
TILE_HANDLER(TileFind) {
  const double x = RoundHalfEven(a[0].real);
  const double y = RoundHalfEven(a[1].real);
  const bool foreground = FlagArg(a[2]);
  result.setReal(FirstId(
      rt, [&](const RTile& t) { return (t.depth < 0) == foreground && Covers(t, x, y, false); }));
}

// Every tile holding the point, edges included; a tile at depth 0 counts as
// foreground and as background.
TILE_HANDLER(TileDeleteAt) {
  const double x = RoundHalfEven(a[0].real);
  const double y = RoundHalfEven(a[1].real);
  const bool foreground = FlagArg(a[2]);
  RemoveTiles(rt, [&](const RTile& t) {
    return (foreground ? t.depth <= 0 : t.depth >= 0) && Covers(t, x, y, true);
  });
}

// ---- Fields ----

// A field of a tile; a missing tile gives `Missing`.
template <auto Field, int Missing = 0>
TILE_HANDLER(TileGet) {
  const RTile* t = TileArg(rt, a[0]);
  result.setReal(t ? static_cast<double>(t->*Field) : Missing);
}

TILE_HANDLER(TileSetPosition) {
  if (RTile* t = TileArg(rt, a[0])) {
    t->x = a[1].real;
    t->y = a[2].real;
  }
}

TILE_HANDLER(TileSetRegion) {
  if (RTile* t = TileArg(rt, a[0])) {
    t->left = IntArg(a[1]);
    t->top = IntArg(a[2]);
    t->width = IntArg(a[3]);
    t->height = IntArg(a[4]);
  }
}

TILE_HANDLER(TileSetBackground) {
  if (RTile* t = TileArg(rt, a[0]); t && BackgroundArg(rt, a[1])) t->background = IntArg(a[1]);
}

TILE_HANDLER(TileSetVisible) {
  if (RTile* t = TileArg(rt, a[0])) t->visible = FlagArg(a[1]);
}

TILE_HANDLER(TileSetDepth) {
  if (RTile* t = TileArg(rt, a[0])) t->depth = a[1].real;
}

TILE_HANDLER(TileSetScale) {
  if (RTile* t = TileArg(rt, a[0])) {
    t->xscale = a[1].real;
    t->yscale = a[2].real;
  }
}

TILE_HANDLER(TileSetBlend) {
  if (RTile* t = TileArg(rt, a[0])) t->blend = IntArg(a[1]);
}

TILE_HANDLER(TileSetAlpha) {
  if (RTile* t = TileArg(rt, a[0])) t->alpha = a[1].real;
}

// ---- Layers: the tiles of exactly one depth ----

TILE_HANDLER(TileLayerHide) {
  ChangeLayer(rt, a[0].real, [](RTile& t) { t.visible = false; });
}

TILE_HANDLER(TileLayerShow) {
  ChangeLayer(rt, a[0].real, [](RTile& t) { t.visible = true; });
}

TILE_HANDLER(TileLayerShift) {
  ChangeLayer(rt, a[0].real, [&](RTile& t) {
    t.x += a[1].real;
    t.y += a[2].real;
  });
}

TILE_HANDLER(TileLayerDepth) {
  ChangeLayer(rt, a[0].real, [&](RTile& t) { t.depth = a[1].real; });
}

TILE_HANDLER(TileLayerDelete) {
  RemoveTiles(rt, [&](const RTile& t) { return t.depth == a[0].real; });
}

TILE_HANDLER(TileLayerFind) {
  const double x = RoundHalfEven(a[1].real);
  const double y = RoundHalfEven(a[2].real);
  result.setReal(
      FirstId(rt, [&](const RTile& t) { return t.depth == a[0].real && Covers(t, x, y, false); }));
}

TILE_HANDLER(TileLayerDeleteAt) {
  const double x = RoundHalfEven(a[1].real);
  const double y = RoundHalfEven(a[2].real);
  RemoveTiles(rt, [&](const RTile& t) { return t.depth == a[0].real && Covers(t, x, y, false); });
}

#undef TILE_HANDLER

const FunctionDef kTileFunctions[] = {
    {"tile_get_x", TileGet<&RTile::x>},
    {"tile_get_y", TileGet<&RTile::y>},
    {"tile_get_left", TileGet<&RTile::left>},
    {"tile_get_top", TileGet<&RTile::top>},
    {"tile_get_width", TileGet<&RTile::width>},
    {"tile_get_height", TileGet<&RTile::height>},
    {"tile_get_depth", TileGet<&RTile::depth>},
    {"tile_get_visible", TileGet<&RTile::visible>},
    {"tile_get_xscale", TileGet<&RTile::xscale>},
    {"tile_get_yscale", TileGet<&RTile::yscale>},
    {"tile_get_blend", TileGet<&RTile::blend>},
    {"tile_get_alpha", TileGet<&RTile::alpha>},
    {"tile_get_background", TileGet<&RTile::background, -1>},
    {"tile_set_visible", TileSetVisible},
    {"tile_set_background", TileSetBackground},
    {"tile_set_region", TileSetRegion},
    {"tile_set_position", TileSetPosition},
    {"tile_set_depth", TileSetDepth},
    {"tile_set_scale", TileSetScale},
    {"tile_set_blend", TileSetBlend},
    {"tile_set_alpha", TileSetAlpha},
    {"tile_add", TileAdd},
    {"tile_find", TileFind},
    {"tile_exists", TileExists},
    {"tile_delete", TileDelete},
    {"tile_delete_at", TileDeleteAt},
    {"tile_layer_hide", TileLayerHide},
    {"tile_layer_show", TileLayerShow},
    {"tile_layer_delete", TileLayerDelete},
    {"tile_layer_shift", TileLayerShift},
    {"tile_layer_find", TileLayerFind},
    {"tile_layer_delete_at", TileLayerDeleteAt},
    {"tile_layer_depth", TileLayerDepth},
};

}  // namespace

std::span<const FunctionDef> TileFunctions() {
  return kTileFunctions;
}

}  // namespace px
