#include "run/Room_Draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "resources/Resource_Chunks.h"
#include "run/Event_Main.h"
#include "run/Run_Room.h"
#include "run/Runtime.h"

namespace px {

int SpriteImageTexture(const CSprite& sprite, CInstanceBase* self, double image) {
  const auto count = static_cast<std::int64_t>(sprite.textures.size());
  if (count == 0) return -1;
  std::int64_t index = 0;
  if (image < 0) {
    const CInstance* inst = AsInstance(self);
    index = inst ? static_cast<std::int64_t>(std::floor(inst->image_index)) : 0;
  } else {
    index = RealToInt64(image);
  }
  index %= count;
  if (index < 0) index += count;
  return sprite.textures[static_cast<std::size_t>(index)];
}

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

constexpr double kLayerDepth = 12000;
constexpr double kForegroundDepth = -12000;
constexpr double kCursorDepth = -13000;
constexpr double kMaxItemDepth = 11000;
// Below every particle system's depth: no system is left to draw.
constexpr double kNoParticles = -1e8;

struct Region {
  double left, top, right, bottom;
};

// The background and foreground layers of one kind, 0..7 in order.
void DrawLayers(Runtime& rt, const CRoom& room, bool foregrounds) {
  Drawing& d = rt.display.draw;
  for (const CBack& b : room.layers) {
    if (!b.visible || b.foreground != foregrounds) continue;
    const CBackground* bg = rt.resources.backgrounds.get(b.background);
    if (!bg) continue;
    const auto blend = static_cast<std::uint32_t>(b.blend) & 0xFFFFFF;
    if (b.htiled || b.vtiled)
      d.TextureTiled(bg->texture, 0, 0, b.x, b.y, b.xscale, b.yscale, b.htiled, b.vtiled, 0, 0,
                     room.width, room.height, blend, b.alpha);
    else
      d.TextureExt(bg->texture, 0, 0, b.x, b.y, b.xscale, b.yscale, 0, blend, b.alpha);
  }
}

// A tile whose scaled area touches the region.
void DrawTile(Runtime& rt, const RTile& t, const Region& r) {
  const CBackground* bg = rt.resources.backgrounds.get(t.background);
  if (!bg) return;
  double x1 = t.x, x2 = t.x + t.width * t.xscale;
  double y1 = t.y, y2 = t.y + t.height * t.yscale;
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x2 < r.left || x1 > r.right || y2 < r.top || y1 > r.bottom) return;
  rt.display.device.SetDepth(std::min(t.depth, kMaxItemDepth));
  rt.display.draw.TexturePartExt(bg->texture, t.left, t.top, t.width, t.height, t.x, t.y, t.xscale,
                                 t.yscale, 0, static_cast<std::uint32_t>(t.blend) & 0xFFFFFF,
                                 t.alpha);
}

// An instance by its draw event, else by its sprite.
void DrawInstance(Runtime& rt, CInstance& inst) {
  if (rt.world.eventLists.has(kDrawKind, 0, inst.object_index)) {
    rt.display.device.SetDepth(std::min(inst.depth, kMaxItemDepth));
    PerformEvent(rt, &inst, &inst, kDrawKind, 0);
    return;
  }
  const CSprite* s = rt.resources.sprites.get(inst.sprite_index);
  if (!s) return;
  rt.display.device.SetDepth(std::min(inst.depth, kMaxItemDepth));
  const int tex = SpriteImageTexture(*s, &inst, -1);
  const auto blend = static_cast<std::uint32_t>(inst.image_blend) & 0xFFFFFF;
  if (inst.image_xscale != 1 || inst.image_yscale != 1 || inst.image_angle != 0 ||
      blend != 0xFFFFFF || inst.image_alpha != 1)
    rt.display.draw.TextureExt(tex, s->xoffset, s->yoffset, inst.x, inst.y, inst.image_xscale,
                               inst.image_yscale, inst.image_angle * std::numbers::pi / 180.0,
                               blend, inst.image_alpha);
  else
    rt.display.draw.TextureQuad(tex, inst.x - s->xoffset, inst.y - s->yoffset);
}

// Instances and tiles merged by depth: at equal depth particle systems
// come first, then instances, then tiles.
void DrawItems(Runtime& rt, CRoom& room, const Region& r) {
  CInstanceList& list = rt.world.instances;
  std::size_t i = 0, j = 0;
  Particles& systems = rt.particles.particles;
  double particles = systems.HighestDepth();
  while (j < room.tiles.size() || i < list.size() || particles > kNoParticles) {
    const bool instLeft = i < list.size();
    const bool tileLeft = j < room.tiles.size();
    if (instLeft && (list.at(i).deleted || !list.at(i).visible)) {
      ++i;
    } else if (tileLeft && !room.tiles[j].visible) {
      ++j;
    } else if (particles > kNoParticles && (!instLeft || particles >= list.at(i).depth) &&
               (!tileLeft || particles >= room.tiles[j].depth)) {
      rt.display.device.SetDepth(std::min(particles, kMaxItemDepth));
      systems.DrawAtDepth(particles, rt.resources.sprites, rt.display.draw, rt.display.device);
      particles = systems.NextDepthBelow(particles);
    } else if (!instLeft || (tileLeft && room.tiles[j].depth > list.at(i).depth)) {
      DrawTile(rt, room.tiles[j], r);
      ++j;
    } else {
      DrawInstance(rt, list.at(i));
      ++i;
    }
  }
}

