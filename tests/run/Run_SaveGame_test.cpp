// Saved games: a game in play saved, changed and loaded back; the file's
// byte layout read by a reader of its own; refused files and failed saves;
// the save and load keys; a save killed while it writes.
#include "run/Run_SaveGame.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "run/Run_Room.h"
#include "run/Run_Step.h"
#include "run/Runtime.h"
#include "system/File_TestSupport.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CodeAction;
using pxtest::EndsWith;
using pxtest::InScratchDir;
using pxtest::WorldRun;

namespace {

constexpr std::int32_t kGameId = 4321;
constexpr std::int32_t kRoomStart = 4;
constexpr std::int32_t kRoomEnd = 5;

std::vector<std::uint8_t> Image(const Runtime& rt) {
  return WriteSavedGame(rt).bytes();
}

RRoomInstance Placed(std::int32_t object, std::int32_t id, std::string code = "") {
  return {.x = 10, .y = 20, .object = object, .id = id, .creation_code = std::move(code)};
}

// A game of three rooms: rm_a (left behind, not persistent), rm_b
// (persistent, with tiles) and rm_c (with views); an object that logs its
// create, room start and room end events; a path and a time line.
class SavedGames : public ::testing::Test {
 protected:
  SavedGames() {
    Runtime& rt = w.rt;
    rt.settings.showErrors = false;
    rt.flags.gameId = kGameId;
    obj = w.AddObject("obj");
    w.On(obj, EventKind::Create, 0, {CodeAction("log('create', id)")});
    w.On(obj, EventKind::Other, kRoomStart, {CodeAction("log('room start', id)")});
    w.On(obj, EventKind::Other, kRoomEnd, {CodeAction("log('room end', id)")});
    rt.resources.backgrounds.add("bk", CBackground{});
    CPath path;
    path.closed = false;
    path.points = {{0, 0, 100}, {200, 0, 100}};
    path.GeometryChanged();
    rt.resources.paths.add("pth", path);
    CTimeLine line;
    line.steps = {100};
    line.events.emplace_back();
    rt.resources.timeLines.add("tl", line);

    CRoom a;
    a.instances = {Placed(obj, 100001)};
    CRoom b;
    b.persistent = true;
    b.instances = {Placed(obj, 100002), Placed(obj, 100003)};
    b.tiles = {RTile{.x = 16, .y = 24, .background = 0, .width = 8, .height = 8, .id = 10000001}};
    CRoom c;
    c.views_enabled = true;
    c.views[0].visible = true;
    c.instances = {Placed(obj, 100004)};
    rt.resources.rooms.add("rm_a", a);
    rt.resources.rooms.add("rm_b", b);
    rt.resources.rooms.add("rm_c", c);
    rt.resources.roomOrder = {0, 1, 2};
    // Ids made by instance_create come after the placed ones.
    rt.resources.lastInstanceId = 100010;
  }

  void Start() {
    ASSERT_TRUE(w.Start());
    ASSERT_TRUE(GameStart(w.rt));
  }
  void Goto(std::int32_t room) {
    RequestRoom(w.rt, room);
    ASSERT_TRUE(CarryOutPendingChange(w.rt));
  }
  CInstance& Find(std::int32_t id) {
    CInstance* inst = w.rt.world.instances.find(id);
    EXPECT_NE(inst, nullptr) << id;
    return *inst;
  }
  // Runs code for the instance and fails the test when it reports an error.
  void Run(std::int32_t id, const std::string& code) {
    w.rt.code.report.last.clear();
    w.Run(Find(id), code);
    EXPECT_EQ(w.rt.code.report.last, "") << code;
  }
  std::string Report() const { return w.rt.code.report.last; }

