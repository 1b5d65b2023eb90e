// Drawing a room: views with their ports, the room colour, background and
// foreground layers, tiles and instances in depth order, draw events per
// view, and the window caption.
#include "run/Room_Draw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>

#include "graphics/Graphics_TestSupport.h"
#include "run/Run_Main.h"
#include "run/Run_Room.h"
#include "run/Runtime.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00, kGrey = 0xFF808080, kMagenta = 0xFFFF00FF;

TBitmap32 Plain(int w, int h, std::uint32_t argb) {
  return pxtest::MakeImage(w, h, [argb](int, int) { return argb; });
}

// A started world in a 64 × 48 room with a headless device of that size.
class RoomDrawTest : public ::testing::Test {
 protected:
  RoomDrawTest() {
    w.rt.settings.showErrors = false;
    w.UseDevice(64, 48);
    obj = w.AddObject("obj");
    CRoom room;
    room.width = 64;
    room.height = 48;
    room.caption = "Room";
    w.rt.resources.rooms.add("rm", room);
    w.rt.resources.roomOrder = {0};
  }

  void Start() {
    ASSERT_TRUE(w.Start());
    GameStart(w.rt);
  }
  CRoom& room() { return *CurrentRoomData(w.rt); }

  std::uint32_t Pixel(int x, int y) { return w.Pixel(x, y); }

  WorldRun w;
  std::int32_t obj = -1;
};