void DrawRegion(Runtime& rt, CRoom& room, const Region& r) {
  Device& dev = rt.display.device;
  if (dev.mode3D()) dev.ClearDepth();
  if (room.show_color) dev.ClearTarget(static_cast<std::uint32_t>(room.background_color), 1);
  dev.SetDepth(kLayerDepth);
  DrawLayers(rt, room, false);
  DrawItems(rt, room, r);
  dev.SetDepth(kForegroundDepth);
  DrawLayers(rt, room, true);
  if (const CSprite* s = rt.resources.sprites.get(rt.rooms.cursorSprite)) {
    dev.SetDepth(kCursorDepth);
    const auto frame = static_cast<double>(rt.run.cursorFrame);
    rt.display.draw.TextureExt(SpriteImageTexture(*s, nullptr, frame), s->xoffset, s->yoffset,
                               rt.input.mouseX, rt.input.mouseY, 1, 1, 0, 0xFFFFFF, 1);
  }
}

// The port table as the views stand, for mouse mapping.
void FillPorts(Runtime& rt, const CRoom& room) {
  for (int k = 0; k < kPortCount; ++k) rt.display.ports[static_cast<std::size_t>(k)] = {};
  if (!room.views_enabled) return;
  for (int k = 0; k < CRoom::kViews; ++k) {
    const CView& v = room.views[static_cast<std::size_t>(k)];
    if (!v.visible) continue;
    rt.display.ports[static_cast<std::size_t>(k)] = {true,
                                                     double(v.xview),
                                                     double(v.yview),
                                                     double(v.wview),
                                                     double(v.hview),
                                                     double(v.xport),
                                                     double(v.yport),
                                                     double(v.wport),
                                                     double(v.hport),
                                                     v.angle};
  }
}

void SortTiles(std::vector<RTile>& tiles) {
  const auto deeper = [](const RTile& a, const RTile& b) { return a.depth > b.depth; };
  if (std::is_sorted(tiles.begin(), tiles.end(), deeper)) return;
  for (std::size_t i = 1; i < tiles.size(); ++i)
    for (std::size_t j = i; j > 0 && deeper(tiles[j], tiles[j - 1]); --j)
      std::swap(tiles[j], tiles[j - 1]);
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

std::string RoomCaption(const Runtime& rt, const CRoom& room) {
  const RoomState& rs = rt.rooms;
  std::string caption = room.caption;
  if (rs.showScore && (rs.showScoreSet || rt.world.score > 0))
    caption += " " + rs.captionScore + std::to_string(rt.world.score);
  if (rs.showLives) caption += " " + rs.captionLives + std::to_string(rt.world.lives);
  if (rs.showHealth)
    caption += " " + rs.captionHealth + std::to_string(std::lrint(rt.world.health));
  return caption;
}

void ShowFrame(Runtime& rt) {
  rt.display.EndFramePresent();
  rt.display.device.BeginFrame();
}

void DrawRoom(Runtime& rt) {
  CRoom* room = CurrentRoomData(rt);
  if (!room) return;
  FollowViews(rt, *room);
  FillPorts(rt, *room);
  rt.world.instances.SortByDepth(rt.resources);
  SortTiles(room->tiles);
  Display& disp = rt.display;
  Device& dev = disp.device;
  const double w = room->width, h = room->height;
  if (room->views_enabled) {
    dev.SetViewport(0, 0, disp.regionWidth, disp.regionHeight);
    dev.ClearTarget(disp.windowColor, 1);
    for (std::int32_t k = 0; k < CRoom::kViews; ++k) {
      rt.rooms.viewCurrent = k;
      const CView& v = room->views[static_cast<std::size_t>(k)];
      if (!v.visible) continue;
      dev.SetViewport(v.xport, v.yport, v.wport, v.hport);
      dev.SetProjection2D(v.xview, v.yview, v.wview, v.hview, v.angle);
      Region r{double(v.xview), double(v.yview), double(v.xview + v.wview),
               double(v.yview + v.hview)};
      if (std::abs(v.angle) >= 0.01) {
        r.left -= v.hview / 2;
        r.right += v.hview / 2;
        r.top -= v.wview / 2;
        r.bottom += v.wview / 2;
      }
      DrawRegion(rt, *room, r);
    }
    dev.SetViewport(0, 0, disp.regionWidth, disp.regionHeight);
    dev.SetProjection2D(0, 0, disp.regionWidth, disp.regionHeight, 0);
  } else {
    rt.rooms.viewCurrent = 0;
    dev.SetViewport(0, 0, room->width, room->height);
    dev.SetProjection2D(0, 0, w, h, 0);
    DrawRegion(rt, *room, {0, 0, w, h});
  }
  disp.SetCaption(RoomCaption(rt, *room));
  rt.rooms.viewCurrent = 0;
}

void RedrawScreen(Runtime& rt) {
  DrawRoom(rt);
  ShowFrame(rt);
}

}  // namespace px
