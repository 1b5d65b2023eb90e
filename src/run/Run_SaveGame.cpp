#include "run/Run_SaveGame.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/Platform_Path.h"
#include "run/Run_Error.h"
#include "run/Run_Room.h"
#include "run/Runtime.h"
#include "system/Support_File.h"
#include "system/Support_Ini.h"

namespace px {

namespace {

constexpr std::int32_t kStoredLayers = CRoom::kLayers;
constexpr std::int32_t kStoredViews = CRoom::kViews;

// Raised for what no saved game of this game holds: a negative count, more
// layers or views than a room has, an instance of no object of the game, a
// current room that is not in play.
struct DamagedFile {};

std::int32_t ReadCount(CStream& s) {
  const std::int32_t n = StreamReadInt(s);
  if (n < 0) throw DamagedFile{};
  return n;
}

// ---- Layers, views and tiles ----

void WriteLayer(CStream& s, const CBack& b) {
  StreamWriteBool(s, b.visible);
  StreamWriteBool(s, b.foreground);
  StreamWriteInt(s, b.background);
  StreamWriteReal(s, b.x);
  StreamWriteReal(s, b.y);
  StreamWriteBool(s, b.htiled);
  StreamWriteBool(s, b.vtiled);
  StreamWriteReal(s, b.xscale);
  StreamWriteReal(s, b.yscale);
  StreamWriteReal(s, b.hspeed);
  StreamWriteReal(s, b.vspeed);
  StreamWriteInt(s, b.blend);
  StreamWriteReal(s, b.alpha);
}

void ReadLayer(CStream& s, CBack& b) {
  b.visible = StreamReadBool(s);
  b.foreground = StreamReadBool(s);
  b.background = StreamReadInt(s);
  b.x = StreamReadReal(s);
  b.y = StreamReadReal(s);
  b.htiled = StreamReadBool(s);
  b.vtiled = StreamReadBool(s);
  b.xscale = StreamReadReal(s);
  b.yscale = StreamReadReal(s);
  b.hspeed = StreamReadReal(s);
  b.vspeed = StreamReadReal(s);
  b.blend = StreamReadInt(s);
  b.alpha = StreamReadReal(s);
}

void WriteView(CStream& s, const CView& v) {
  StreamWriteBool(s, v.visible);
  for (const int field : {v.xview, v.yview, v.wview, v.hview, v.xport, v.yport, v.wport, v.hport})
    StreamWriteInt(s, field);
  StreamWriteReal(s, v.angle);
  for (const int field : {v.hborder, v.vborder, v.hspeed, v.vspeed, v.object})
    StreamWriteInt(s, field);
}

void ReadView(CStream& s, CView& v) {
  v.visible = StreamReadBool(s);
  for (int* field :
       {&v.xview, &v.yview, &v.wview, &v.hview, &v.xport, &v.yport, &v.wport, &v.hport})
    *field = StreamReadInt(s);
  v.angle = StreamReadReal(s);
  for (int* field : {&v.hborder, &v.vborder, &v.hspeed, &v.vspeed, &v.object})
    *field = StreamReadInt(s);
}

void WriteTile(CStream& s, const RTile& t) {
  StreamWriteReal(s, t.x);
  StreamWriteReal(s, t.y);
  for (const int field : {t.background, t.left, t.top, t.width, t.height}) StreamWriteInt(s, field);
  StreamWriteReal(s, t.depth);
  StreamWriteInt(s, t.id);
  StreamWriteReal(s, t.xscale);
  StreamWriteReal(s, t.yscale);
  StreamWriteInt(s, t.blend);
  StreamWriteReal(s, t.alpha);
  StreamWriteBool(s, t.visible);
}

RTile ReadTile(CStream& s) {
  RTile t;
  t.x = StreamReadReal(s);
  t.y = StreamReadReal(s);
  for (int* field : {&t.background, &t.left, &t.top, &t.width, &t.height})
    *field = StreamReadInt(s);
  t.depth = StreamReadReal(s);
  t.id = StreamReadInt(s);
  t.xscale = StreamReadReal(s);
  t.yscale = StreamReadReal(s);
  t.blend = StreamReadInt(s);
  t.alpha = StreamReadReal(s);
  t.visible = StreamReadBool(s);
  return t;
}

// ---- Instances ----

void WriteInstance(CStream& s, const CInstance& i) {
  StreamWriteInt(s, i.id);
  StreamWriteInt(s, i.sprite_index);
  for (const double v :
       {i.image_index, i.image_speed, i.image_xscale, i.image_yscale, i.image_angle, i.image_alpha})
    StreamWriteReal(s, v);
  StreamWriteInt(s, i.image_blend);
  StreamWriteInt(s, i.mask_index);
  for (const double v :
       {i.depth, i.x, i.y, i.xstart, i.ystart, i.xprevious, i.yprevious, i.direction, i.speed,
        i.friction, i.gravity_direction, i.gravity, i.hspeed, i.vspeed})
    StreamWriteReal(s, v);
  for (const std::int32_t v : {i.bbox_left, i.bbox_right, i.bbox_top, i.bbox_bottom})
    StreamWriteInt(s, v);
  for (const bool v : {i.visible, i.solid, i.persistent}) StreamWriteBool(s, v);
  StreamWriteInt(s, i.object_index);
  for (const std::int32_t alarm : i.alarm) StreamWriteInt(s, alarm);
  StreamWriteBool(s, i.deleted);
  StreamWriteBool(s, i.deactivated);
  StreamWriteInt(s, i.path_index);
  for (const double v :
       {i.path_position, i.path_positionprevious, i.path_speed, i.path_scale, i.path_orientation})
    StreamWriteReal(s, v);
  StreamWriteInt(s, i.path_endaction);
  StreamWriteReal(s, i.path_origin_x);
  StreamWriteReal(s, i.path_origin_y);
  StreamWriteInt(s, i.timeline_index);
  StreamWriteReal(s, i.timeline_position);
  StreamWriteReal(s, i.timeline_speed);
  StreamWriteBool(s, i.timeline_running);
  StreamWriteBool(s, i.timeline_loop);
  StreamWriteString(s, i.creation_code);
  i.variables.write(s);
}

// The fields are set as stored, the bounding box included: nothing is
// computed again, so the instance resumes exactly where it was.
std::unique_ptr<CInstance> ReadInstance(const GameResources& res, CStream& s) {
  auto inst = std::make_unique<CInstance>(res, 0, -1, 0.0, 0.0);
  CInstance& i = *inst;
  i.id = StreamReadInt(s);
  i.sprite_index = StreamReadInt(s);
  for (double* v : {&i.image_index, &i.image_speed, &i.image_xscale, &i.image_yscale,
                    &i.image_angle, &i.image_alpha})
    *v = StreamReadReal(s);
  i.image_blend = StreamReadInt(s);
  i.mask_index = StreamReadInt(s);
  for (double* v :
       {&i.depth, &i.x, &i.y, &i.xstart, &i.ystart, &i.xprevious, &i.yprevious, &i.direction,
        &i.speed, &i.friction, &i.gravity_direction, &i.gravity, &i.hspeed, &i.vspeed})
    *v = StreamReadReal(s);
  for (std::int32_t* v : {&i.bbox_left, &i.bbox_right, &i.bbox_top, &i.bbox_bottom})
    *v = StreamReadInt(s);
  for (bool* v : {&i.visible, &i.solid, &i.persistent}) *v = StreamReadBool(s);
  i.object_index = StreamReadInt(s);
  // The object lists are indexed by object: an index beyond the game's
  // objects names nothing any game could have saved.
  if (i.object_index < 0 || i.object_index >= res.objects.count()) throw DamagedFile{};
  i.object = res.objects.get(i.object_index);
  for (std::int32_t& alarm : i.alarm) alarm = StreamReadInt(s);
  i.deleted = StreamReadBool(s);
  i.deactivated = StreamReadBool(s);
  i.path_index = StreamReadInt(s);
  for (double* v : {&i.path_position, &i.path_positionprevious, &i.path_speed, &i.path_scale,
                    &i.path_orientation})
    *v = StreamReadReal(s);
  i.path_endaction = StreamReadInt(s);
  i.path_origin_x = StreamReadReal(s);
  i.path_origin_y = StreamReadReal(s);
  i.timeline_index = StreamReadInt(s);
  i.timeline_position = StreamReadReal(s);
  i.timeline_speed = StreamReadReal(s);
  i.timeline_running = StreamReadBool(s);
  i.timeline_loop = StreamReadBool(s);
  i.creation_code = StreamReadString(s);
  i.variables.read(s);
  return inst;
}

void WriteInstances(CStream& s, std::span<const std::unique_ptr<CInstance>> list) {
  StreamWriteInt(s, static_cast<std::int32_t>(list.size()));
  for (const auto& inst : list) WriteInstance(s, *inst);
}

// Reads the active instances, then the deactivated ones into the list.
void ReadInstances(const GameResources& res, CStream& s, CInstanceList& list) {
  const std::int32_t active = ReadCount(s);
  for (std::int32_t i = 0; i < active; ++i) list.Add(res, ReadInstance(res, s));
  const std::int32_t deactivated = ReadCount(s);
  for (std::int32_t i = 0; i < deactivated; ++i) {
    std::unique_ptr<CInstance> inst = ReadInstance(res, s);
    // Its place in the file puts it among the deactivated.
    inst->deactivated = true;
    list.Add(res, std::move(inst));
  }
  list.ApplyDeactivation(res);
}

// ---- Rooms ----

void WriteRoom(CStream& s, const CRoom& r, const CInstanceList& instances) {
  StreamWriteInt(s, kSavedRoomVersion);
  StreamWriteString(s, r.caption);
  StreamWriteInt(s, r.width);
  StreamWriteInt(s, r.height);
  StreamWriteInt(s, r.speed);
  StreamWriteBool(s, r.persistent);
  StreamWriteInt(s, r.background_color);
  StreamWriteBool(s, r.show_color);
  StreamWriteString(s, r.creation_code);
  StreamWriteInt(s, kStoredLayers);
  for (const CBack& layer : r.layers) WriteLayer(s, layer);
  StreamWriteBool(s, r.views_enabled);
  StreamWriteInt(s, kStoredViews);
  for (const CView& view : r.views) WriteView(s, view);
  WriteInstances(s, instances.active());
  WriteInstances(s, instances.deactivated());
  StreamWriteInt(s, static_cast<std::int32_t>(r.tiles.size()));
  for (const RTile& tile : r.tiles) WriteTile(s, tile);
}

// Reads `count` entries of a fixed table of 8 (layers or views); the rest
// keep their defaults.
template <class T, std::size_t N, class Read>
void ReadFixedTable(CStream& s, std::array<T, N>& table, Read read) {
  const std::int32_t count = ReadCount(s);
  if (count > static_cast<std::int32_t>(N)) throw DamagedFile{};
  for (std::int32_t i = 0; i < count; ++i) read(s, table[static_cast<std::size_t>(i)]);
}

// A room of another version keeps the defaults of a new room and nothing
// more of it is read.
std::unique_ptr<LiveRoom> ReadRoom(const GameResources& res, CStream& s) {
  auto live = std::make_unique<LiveRoom>();
  if (StreamReadInt(s) != kSavedRoomVersion) return live;
  CRoom& r = live->data;
  r.caption = StreamReadString(s);
  r.width = StreamReadInt(s);
  r.height = StreamReadInt(s);
  r.speed = StreamReadInt(s);
  r.persistent = StreamReadBool(s);
  r.background_color = StreamReadInt(s);
  r.show_color = StreamReadBool(s);
  r.creation_code = StreamReadString(s);
  ReadFixedTable(s, r.layers, ReadLayer);
  r.views_enabled = StreamReadBool(s);
  ReadFixedTable(s, r.views, ReadView);
  ReadInstances(res, s, live->keptInstances);
  const std::int32_t tiles = ReadCount(s);
  for (std::int32_t i = 0; i < tiles; ++i) r.tiles.push_back(ReadTile(s));
  return live;
}

// The instances of a room in play: the world's for the current room, the
// kept ones for the others.
const CInstanceList& RoomInstances(const Runtime& rt, const LiveRoom& live) {
  return &live == rt.rooms.current ? rt.world.instances : live.keptInstances;
}

// ---- The file ----

void ReadGameValues(CStream& s, SavedGame& g) {
  g.room = StreamReadInt(s);
  g.transitionKind = StreamReadInt(s);
  g.score = StreamReadInt(s);
  g.lives = StreamReadInt(s);
  g.health = StreamReadReal(s);
  g.cursorSprite = StreamReadInt(s);
  g.stepCounter = StreamReadInt(s);
  g.automaticDraw = StreamReadBool(s);
}

void ReadGlobals(CStream& s, SavedGame& g) {
  Variables read;
  g.hasGlobals = ReadGlobalVariables(read, s);
  if (!g.hasGlobals) return;
  g.globals = std::move(read.globals);
  g.globalVarFlags = std::move(read.globalVarFlags);
}

void ReadRooms(const GameResources& res, CStream& s, SavedGame& g) {
  const std::int32_t n = ReadCount(s);
  // Each entry takes at least its presence flag.
  if (static_cast<std::size_t>(n) > s.remaining() / 4) throw DamagedFile{};
  g.rooms.resize(static_cast<std::size_t>(n));
  for (auto& slot : g.rooms)
    if (StreamReadBool(s)) slot = ReadRoom(res, s);
  const auto current = static_cast<std::size_t>(g.room);
  if (g.room < 0 || current >= g.rooms.size() || !g.rooms[current]) throw DamagedFile{};
}

bool FileExists(const std::string& host) {
  struct stat st {};
  return !host.empty() && (::stat(host.c_str(), &st) == 0 || errno != ENOENT);
}

// False when the file cannot be opened or read to its end (a folder, say).
bool ReadWholeFile(const std::string& host, std::vector<std::uint8_t>& out) {
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::uint8_t buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    out.insert(out.end(), buffer, buffer + n);
  }
  ::close(fd);
  return ok;
}

}  // namespace