TEST_F(RoomDrawTest, TwoViewsDrawLayersTilesAndInstancesInDepthOrder) {
  Start();
  const int green = pxtest::AddBackground(w.rt, Plain(8, 8, kGreen));
  const int grey = pxtest::AddBackground(w.rt, Plain(4, 4, kGrey));
  const int magenta = pxtest::AddBackground(w.rt, Plain(4, 4, kMagenta));
  const int red = pxtest::AddSprite(w.rt, {Plain(8, 8, kRed)});
  const int yellow = pxtest::AddSprite(w.rt, {Plain(8, 8, kYellow)});
  w.rt.display.windowColor = 0;

  CRoom& r = room();
  r.background_color = 0xFF0000;  // blue, as 0xBBGGRR
  r.layers[0] = {.visible = true, .background = green, .htiled = false, .vtiled = false};
  r.layers[1] = {.visible = true,
                 .foreground = true,
                 .background = magenta,
                 .x = 10,
                 .y = 10,
                 .htiled = false,
                 .vtiled = false};
  r.tiles.push_back({.x = 6, .y = 6, .background = grey, .width = 4, .height = 4, .depth = 0});
  r.views_enabled = true;
  r.views[0] = {.visible = true, .wview = 32, .hview = 48, .wport = 32, .hport = 48};
  r.views[1] = {
      .visible = true, .xview = 8, .wview = 32, .hview = 40, .xport = 32, .wport = 32, .hport = 40};
  // Created with the yellow one first: the depth sort puts red below it.
  CInstance& top = w.Create(obj, 8, 8);
  top.sprite_index = yellow;
  top.depth = -5;
  CInstance& below = w.Create(obj, 4, 4);
  below.sprite_index = red;
  below.depth = 10;

  DrawRoom(w.rt);
  const struct {
    int x, y;
    std::uint32_t colour;
    const char* what;
  } cases[] = {
      {1, 1, kGreen, "background layer over the room colour"},
      {5, 5, kRed, "deeper instance over the background"},
      {7, 7, kGrey, "tile at depth 0 over the instance at 10"},
      {9, 9, kYellow, "instance at -5 over the tile"},
      {11, 11, kMagenta, "foreground over everything"},
      {20, 20, kBlue, "room colour"},
      {33, 9, kYellow, "second view, shifted by its port and area"},
      {35, 11, kMagenta, "second view's foreground"},
      {44, 20, kBlue, "second view's room colour"},
      {40, 45, 0xFF000000, "below the second port: the window colour"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Pixel(c.x, c.y), c.colour) << c.what << " at " << c.x << "," << c.y;
  EXPECT_EQ(w.rt.rooms.viewCurrent, 0);
}

TEST_F(RoomDrawTest, DrawEventsRunOncePerVisibleViewAndNotForInvisibleInstances) {
  w.On(obj, EventKind::Draw, 0, {CodeAction("log(view_current, id)")});
  Start();
  CRoom& r = room();
  r.views_enabled = true;
  r.views[0].visible = true;
  r.views[2].visible = true;
  CInstance& shown = w.Create(obj);
  CInstance& hidden = w.Create(obj);
  hidden.visible = false;
  DrawRoom(w.rt);
  const std::string id = std::to_string(shown.id);
  EXPECT_EQ(w.TakeLog(), "0 " + id + "|2 " + id);
  // screen_redraw draws the room the same way, then shows it.
  w.Run(shown, "screen_redraw()");
  EXPECT_EQ(w.TakeLog(), "0 " + id + "|2 " + id);
}

TEST_F(RoomDrawTest, AnInstanceWithoutDrawEventIsDrawnScaledAndBlended) {
  Start();
  const int white = pxtest::AddSprite(w.rt, {Plain(4, 4, 0xFFFFFFFF)}, 2, 2);
  CInstance& inst = w.Create(obj, 20, 20);
  inst.sprite_index = white;
  inst.image_xscale = 2;
  inst.image_blend = 0x00FF00;  // green
  room().background_color = 0;
  DrawRoom(w.rt);
  EXPECT_EQ(Pixel(16, 19), kGreen);  // origin scaled: 20 - 2·2
  EXPECT_EQ(Pixel(23, 19), kGreen);
  EXPECT_EQ(Pixel(24, 19), 0xFF000000);
  EXPECT_EQ(Pixel(20, 22), 0xFF000000);
}

namespace {

// Code run by an instance, and the window caption the next drawing shows.
struct CaptionCase {
  const char* code;
  const char* caption;
};

void ExpectCaptions(WorldRun& w, CInstance& inst, std::span<const CaptionCase> cases) {
  for (const auto& c : cases) {
    w.Run(inst, c.code);
    DrawRoom(w.rt);
    EXPECT_EQ(w.rt.display.caption, c.caption) << c.code;
  }
}

}  // namespace

TEST_F(RoomDrawTest, CaptionShowsScoreLivesAndHealth) {
  Start();
  CInstance& inst = w.Create(obj);
  const CaptionCase cases[] = {
      {"", "Room"},  // score 0 and show_score untouched
      {"score = 5", "Room Score: 5"},
      {"score = 0; show_score = 1", "Room Score: 0"},
      {"show_score = 0; show_lives = 1; lives = 3", "Room Lives: 3"},
      {"show_health = 1; health = 42.6; caption_health = 'HP '", "Room Lives: 3 HP 43"},
      {"show_score = 1; caption_score = ''; score = 7", "Room 7 Lives: 3 HP 43"},
  };
  ExpectCaptions(w, inst, cases);
}

TEST_F(RoomDrawTest, CaptionSetByTheAction) {
  Start();
  CInstance& inst = w.Create(obj);
  const CaptionCase cases[] = {
      // The game chose to show the score: it shows while 0.
      {"action_set_caption(1, 'Points: ', 0, '', 0, '')", "Room Points: 0"},
      {"lives = 2; health = 50; action_set_caption(0, 'P', 1, 'L: ', 1, 'H: ')", "Room L: 2 H: 50"},
      // Only a part whose argument rounds to 1 shows.
      {"action_set_caption(0.6, 'S', 2, 'L', 1.4, 'H')", "Room S0 H50"},
  };
  ExpectCaptions(w, inst, cases);
}

TEST_F(RoomDrawTest, ActionSleepDrawsTheRoomFirstOnlyWhenAsked) {
  w.On(obj, EventKind::Draw, 0, {CodeAction("log('drawn')")});
  Start();
  CInstance& inst = w.Create(obj);
  const std::int64_t t0 = w.rt.display.Now();
  w.Run(inst, "action_sleep(40, 0)");
  EXPECT_EQ(w.TakeLog(), "");
  w.Run(inst, "action_sleep(40, 1)");
  EXPECT_EQ(w.TakeLog(), "drawn");
  EXPECT_GE(w.rt.display.Now() - t0, 80000);
}

TEST_F(RoomDrawTest, ViewsFollowOnlyWhenTheRoomIsDrawn) {
  Start();
  CRoom& r = room();
  r.width = 1000;
  r.views_enabled = true;
  r.views[0] = {.visible = true, .wview = 100, .hview = 48, .hborder = 20, .hspeed = 15};
  CInstance& inst = w.Create(obj, 10, 10);
  r.views[0].object = inst.id;
  inst.x = 200;
  int positions[4] = {};
  for (int& p : positions) {
    DrawRoom(w.rt);
    p = r.views[0].xview;
  }
  // The target is 200 + 20 - 100 = 120; the view moves 15 a frame.
  EXPECT_EQ(positions[0], 15);
  EXPECT_EQ(positions[1], 30);
  EXPECT_EQ(positions[3], 60);
}

// A room 1000 wide whose view follows an instance of `obj` at x 180,
// placed before an instance of a deeper object; both log their draw event
// and `obj` logs what its step sees.
std::string PlayFollowingRoom(WorldRun& w, std::int32_t obj, bool views, std::string roomCode) {
  const std::int32_t deep = w.AddObject("deep");
  w.object(deep).depth = 10;
  for (std::int32_t o : {obj, deep}) w.On(o, EventKind::Draw, 0, {CodeAction("log('draw', id)")});
  w.On(obj, EventKind::Step, 1,
       {CodeAction("log('step', view_xview[0], instance_find(all, 0), instance_find(all, 1))")});
  CRoom& r = *w.rt.resources.rooms.get(0);
  r.width = 1000;
  r.views_enabled = views;
  r.views[0] = {.visible = true, .wview = 64, .hview = 48, .hborder = 8, .object = obj};
  r.instances = {{.x = 180, .y = 10, .object = obj, .id = 100001, .creation_code = ""},
                 {.x = 5, .y = 10, .object = deep, .id = 100002, .creation_code = ""}};
  r.creation_code = std::move(roomCode);
  return w.Play(1);
}

// The room is drawn once at its start: the first step already sees the
// view followed (180 + 8 - 64), the list in depth order and the draw
// events run.
TEST_F(RoomDrawTest, TheFirstStepSeesTheRoomAlreadyDrawnOnce) {
  EXPECT_EQ(PlayFollowingRoom(w, obj, true, ""),
            "draw 100002|draw 100001|step 124 100002 100001|draw 100002|draw 100001");
}

TEST_F(RoomDrawTest, WithoutViewsTheFirstStepSeesTheListInDepthOrder) {
  EXPECT_EQ(PlayFollowingRoom(w, obj, false, ""),
            "draw 100002|draw 100001|step 0 100002 100001|draw 100002|draw 100001");
}

// Turned off in the room's creation code, nothing is drawn at the start and
// the first step sees the room as it was placed.
TEST_F(RoomDrawTest, WithAutomaticDrawingOffTheRoomIsNotDrawnAtItsStart) {
  EXPECT_EQ(PlayFollowingRoom(w, obj, true, "set_automatic_draw(false)"), "step 0 100001 100002");
}

}  // namespace
