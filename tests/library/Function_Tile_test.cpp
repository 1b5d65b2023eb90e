// The tile functions on the current room: adding with new ids, fields,
// finding and deleting by point and by layer, and what a missing tile or a
// missing room answers.
#include "library/Function_Tile.h"

#include <gtest/gtest.h>

#include "code/Function_TestSupport.h"

namespace {

using namespace px;
using pxtest::CallReal;

struct Tiles : testing::Test {
  pxtest::TestRun run;
  Runtime& rt = run.rt;

  void SetUp() override {
    rt.resources.backgrounds.add("bk_a", CBackground{});
    rt.resources.backgrounds.add("bk_b", CBackground{});
    rt.resources.lastTileId = 10000000;
    EnterRoom();
  }
  void EnterRoom() {
    rt.rooms.live.push_back(std::make_unique<LiveRoom>());
    rt.rooms.current = rt.rooms.live.back().get();
    rt.rooms.index = 0;
  }
  std::vector<RTile>& tiles() { return rt.rooms.current->data.tiles; }
  // A tile of the room's data with this id, place, size and depth.
  void Put(int id, double x, double y, int w, int h, double depth) {
    RTile t;
    t.id = id;
    t.x = x;
    t.y = y;
    t.width = w;
    t.height = h;
    t.depth = depth;
    tiles().push_back(t);
  }
  double Call(std::string_view name, std::initializer_list<double> args) {
    return CallReal(run, name, args);
  }
  std::vector<int> Ids() {
    std::vector<int> ids;
    for (const RTile& t : tiles()) ids.push_back(t.id);
    return ids;
  }
  // The last report, forgotten.
  std::string TakeReport() {
    std::string last = rt.code.report.last;
    rt.code.report.last.clear();
    return last;
  }
};

TEST_F(Tiles, AddGivesNewIdsAndDefaults) {
  EXPECT_EQ(Call("tile_add", {1, 2.5, 3, 16, 8, 100.25, 200.5, -7.5}), 10000001);
  EXPECT_EQ(Call("tile_add", {0, 0, 0, 4, 4, 0, 0, 0}), 10000002);
  ASSERT_EQ(tiles().size(), 2u);
  const RTile& t = tiles()[0];
  EXPECT_EQ(t.background, 1);
  EXPECT_EQ(t.left, 2);  // the part is rounded, halves to even
  EXPECT_EQ(t.top, 3);
  EXPECT_EQ(t.width, 16);
  EXPECT_EQ(t.height, 8);
  EXPECT_EQ(t.x, 100.25);
  EXPECT_EQ(t.y, 200.5);
  EXPECT_EQ(t.depth, -7.5);
  EXPECT_EQ(t.xscale, 1);
  EXPECT_EQ(t.yscale, 1);
  EXPECT_EQ(t.blend, 0xFFFFFF);
  EXPECT_EQ(t.alpha, 1);
  EXPECT_TRUE(t.visible);
  EXPECT_EQ(rt.rooms.current->lastTileIndex, 1);
  EXPECT_EQ(TakeReport(), "");

  // A missing background is reported and takes no id.
  EXPECT_EQ(Call("tile_add", {5, 0, 0, 4, 4, 0, 0, 0}), -1);
  EXPECT_TRUE(TakeReport().ends_with("Background does not exist."));
  EXPECT_EQ(Call("tile_add", {0, 0, 0, 4, 4, 0, 0, 0}), 10000003);
}

TEST_F(Tiles, FieldsReadAndWritten) {
  const int id = static_cast<int>(Call("tile_add", {0, 1, 2, 3, 4, 5, 6, 7}));
  const double d = id;
  Call("tile_set_position", {d, 10.5, -4});
  Call("tile_set_region", {d, 8, 9.5, 32, 2.5});
  Call("tile_set_background", {d, 1});
  Call("tile_set_visible", {d, 0.4});
  Call("tile_set_depth", {d, 1000.5});
  Call("tile_set_scale", {d, 2, -0.5});
  Call("tile_set_blend", {d, 255.5});
  Call("tile_set_alpha", {d, 0.25});
  EXPECT_EQ(TakeReport(), "");
  const struct {
    const char* getter;
    double value;
  } cases[] = {
      {"tile_get_x", 10.5},       {"tile_get_y", -4},        {"tile_get_left", 8},
      {"tile_get_top", 10},       {"tile_get_width", 32},    {"tile_get_height", 2},
      {"tile_get_background", 1}, {"tile_get_visible", 0},   {"tile_get_depth", 1000.5},
      {"tile_get_xscale", 2},     {"tile_get_yscale", -0.5}, {"tile_get_blend", 256},
      {"tile_get_alpha", 0.25},   {"tile_exists", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(Call(c.getter, {d}), c.value) << c.getter;
  Call("tile_set_visible", {d, 0.5});
  EXPECT_EQ(Call("tile_get_visible", {d}), 1);

  // A background that does not exist leaves the tile's as it was.
  Call("tile_set_background", {d, 2});
  EXPECT_TRUE(TakeReport().ends_with("Background does not exist."));
  EXPECT_EQ(Call("tile_get_background", {d}), 1);
}

// Every function that names a tile reports a missing one and gives 0 (-1
// for its background); tile_exists just answers. Without a room no tile
// exists and nothing can be added.
TEST_F(Tiles, MissingTilesAndMissingRoom) {
  Put(7, 0, 0, 10, 10, 0);
  const struct {
    const char* function;
    int extraArgs;
  } calls[] = {
      {"tile_get_x", 0},      {"tile_get_y", 0},        {"tile_get_left", 0},
      {"tile_get_top", 0},    {"tile_get_width", 0},    {"tile_get_height", 0},
      {"tile_get_depth", 0},  {"tile_get_visible", 0},  {"tile_get_xscale", 0},
      {"tile_get_yscale", 0}, {"tile_get_blend", 0},    {"tile_get_alpha", 0},
      {"tile_delete", 0},     {"tile_set_visible", 1},  {"tile_set_background", 1},
      {"tile_set_region", 4}, {"tile_set_position", 2}, {"tile_set_depth", 1},
      {"tile_set_scale", 2},  {"tile_set_blend", 1},    {"tile_set_alpha", 1},
  };
  for (const bool inRoom : {true, false}) {
    if (!inRoom) rt.rooms.current = nullptr;
    for (const auto& c : calls) {
      std::vector<RValue> args{pxtest::Real(8)};
      for (int i = 0; i < c.extraArgs; ++i) args.push_back(pxtest::Real(0));
      EXPECT_EQ(pxtest::CallWith(run, c.function, args).real, 0) << c.function;
      EXPECT_TRUE(TakeReport().ends_with("Tile does not exist.")) << c.function;
    }
    EXPECT_EQ(Call("tile_get_background", {8}), -1);
    EXPECT_TRUE(TakeReport().ends_with("Tile does not exist."));
    EXPECT_EQ(Call("tile_exists", {8}), 0);
    EXPECT_EQ(Call("tile_exists", {7}), inRoom ? 1 : 0);
    EXPECT_EQ(TakeReport(), "");
  }
  // Outside a room: nothing found, nothing added, no id taken.
  EXPECT_EQ(Call("tile_find", {5, 5, 0}), -1);
  EXPECT_EQ(Call("tile_layer_find", {0, 5, 5}), -1);
  Call("tile_delete_at", {5, 5, 0});
  Call("tile_layer_delete", {0});
  Call("tile_layer_shift", {0, 1, 1});
  EXPECT_EQ(Call("tile_add", {0, 0, 0, 4, 4, 0, 0, 0}), -1);
  EXPECT_EQ(TakeReport(), "");
  EXPECT_EQ(Call("tile_add", {9, 0, 0, 4, 4, 0, 0, 0}), -1);
  EXPECT_TRUE(TakeReport().ends_with("Background does not exist."));
  EXPECT_EQ(rt.resources.lastTileId, 10000000);
}

// tile_find leaves out the right and bottom edges and splits the depths at
// 0; tile_delete_at takes the edges in and counts depth 0 both ways.
TEST_F(Tiles, FindAndDeleteAtAPoint) {
  const struct {
    double x, y;
    double depth;
    bool foreground;
    bool found;
    bool deleted;
  } cases[] = {
      {10, 10, -5, true, true, true},    {10, 10, -5, false, false, false},
      {10, 10, 5, false, true, true},    {10, 10, 5, true, false, false},
      {10, 10, 0, false, true, true},    {10, 10, 0, true, false, true},
      {42, 20, 5, false, false, true},   {20, 36, 5, false, false, true},  // right, bottom edge
      {41.6, 20, 5, false, false, true},  // rounded onto the right edge
      {42.5, 20, 5, false, false, true},  // halves to even: 42
      {9.5, 20, 5, false, true, true},    // 10
      {9.4, 20, 5, false, false, false},  // 9
      {10, 9.6, 5, false, true, true},   {43, 20, 5, false, false, false},
      {10, 37, 5, false, false, false},
  };
  for (const auto& c : cases) {
    tiles().clear();
    Put(1, 10, 10, 32, 26, c.depth);
    const double fg = c.foreground ? 1 : 0;
    EXPECT_EQ(Call("tile_find", {c.x, c.y, fg}), c.found ? 1 : -1)
        << c.x << "," << c.y << " depth " << c.depth << " fg " << fg;
    Call("tile_delete_at", {c.x, c.y, fg});
    EXPECT_EQ(tiles().empty(), c.deleted)
        << c.x << "," << c.y << " depth " << c.depth << " fg " << fg;
  }
  // The first tile in the room's order is found; deleting keeps the order.
  tiles().clear();
  Put(1, 0, 0, 8, 8, 1);
  Put(2, 0, 0, 16, 16, 1);
  Put(3, 100, 0, 8, 8, 1);
  Put(4, 4, 4, 8, 8, 1);
  EXPECT_EQ(Call("tile_find", {6, 6, 0}), 1);
  Call("tile_delete_at", {6, 6, 0});
  EXPECT_EQ(Ids(), (std::vector<int>{3}));
}

TEST_F(Tiles, LayersOfOneDepth) {
  Put(1, 0, 0, 10, 10, 5);
  Put(2, 20, 0, 10, 10, 5.5);
  Put(3, 0, 0, 10, 10, 5);
  Put(4, 50, 50, 10, 10, -5);

  Call("tile_layer_hide", {5});
  EXPECT_EQ(Call("tile_get_visible", {1}) + Call("tile_get_visible", {3}), 0);
  EXPECT_EQ(Call("tile_get_visible", {2}), 1);
  Call("tile_layer_show", {5});
  EXPECT_EQ(Call("tile_get_visible", {3}), 1);

  Call("tile_layer_shift", {5, 3, -2.5});
  EXPECT_EQ(Call("tile_get_x", {1}), 3);
  EXPECT_EQ(Call("tile_get_y", {3}), -2.5);
  EXPECT_EQ(Call("tile_get_x", {2}), 20);

  // Found only inside, the right edge left out, in the room's order.
  EXPECT_EQ(Call("tile_layer_find", {5, 3, 0}), 1);
  EXPECT_EQ(Call("tile_layer_find", {5, 13, 0}), -1);
  EXPECT_EQ(Call("tile_layer_find", {5.5, 25, 5}), 2);
  EXPECT_EQ(Call("tile_layer_find", {-5, 25, 5}), -1);

  Call("tile_layer_depth", {5, -5});
  EXPECT_EQ(Call("tile_get_depth", {3}), -5);
  Call("tile_layer_delete_at", {-5, 13, 7});  // on the right edge: stays
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4}));
  Call("tile_layer_delete_at", {-5, 12, 7});
  EXPECT_EQ(Ids(), (std::vector<int>{2, 4}));
  Call("tile_layer_delete", {-5});
  EXPECT_EQ(Ids(), (std::vector<int>{2}));
  EXPECT_EQ(TakeReport(), "");
}

TEST_F(Tiles, DeleteKeepsTheOrderOfTheRest) {
  for (int id = 1; id <= 4; ++id) Put(id, id, 0, 1, 1, 0);
  Call("tile_delete", {2});
  EXPECT_EQ(Ids(), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(Call("tile_exists", {2}), 0);
  EXPECT_EQ(Call("tile_get_x", {4}), 4);
}

// Two tiles of the room's data share an id: the one found last is tried
// first, even after the tiles before it have moved.
TEST_F(Tiles, TheTileFoundLastIsTriedFirst) {
  Put(1, 0, 0, 1, 1, 9);
  Put(7, 100, 0, 1, 1, 0);
  Put(7, 200, 0, 1, 1, 0);
  EXPECT_EQ(Call("tile_get_x", {7}), 100);  // found from the front, at index 1
  Call("tile_layer_delete", {9});           // index 1 now holds the second 7
  EXPECT_EQ(Call("tile_get_x", {7}), 200);
}

}  // namespace