CStream WriteSavedGame(const Runtime& rt) {
  CStream s;
  StreamWriteInt(s, kSavedGameVersion);
  StreamWriteInt(s, rt.flags.gameId);
  StreamWriteInt(s, rt.rooms.index);
  StreamWriteInt(s, rt.rooms.transitionKind);
  StreamWriteInt(s, rt.world.score);
  StreamWriteInt(s, rt.world.lives);
  StreamWriteReal(s, rt.world.health);
  StreamWriteInt(s, rt.rooms.cursorSprite);
  StreamWriteInt(s, static_cast<std::int32_t>(rt.run.cursorFrame));
  StreamWriteBool(s, rt.display.automaticDraw);
  WriteGlobalVariables(rt.vars, s);
  StreamWriteInt(s, static_cast<std::int32_t>(rt.rooms.live.size()));
  for (const auto& live : rt.rooms.live) {
    StreamWriteBool(s, live != nullptr);
    if (live) WriteRoom(s, live->data, RoomInstances(rt, *live));
  }
  StreamWriteInt(s, rt.world.lastInstanceId);
  StreamWriteInt(s, rt.resources.lastTileId);
  return s;
}

SavedGameRead ReadSavedGame(const GameResources& res, std::int32_t gameId, CStream& s,
                            SavedGame& out) {
  try {
    if (StreamReadInt(s) != kSavedGameVersion) return SavedGameRead::OtherVersion;
    out.gameId = StreamReadInt(s);
    if (out.gameId != gameId) return SavedGameRead::OtherGame;
    ReadGameValues(s, out);
    ReadGlobals(s, out);
    ReadRooms(res, s, out);
    out.lastInstanceId = StreamReadInt(s);
    out.lastTileId = StreamReadInt(s);
  } catch (const StreamError&) {
    return SavedGameRead::Damaged;
  } catch (const DamagedFile&) {
    return SavedGameRead::Damaged;
  }
  return SavedGameRead::Ok;
}