  InScratchDir dir;
  WorldRun w;
  std::int32_t obj = -1;
};

// ---- The round trip ----

TEST_F(SavedGames, ALoadBringsBackEveryRoomInstanceAndValueAsSaved) {
  Start();
  Goto(1);
  // Paths and time lines in progress, alarms, variables with arrays, a
  // deactivated instance, an added tile and changed layers.
  Run(100002,
      "path_start(pth, 4, 2, false); timeline_index = tl;"
      "timeline_running = true; timeline_speed = 0.5; alarm[3] = 7; arr[2] = 'two';"
      "arr[1, 4] = 5; name = 'b2'; image_blend = c_red;"
      "instance_deactivate_object(100003); tile_add(bk, 1, 2, 3, 4, 50, 60, -5);"
      "background_x[1] = 12; background_hspeed[1] = 0.5; background_visible[1] = true");
  RunStep(w.rt);
  RunStep(w.rt);
  Goto(2);
  Run(100004,
      "global.text = 'abc'; globalvar gv; gv = 9; global.grid[1, 2] = 4; score = 17;"
      "lives = 2; health = 55.5; transition_kind = 3; x = 70; view_xview[0] = 30;"
      "friction = 0.25; gravity = 0.5; mine = instance_create(5, 6, obj);"
      "game_save('slot.sav')");
  const std::vector<std::uint8_t> saved = Image(w.rt);
  ASSERT_EQ(pxtest::ReadBytes("slot.sav"), saved);

  // Play on: other values, the current room left, another room entered.
  Run(100004, "score = 1; lives = 0; global.text = 'changed'; gv = 0; x = 0; view_xview[0] = 0");
  RunStep(w.rt);
  Goto(0);
  w.TakeLog();
  Run(100001, "game_load('slot.sav'); log('the code goes on')");
  EXPECT_EQ(w.rt.pendingChange, kPendingLoad);
  EXPECT_EQ(w.rt.world.score, 1) << "the load waits for the end of the step";
  ASSERT_TRUE(CarryOutPendingChange(w.rt));

  // No event ran; the game is back as saved, field for field.
  EXPECT_EQ(w.TakeLog(), "the code goes on");
  EXPECT_EQ(Report(), "");
  EXPECT_EQ(Image(w.rt), saved);
  EXPECT_EQ(w.rt.rooms.index, 2);
  EXPECT_EQ(w.rt.world.score, 17);
  EXPECT_EQ(w.rt.world.lives, 2);
  EXPECT_EQ(Find(100004).x, 70);
  EXPECT_EQ(
      w.Run(Find(100004), "return global.text + string(gv) + string(global.grid[1, 2])").str(),
      "abc94");
  EXPECT_EQ(CurrentRoomData(w.rt)->views[0].xview, 30);
  EXPECT_EQ(w.rt.rooms.live[0], nullptr);

  // The kept persistent room resumes: no creation, its deactivated instance
  // stays out, its path and time line go on from where they were.
  Goto(1);
  EXPECT_EQ(w.TakeLog(), "room end 100004|room end 100011|room start 100002");
  CInstance& b2 = Find(100002);
  EXPECT_EQ(w.Run(b2, "return name + arr[2] + string(arr[1, 4])").str(), "b2two5");
  EXPECT_NEAR(b2.path_position, 8.0 / 200, 1e-12);
  EXPECT_EQ(b2.timeline_position, 1.0);
  EXPECT_EQ(b2.alarm[3], 7);
  ASSERT_EQ(w.rt.world.instances.deactivated().size(), 1u);
  EXPECT_EQ(w.rt.world.instances.deactivated()[0]->id, 100003);
  ASSERT_EQ(CurrentRoomData(w.rt)->tiles.size(), 2u);
  EXPECT_EQ(CurrentRoomData(w.rt)->layers[1].x, 13);
}

// ---- The byte layout ----

// Reads the primitives of the file as the format defines them: int32 and
// double little-endian, bool an int32 of 0 or 1, string a length and bytes.
class LayoutReader {
 public:
  explicit LayoutReader(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::int32_t Int() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{Byte()} << (8 * i);
    return static_cast<std::int32_t>(v);
  }
  double Real() {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= std::uint64_t{Byte()} << (8 * i);
    return std::bit_cast<double>(v);
  }
  bool Bool() {
    const std::int32_t v = Int();
    EXPECT_TRUE(v == 0 || v == 1) << "bool stored as " << v << " at " << pos_ - 4;
    return v == 1;
  }
  std::string Str() {
    const std::int32_t n = Int();
    std::string s;
    for (std::int32_t i = 0; i < n; ++i) s += static_cast<char>(Byte());
    return s;
  }
  std::vector<std::int32_t> Ints(int n) {
    std::vector<std::int32_t> v;
    for (int i = 0; i < n; ++i) v.push_back(Int());
    return v;
  }
  std::vector<double> Reals(int n) {
    std::vector<double> v;
    for (int i = 0; i < n; ++i) v.push_back(Real());
    return v;
  }
  std::vector<bool> Bools(int n) {
    std::vector<bool> v;
    for (int i = 0; i < n; ++i) v.push_back(Bool());
    return v;
  }
  bool AtEnd() const { return pos_ == bytes_.size(); }

