// Objects and stored rooms changed by game code: properties, parents,
// events added and cleared while the game runs, code compiled at run time,
// and rooms made, filled and entered.
#include "library/Function_Object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code/Function_TestSupport.h"
#include "resources/Event_Kind.h"
#include "world/World_TestSupport.h"

namespace {

using namespace px;
using pxtest::CodeAction;
using pxtest::Real;
using pxtest::Str;

struct ObjectEditing : testing::Test {
  pxtest::WorldRun w;
  GameResources& res = w.rt.resources;
  std::int32_t base = -1, child = -1, grandchild = -1;

  void SetUp() override {
    w.rt.settings.showErrors = false;
    base = w.AddObject("obj_base");
    child = w.AddObject("obj_child", base);
    grandchild = w.AddObject("obj_grandchild", child);
  }
  double Do(std::string_view name, std::initializer_list<double> args) {
    return pxtest::CallReal(w.run, name, args);
  }
  const std::string& LastError() const { return w.rt.code.report.last; }
};

TEST_F(ObjectEditing, PropertiesReachOnlyInstancesMadeAfterwards) {
  CInstance& before = w.Create(base);
  const struct {
    const char* set;
    const char* get;
    double value;
    double read;
  } cases[] = {
      {"object_set_sprite", "object_get_sprite", 4.5, 4},
      {"object_set_solid", "object_get_solid", 0.5, 1},
      {"object_set_visible", "object_get_visible", 0.4, 0},
      {"object_set_depth", "object_get_depth", -7.5, -8},
      {"object_set_persistent", "object_get_persistent", 1, 1},
      {"object_set_mask", "object_get_mask", 2, 2},
  };
  for (const auto& c : cases) {
    Do(c.set, {double(base), c.value});
    EXPECT_EQ(Do(c.get, {double(base)}), c.read) << c.set;
    Do(c.set, {99, c.value});  // a missing object: nothing
  }
  EXPECT_EQ(before.sprite_index, -1);
  EXPECT_FALSE(before.solid);
  CInstance& after = w.Create(base);
  EXPECT_EQ(after.sprite_index, 4);
  EXPECT_EQ(after.depth, -8);
  EXPECT_TRUE(after.solid);
  EXPECT_FALSE(after.visible);
}

TEST_F(ObjectEditing, ParentsRefuseCyclesAndMissingObjects) {
  const struct {
    double ind, parent;
    const char* error;
    double result;  // the parent of ind afterwards
  } cases[] = {
      {double(base), double(base), "Creating a cycle in the parent relation.", -1},
      {double(base), double(grandchild), "Creating a cycle in the parent relation.", -1},
      {double(base), 40, "Setting a non-existing parent.", -1},
      {double(grandchild), -7, "", -1},
      {double(grandchild), double(base), "", double(base)},
  };
  for (const auto& c : cases) {
    w.rt.code.report.last.clear();
    Do("object_set_parent", {c.ind, c.parent});
    EXPECT_EQ(LastError().empty(), *c.error == 0) << LastError();
    if (*c.error) {
      EXPECT_NE(LastError().find(c.error), std::string::npos) << LastError();
    }
    EXPECT_EQ(Do("object_get_parent", {c.ind}), c.result) << c.ind << " " << c.parent;
  }
  EXPECT_EQ(Do("object_is_ancestor", {double(grandchild), double(base)}), 1);
  EXPECT_EQ(Do("object_is_ancestor", {double(child), -1}), 1);
}

TEST_F(ObjectEditing, NewObjectsAreNumberedAndDeletedOnesStayEmpty) {
  EXPECT_EQ(Do("object_add", {}), 3);
  EXPECT_EQ(pxtest::Call(w.run, "object_get_name", {Real(3)}).str(), "__newobject3");
  EXPECT_EQ(Do("object_get_visible", {3}), 1);
  EXPECT_EQ(Do("object_get_parent", {3}), -1);
  EXPECT_EQ(Do("object_delete", {3}), 1);
  EXPECT_EQ(Do("object_exists", {3}), 0);
  EXPECT_EQ(Do("object_add", {}), 4);
  Do("object_delete", {3});
  EXPECT_NE(LastError().find("Trying to delete non-existing object."), std::string::npos);
}

TEST_F(ObjectEditing, EventsAddedAtRunTimeRunFromTheNextStepAndClearingStopsThem) {
  const std::int32_t controller = w.AddObject("obj_controller");
  w.On(controller, EventKind::Create, 0,
       {CodeAction("global.step = 0; global.made = object_add();"
                   "object_event_add(global.made, ev_step, ev_step_normal,"
                   "  'log(\"made\", global.step)');"
                   "instance_create(0, 0, global.made)")});
  w.On(controller, EventKind::Step, kEvStepBegin,
       {CodeAction("global.step += 1; if (global.step == 3) "
                   "object_event_clear(global.made, ev_step, ev_step_normal)")});
  CRoom room;
  room.instances = {{.x = 0, .y = 0, .object = controller, .id = 100001, .creation_code = ""}};
  res.rooms.add("rm", room);
  res.roomOrder = {0};
  EXPECT_EQ(w.Play(4), "made 1|made 2");
  // Once cleared, no object has the step event.
  EXPECT_TRUE(w.rt.world.eventLists.objects(3, 0).empty());
}

TEST_F(ObjectEditing, AnEventChangingItsOwnObjectFinishesOnItsOldActions) {
  // Both instances run the step that clears and re-adds the event: each
  // finishes the actions it started, the new code runs from the next step.
  w.On(base, EventKind::Step, kEvStepNormal,
       {CodeAction("object_event_clear(0, ev_step, ev_step_normal);"
                   "object_event_add(0, ev_step, ev_step_normal, 'log(\"new\", id)');"
                   "object_event_add(0, ev_step, 5, 'x = 1');"),
        CodeAction("log('old', id)")});
  CRoom room;
  room.instances = {{.x = 0, .y = 0, .object = base, .id = 100001, .creation_code = ""},
                    {.x = 0, .y = 0, .object = base, .id = 100002, .creation_code = ""}};
  res.rooms.add("rm", room);
  res.roomOrder = {0};
  EXPECT_EQ(w.Play(2), "old 100001|old 100002|new 100001|new 100002");
}

TEST_F(ObjectEditing, CodeThatDoesNotCompileIsReportedAsALoadedActionWouldBe) {
  ASSERT_TRUE(w.Start());
  w.rt.code.report.last.clear();
  pxtest::Call(w.run, "object_event_add", {Real(child), Real(3), Real(0), Str("x = ")});
  EXPECT_NE(LastError().find("COMPILATION ERROR in code action"), std::string::npos) << LastError();
  EXPECT_NE(LastError().find("obj_child"), std::string::npos) << LastError();
  // Kinds outside 0..11, negative numbers and missing objects add nothing.
  const CObject& obj = w.object(child);
  for (const auto& args : std::vector<std::vector<double>>{
           {double(child), 12, 0}, {double(child), -1, 0}, {double(child), 3, -1}, {99, 3, 0}})
    pxtest::Call(w.run, "object_event_add", {Real(args[0]), Real(args[1]), Real(args[2]), Str("")});
  EXPECT_EQ(obj.event(3, 0)->actions.size(), 1u);
  EXPECT_EQ(obj.events[3].size(), 1u);
}

TEST_F(ObjectEditing, RoomsMadeAtRunTimeHoldWhatWasAddedWhenEntered) {
  CBackground tiles;
  tiles.image = TBitmap32(32, 32);
  res.backgrounds.add("bk_tiles", tiles);
  CRoom first;
  first.instances = {{.x = 0, .y = 0, .object = base, .id = 100001, .creation_code = ""}};
  res.rooms.add("rm_first", first);
  res.roomOrder = {0};
  res.lastInstanceId = 100001;
  w.On(base, EventKind::Create, 0, {CodeAction("log('create', id, room, x, y)")});
  w.On(base, EventKind::Step, kEvStepNormal,
       {CodeAction("if (room == 0) {"
                   "  r = room_add(); room_set_width(r, 320);"
                   "  global.id = room_instance_add(r, 40.5, 8, 1);"
                   "  global.tile = room_tile_add(r, 0, 0, 0, 16, 16, 5, 6, 100);"
                   "  log('made', r, room_get_name(r));"
                   "  room_goto(r);"
                   "} else {"
                   "  log('in', room, room_width, tile_exists(global.tile),"
                   "      tile_get_depth(global.tile), instance_exists(global.id));"
                   "  room_set_width(room, 100); log('width', room_width);"
                   "}")});
  EXPECT_EQ(w.Play(2),
            "create 100001 0 0 0|made 1 __newroom1|create 100002 1 40 8|"
            "in 1 320 1 100 1|width 320");
}

TEST_F(ObjectEditing, RoomEditingEdgeCases) {
  CBackground tiles;
  tiles.image = TBitmap32(16, 16);
  res.backgrounds.add("bk", tiles);
  res.rooms.add("rm", CRoom{});
  auto tile = [&](double room, double background) {
    w.rt.code.report.last.clear();
    return Do("room_tile_add", {room, background, 0, 0, 8, 8, 1, 2, 3});
  };
  EXPECT_EQ(tile(5, 0), -1);  // missing room, existing background: no message
  EXPECT_EQ(LastError(), "");
  EXPECT_EQ(tile(5, 9), -1);
  EXPECT_NE(LastError().find("Background does not exist."), std::string::npos);
  EXPECT_EQ(tile(0, 9), -1);
  EXPECT_NE(LastError().find("Background does not exist."), std::string::npos);
  const double id = tile(0, 0);
  EXPECT_EQ(id, res.lastTileId);
  const RTile& t = res.rooms.get(0)->tiles.back();
  EXPECT_EQ(t.id, id);
  EXPECT_EQ(t.depth, 3);
  EXPECT_EQ(t.blend, 0xFFFFFF);
  EXPECT_EQ(Do("room_tile_add_ext", {0, 0, 0, 0, 8, 8, 1, 2, 3, 2, 0.5, 0.25}), id + 1);
  EXPECT_EQ(res.rooms.get(0)->tiles.back().yscale, 0.5);
  EXPECT_EQ(res.rooms.get(0)->tiles.back().alpha, 0.25);
  EXPECT_EQ(Do("room_instance_add", {7, 0, 0, 0}), -1);

  // Copies are deep and keep the ids; assignment keeps the target's name.
  const double copy = Do("room_duplicate", {0});
  EXPECT_EQ(copy, 1);
  Do("room_tile_clear", {0});
  EXPECT_EQ(res.rooms.get(1)->tiles.size(), 2u);
  EXPECT_EQ(res.rooms.get(1)->tiles[0].id, id);
  Do("room_assign", {0, 1});
  EXPECT_EQ(res.rooms.get(0)->tiles.size(), 2u);
  EXPECT_EQ(res.rooms.name(0), "rm");
  Do("room_assign", {2, 1});
  EXPECT_NE(LastError().find("Error assigning a room."), std::string::npos);

  // Layers and views take their values; numbers outside 0..7 change nothing.
  Do("room_set_background", {0, 2, 1, 0, 0, 5.5, 6, 0, 1, 1.5, 0, 0.5});
  Do("room_set_background", {0, 8, 1, 0, 0, 5.5, 6, 0, 1, 1.5, 0, 0.5});
  const CBack& layer = res.rooms.get(0)->layers[2];
  EXPECT_TRUE(layer.visible);
  EXPECT_EQ(layer.x, 5.5);
  EXPECT_FALSE(layer.htiled);
  EXPECT_EQ(layer.alpha, 0.5);
  Do("room_set_view", {0, 7, 1, 10, 20, 300, 200, 0, 0, 600, 400, 64, 48, 4, 5, 2.5});
  const CView& view = res.rooms.get(0)->views[7];
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(view.wview, 300);
  EXPECT_EQ(view.hport, 400);
  EXPECT_EQ(view.object, 2);
}

}  // namespace