void ApplySavedGame(Runtime& rt, SavedGame&& game) {
  rt.rooms.transitionKind = game.transitionKind;
  rt.world.score = game.score;
  rt.world.lives = game.lives;
  rt.world.health = game.health;
  rt.rooms.cursorSprite = game.cursorSprite;
  rt.run.cursorFrame = game.stepCounter;
  rt.display.automaticDraw = game.automaticDraw;
  if (game.hasGlobals) {
    rt.vars.globals = std::move(game.globals);
    rt.vars.globalVarFlags = std::move(game.globalVarFlags);
  }

  rt.world.instances.Clear();
  rt.rooms.carryOver.clear();
  rt.rooms.live = std::move(game.rooms);
  rt.rooms.index = game.room;
  LiveRoom& current = *rt.rooms.live[static_cast<std::size_t>(game.room)];
  rt.rooms.current = &current;
  rt.world.instances = std::move(current.keptInstances);
  current.keptInstances = CInstanceList();
  // The grid starts again from the new instances.
  rt.world.grid = CollisionGrid();
  rt.world.lastInstanceId = game.lastInstanceId;
  rt.resources.lastTileId = game.lastTileId;
  SizeGameArea(rt);
}

bool LoadSavedGameImage(Runtime& rt, CStream& image, const std::string& name) {
  SavedGame game;
  switch (ReadSavedGame(rt.resources, rt.flags.gameId, image, game)) {
    case SavedGameRead::Ok:
      ApplySavedGame(rt, std::move(game));
      return true;
    case SavedGameRead::OtherVersion:
      RuntimeError(rt, "Cannot load game saved with other version.");
      return false;
    case SavedGameRead::OtherGame:
      RuntimeError(rt, "This is a save file for a different game!");
      return false;
    case SavedGameRead::Damaged:
      break;
  }
  RuntimeError(rt, "Failed to load game from file " + name);
  return false;
}

void SaveGame(Runtime& rt, const std::string& name) {
  if (rt.files.secureMode && HasFolder(name)) {
    RuntimeError(rt, "In secure mode you cannot save game to file " + name);
    return;
  }
  const CStream image = WriteSavedGame(rt);
  const std::string host = HostPath(name);
  const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
  if (host.empty() || !ReplaceFileAtomically(host, bytes))
    RuntimeError(rt, "Failed to save game to file " + name);
}

void LoadGame(Runtime& rt, const std::string& name) {
  const std::string host = HostPath(name);
  if (!FileExists(host)) return;
  CStream image;
  if (!ReadWholeFile(host, image.bytes())) {
    RuntimeError(rt, "Failed to load game from file " + name);
    return;
  }
  LoadSavedGameImage(rt, image, name);
}

void RequestGameLoad(Runtime& rt, const std::string& name) {
  rt.rooms.loadFile = name;
  rt.pendingChange = kPendingLoad;
}

std::string KeySaveFileName(const Runtime& rt) {
  return "_save" + std::to_string(rt.flags.gameId) + ".sav";
}

}  // namespace px