 private:
  std::uint8_t Byte() {
    if (pos_ >= bytes_.size()) {
      ADD_FAILURE() << "read past the end";
      return 0;
    }
    return bytes_[pos_++];
  }
  std::vector<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// One stored value: kind, real, string.
struct Value {
  std::int32_t kind;
  double real;
  std::string text;
  bool operator==(const Value&) const = default;
};

Value ReadValue(LayoutReader& r) {
  const std::int32_t kind = r.Int();
  const double real = r.Real();
  return {kind, real, r.Str()};
}

// A variable list; each entry's id, plain value and array rows.
struct Variable {
  std::int32_t id;
  Value value;
  std::vector<std::vector<Value>> rows;
  bool operator==(const Variable&) const = default;
};

std::vector<Variable> ReadVariables(LayoutReader& r) {
  EXPECT_EQ(r.Int(), 440);
  std::vector<Variable> vars(static_cast<std::size_t>(r.Int()));
  for (Variable& v : vars) {
    v.id = r.Int();
    v.value = ReadValue(r);
    v.rows.resize(static_cast<std::size_t>(r.Int()));
    for (auto& row : v.rows) {
      row.resize(static_cast<std::size_t>(r.Int()));
      for (Value& e : row) e = ReadValue(r);
    }
  }
  return vars;
}

TEST_F(SavedGames, TheFileLaysOutEveryFieldInItsOrder) {
  CRoom& c = *w.rt.resources.rooms.get(2);
  c.caption = "Cap";
  c.width = 320;
  c.height = 200;
  c.speed = 45;
  c.background_color = 0x123456;
  c.show_color = false;
  c.creation_code = "log('rc')";
  c.layers[0] = {.visible = true,
                 .background = 0,
                 .x = 5,
                 .y = 6,
                 .vtiled = false,
                 .hspeed = 0.25,
                 .vspeed = -0.5,
                 .xscale = 2,
                 .yscale = 3,
                 .blend = 0x00FF00,
                 .alpha = 0.5};
  c.views[0] = {.visible = true,
                .xview = 1,
                .yview = 2,
                .wview = 3,
                .hview = 4,
                .xport = 5,
                .yport = 6,
                .wport = 7,
                .hport = 8,
                .hborder = 9,
                .vborder = 10,
                .hspeed = 11,
                .vspeed = 12,
                .object = 13};
  c.tiles = {RTile{.x = 16,
                   .y = 24,
                   .background = 0,
                   .left = 1,
                   .top = 2,
                   .width = 8,
                   .height = 9,
                   .depth = 10,
                   .id = 10000007}};
  c.instances.push_back(Placed(obj, 100005));
  Start();
  Goto(2);
  Runtime& rt = w.rt;
  CurrentRoomData(rt)->views[0].angle = 30;
  Run(100004,
      "global.g = 'hi'; globalvar gv; gv = 2; score = 12; lives = 3; health = 40.5;"
      "transition_kind = 6; s = 'ab'; r = 2.5; instance_deactivate_object(100005);"
      "tile_set_visible(10000007, false); tile_set_alpha(10000007, 0.25)");
  rt.run.cursorFrame = 77;
  rt.display.automaticDraw = false;
  CInstance& i = Find(100004);
  // Distinct values in every field, so that a field out of place shows.
  i.image_index = 1.5;
  i.image_speed = 2.5;
  i.image_xscale = 3.5;
  i.image_yscale = 4.5;
  i.image_angle = 5.5;
  i.image_alpha = 0.75;
  i.image_blend = 0x010203;
  i.mask_index = 0;
  i.depth = -7;
  i.x = 10;
  i.y = 20;
  i.xstart = 11;
  i.ystart = 21;
  i.xprevious = 12;
  i.yprevious = 22;
  i.direction = 30;
  i.speed = 2;
  i.friction = 0.125;
  i.gravity_direction = 250;
  i.gravity = 0.375;
  i.hspeed = 1.25;
  i.vspeed = -1.75;
  i.bbox_left = 1;
  i.bbox_right = 2;
  i.bbox_top = 3;
  i.bbox_bottom = 4;
  i.visible = false;
  i.solid = true;
  i.persistent = false;
  for (int a = 0; a < kAlarmCount; ++a) i.alarm[static_cast<std::size_t>(a)] = 100 + a;
  i.path_index = 0;
  i.path_position = 0.5;
  i.path_positionprevious = 0.25;
  i.path_speed = 3;
  i.path_scale = 1.5;
  i.path_orientation = 90;
  i.path_endaction = 2;
  i.path_origin_x = 7;
  i.path_origin_y = 8;
  i.timeline_index = 0;
  i.timeline_position = 4.5;
  i.timeline_speed = 2;
  i.timeline_running = true;
  i.timeline_loop = false;
  i.creation_code = "cc";
  // An array whose rows hold 3 values and none.
  i.variables.ensure(VariableIndexOf(rt.vars, "a")).rows = {
      {RValue::FromReal(1), RValue::FromString("x"), RValue::FromReal(3)}, {}};
  const std::int32_t sId = VariableIndexOf(rt.vars, "s");
  const std::int32_t rId = VariableIndexOf(rt.vars, "r");
  const std::int32_t aId = VariableIndexOf(rt.vars, "a");
  const std::int32_t gId = VariableIndexOf(rt.vars, "g");
  const std::int32_t gvId = VariableIndexOf(rt.vars, "gv");
  w.Run(i, "game_save('layout.sav')");

  LayoutReader r(pxtest::ReadBytes("layout.sav"));
  EXPECT_EQ(r.Ints(6), (std::vector<std::int32_t>{540, kGameId, 2, 6, 12, 3}));
  EXPECT_EQ(r.Real(), 40.5);
  EXPECT_EQ(r.Ints(2), (std::vector<std::int32_t>{-1, 77}));
  EXPECT_FALSE(r.Bool());
  // Globals: a string in kind 1 with real 0, a real in kind 0 with "".
  EXPECT_EQ(r.Int(), 700);
  EXPECT_EQ(ReadVariables(r),
            (std::vector<Variable>{{gId, {1, 0, "hi"}, {}}, {gvId, {0, 2, ""}, {}}}));
  const std::vector<bool> flags = r.Bools(r.Int());
  ASSERT_EQ(flags.size(), 10000u);
  for (std::size_t f = 0; f < flags.size(); ++f)
    EXPECT_EQ(flags[f], static_cast<std::int32_t>(f) + 100000 == gvId) << f;

  // rm_a was left and dropped, rm_b never entered.
  EXPECT_EQ(r.Int(), 3);
  EXPECT_EQ(r.Bools(2), (std::vector<bool>{false, false}));
  EXPECT_TRUE(r.Bool());
  EXPECT_EQ(r.Int(), 540);
  EXPECT_EQ(r.Str(), "Cap");
  EXPECT_EQ(r.Ints(3), (std::vector<std::int32_t>{320, 200, 45}));
  EXPECT_FALSE(r.Bool());
  EXPECT_EQ(r.Int(), 0x123456);
  EXPECT_FALSE(r.Bool());
  EXPECT_EQ(r.Str(), "log('rc')");
  EXPECT_EQ(r.Int(), 8);
  // Layer 0: the scales come before the speeds.
  EXPECT_EQ(r.Bools(2), (std::vector<bool>{true, false}));
  EXPECT_EQ(r.Int(), 0);
  EXPECT_EQ(r.Reals(2), (std::vector<double>{5, 6}));
  EXPECT_EQ(r.Bools(2), (std::vector<bool>{true, false}));
  EXPECT_EQ(r.Reals(4), (std::vector<double>{2, 3, 0.25, -0.5}));
  EXPECT_EQ(r.Int(), 0x00FF00);
  EXPECT_EQ(r.Real(), 0.5);
  for (int layer = 1; layer < 8; ++layer) {
    EXPECT_EQ(r.Bools(2), (std::vector<bool>{false, false}));
    EXPECT_EQ(r.Int(), -1);
    EXPECT_EQ(r.Reals(2), (std::vector<double>{0, 0}));
    EXPECT_EQ(r.Bools(2), (std::vector<bool>{true, true}));
    EXPECT_EQ(r.Reals(4), (std::vector<double>{1, 1, 0, 0}));
    EXPECT_EQ(r.Int(), 0xFFFFFF);
    EXPECT_EQ(r.Real(), 1);
  }
  EXPECT_TRUE(r.Bool());
  EXPECT_EQ(r.Int(), 8);
  EXPECT_TRUE(r.Bool());
  EXPECT_EQ(r.Ints(8), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(r.Real(), 30);
  EXPECT_EQ(r.Ints(5), (std::vector<std::int32_t>{9, 10, 11, 12, 13}));
  for (int view = 1; view < 8; ++view) {
    EXPECT_FALSE(r.Bool());
    EXPECT_EQ(r.Ints(8), (std::vector<std::int32_t>{0, 0, 640, 480, 0, 0, 640, 480}));
    EXPECT_EQ(r.Real(), 0);
    EXPECT_EQ(r.Ints(5), (std::vector<std::int32_t>{32, 32, -1, -1, -1}));
  }

  // The one active instance, field by field.
  EXPECT_EQ(r.Int(), 1);
  EXPECT_EQ(r.Ints(2), (std::vector<std::int32_t>{100004, -1}));
  EXPECT_EQ(r.Reals(6), (std::vector<double>{1.5, 2.5, 3.5, 4.5, 5.5, 0.75}));
  EXPECT_EQ(r.Ints(2), (std::vector<std::int32_t>{0x010203, 0}));
  EXPECT_EQ(r.Reals(14), (std::vector<double>{-7, 10, 20, 11, 21, 12, 22, 30, 2, 0.125, 250, 0.375,
                                              1.25, -1.75}));
  EXPECT_EQ(r.Ints(4), (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(r.Bools(3), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(r.Int(), obj);
  EXPECT_EQ(r.Ints(12), (std::vector<std::int32_t>{100, 101, 102, 103, 104, 105, 106, 107, 108, 109,
                                                   110, 111}));
  EXPECT_EQ(r.Bools(2), (std::vector<bool>{false, false}));
  EXPECT_EQ(r.Int(), 0);
  EXPECT_EQ(r.Reals(5), (std::vector<double>{0.5, 0.25, 3, 1.5, 90}));
  EXPECT_EQ(r.Int(), 2);
  EXPECT_EQ(r.Reals(2), (std::vector<double>{7, 8}));
  EXPECT_EQ(r.Int(), 0);
  EXPECT_EQ(r.Reals(2), (std::vector<double>{4.5, 2}));
  EXPECT_EQ(r.Bools(2), (std::vector<bool>{true, false}));
  EXPECT_EQ(r.Str(), "cc");
  const Value one{0, 1, ""}, x{1, 0, "x"}, three{0, 3, ""};
  EXPECT_EQ(ReadVariables(r), (std::vector<Variable>{{sId, {1, 0, "ab"}, {}},
                                                     {rId, {0, 2.5, ""}, {}},
                                                     {aId, {0, 0, ""}, {{one, x, three}, {}}}}));

  // The deactivated instance: its id first and its deactivated flag set.
  EXPECT_EQ(r.Int(), 1);
  EXPECT_EQ(r.Int(), 100005);
  r.Ints(1);
  r.Reals(6);
  r.Ints(2);
  r.Reals(14);
  r.Ints(4);
  r.Bools(3);
  r.Ints(13);
  EXPECT_EQ(r.Bools(2), (std::vector<bool>{false, true}));
  r.Ints(1);
  r.Reals(5);
  r.Ints(1);
  r.Reals(2);
  r.Ints(1);
  r.Reals(2);
  r.Bools(2);
  EXPECT_EQ(r.Str(), "");
  EXPECT_EQ(ReadVariables(r), std::vector<Variable>{});

  // The tile, then the two id counters.
  EXPECT_EQ(r.Int(), 1);
  EXPECT_EQ(r.Reals(2), (std::vector<double>{16, 24}));
  EXPECT_EQ(r.Ints(5), (std::vector<std::int32_t>{0, 1, 2, 8, 9}));
  EXPECT_EQ(r.Real(), 10);
  EXPECT_EQ(r.Int(), 10000007);
  EXPECT_EQ(r.Reals(2), (std::vector<double>{1, 1}));
  EXPECT_EQ(r.Int(), 0xFFFFFF);
  EXPECT_EQ(r.Real(), 0.25);
  EXPECT_FALSE(r.Bool());
  EXPECT_EQ(r.Int(), rt.world.lastInstanceId);
  EXPECT_EQ(r.Int(), rt.resources.lastTileId);
  EXPECT_TRUE(r.AtEnd());
}

// ---- Refused files ----

TEST_F(SavedGames, RefusedFilesReportWhyAndLeaveTheGameAsItWas) {
  Start();
  Goto(2);
  Run(100004, "score = 3; game_save('good.sav'); score = 8; global.v = 1");
  const std::vector<std::uint8_t> good = pxtest::ReadBytes("good.sav");
  const auto edited = [&good](std::size_t offset, std::int32_t value) {
    std::vector<std::uint8_t> b = good;
    std::memcpy(b.data() + offset, &value, 4);
    return b;
  };
  const auto cut = [&good](std::size_t size) {
    return std::vector<std::uint8_t>(good.begin(),
                                     good.begin() + static_cast<std::ptrdiff_t>(size));
  };
  const std::string failed = "Failed to load game from file ";
  const struct {
    std::string name;
    std::vector<std::uint8_t> bytes;
    std::string message;
  } cases[] = {
      {"empty.sav", {}, failed + "empty.sav"},
      {"short.sav", cut(6), failed + "short.sav"},
      {"half.sav", cut(good.size() / 2), failed + "half.sav"},
      {"cut.sav", cut(good.size() - 1), failed + "cut.sav"},
      {"version.sav", edited(0, 539), "Cannot load game saved with other version."},
      {"other.sav", edited(4, kGameId + 1), "This is a save file for a different game!"},
      // The current room must be one of the rooms in play.
      {"dropped.sav", edited(8, 0), failed + "dropped.sav"},
      {"beyond.sav", edited(8, 3), failed + "beyond.sav"},
      {"negative.sav", edited(8, -1), failed + "negative.sav"},
  };
  const std::vector<std::uint8_t> before = Image(w.rt);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    pxtest::WriteBytes(c.name, c.bytes);
    w.rt.code.report.last.clear();
    LoadGame(w.rt, c.name);
    EXPECT_TRUE(EndsWith(Report(), c.message)) << Report();
    EXPECT_EQ(Image(w.rt), before);
  }

  // A missing file does nothing; a folder cannot be read.
  w.rt.code.report.last.clear();
  LoadGame(w.rt, "missing.sav");
  EXPECT_EQ(Report(), "");
  std::filesystem::create_directory("folder.sav");
  LoadGame(w.rt, "folder.sav");
  EXPECT_TRUE(EndsWith(Report(), failed + "folder.sav")) << Report();
  EXPECT_EQ(Image(w.rt), before);

  // The good file still loads.
  LoadGame(w.rt, "good.sav");
  EXPECT_EQ(w.rt.world.score, 3);
}

TEST_F(SavedGames, ASaveRefusedOrFailedWritesNothing) {
  Start();
  std::filesystem::create_directory("sub");
  const struct {
    bool secure;
    std::string name;
    std::string message;  // "" when the save succeeds
  } cases[] = {
      {true, "sub/a.sav", "In secure mode you cannot save game to file sub/a.sav"},
      {true, "sub\\b.sav", "In secure mode you cannot save game to file sub\\b.sav"},
      {true, "c.sav", ""},
      {false, "sub\\d.sav", ""},
      {false, "nofolder/e.sav", "Failed to save game to file nofolder/e.sav"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    w.rt.files.secureMode = c.secure;
    w.rt.code.report.last.clear();
    px::SaveGame(w.rt, c.name);
    if (c.message.empty()) {
      EXPECT_EQ(Report(), "");
    } else {
      EXPECT_TRUE(EndsWith(Report(), c.message)) << Report();
    }
  }
  std::vector<std::string> written;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
    if (e.is_regular_file()) written.push_back(e.path().lexically_relative(dir.path()).string());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"c.sav", "sub/d.sav"}));
}

// ---- The save and load keys ----

TEST_F(SavedGames, F5SavesAndF6LoadsOnlyWhenTheGameEnablesThem) {
  const std::string file = "_save4321.sav";
  const auto press = [this](std::int32_t key) {
    w.rt.input.lastKey = key;
    w.rt.input.held[static_cast<std::size_t>(key)] = true;
    RunStep(w.rt);
  };
  Start();
  Goto(2);
  w.TakeLog();

  // Turned off, both keys do nothing.
  w.rt.settings.keyF5F6 = false;
  w.rt.world.score = 5;
  press(116);
  EXPECT_FALSE(std::filesystem::exists(file));
  px::SaveGame(w.rt, file);
  w.rt.world.score = 9;
  press(117);
  EXPECT_EQ(w.rt.world.score, 9);
  EXPECT_EQ(w.rt.input.lastKey, 117);

  // Turned on, F5 saves at once and F6 loads at once, with the keyboard
  // cleared; the step goes on in the loaded game.
  w.rt.settings.keyF5F6 = true;
  w.rt.world.score = 6;
  press(116);
  EXPECT_EQ(w.rt.input.lastKey, 0);
  EXPECT_EQ(pxtest::ReadBytes(file).at(16), 6) << "the score saved";
  w.rt.world.score = 9;
  Find(100004).x = 99;
  press(117);
  EXPECT_EQ(w.rt.world.score, 6);
  EXPECT_EQ(Find(100004).x, 10);
  EXPECT_FALSE(w.rt.input.held[117]);
  EXPECT_EQ(w.TakeLog(), "");
  EXPECT_EQ(Report(), "");
}

// ---- A save killed while writing ----

// A child saves a large game over and over, two versions in turn; it is
// killed at a random moment, and the file must be one of the two, whole.
TEST_F(SavedGames, AKillWhileSavingLeavesTheOldFileOrTheNewOneWhole) {
  Start();
  Goto(2);
  Run(100004, "repeat (1500) { with (instance_create(0, 0, obj)) text = string_repeat('t', 100) }");
  w.rt.world.score = 1;
  const std::vector<std::uint8_t> one = Image(w.rt);
  w.rt.world.score = 2;
  const std::vector<std::uint8_t> two = Image(w.rt);
  ASSERT_GT(one.size(), 500000u);
  px::SaveGame(w.rt, "big.sav");
  std::mt19937 random(34);
  std::uniform_int_distribution<int> delay(0, 20000);
  for (int round = 0; round < 100; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (std::int32_t score = 1;; score = 3 - score) {
        w.rt.world.score = score;
        px::SaveGame(w.rt, "big.sav");
      }
    }
    ::usleep(static_cast<useconds_t>(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::vector<std::uint8_t> now = pxtest::ReadBytes("big.sav");
    ASSERT_TRUE(now == one || now == two) << "round " << round << ": " << now.size() << " bytes";
  }
}

}  // namespace
