// Creating, changing, destroying, finding, counting, deactivating and
// activating instances through game code.
#include <gtest/gtest.h>

#include "world/World_TestSupport.h"

namespace {

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

struct Instances : testing::Test {
  WorldRun w;
  std::int32_t base = w.AddObject("obj_base");
  std::int32_t enemy = w.AddObject("obj_enemy", base);
  std::int32_t boss = w.AddObject("obj_boss", enemy);
  std::int32_t wall = w.AddObject("obj_wall");
  std::int32_t block = w.AddSprite("spr_block", {"####", "####", "####", "####"});
  std::int32_t ring = w.AddSprite("spr_ring", {"###", "#.#", "###"});

  double Eval(CInstance& self, const std::string& expression) {
    return w.Run(self, "return " + expression).real;
  }
};

TEST_F(Instances, CreationOrderIdsFindAndFamilyCounts) {
  w.On(enemy, EventKind::Create, 0, {CodeAction("log('create', id, x, y)")});
  ASSERT_TRUE(w.Start());
  CInstance& first = w.Create(wall);
  EXPECT_EQ(first.id, 100001);
  EXPECT_EQ(Eval(first, "instance_create(10, 20, obj_enemy)"), 100002);
  EXPECT_EQ(Eval(first, "instance_create(0, 0, obj_boss)"), 100003);
  EXPECT_EQ(Eval(first, "instance_create(0, 0, obj_base)"), 100004);
  EXPECT_EQ(w.TakeLog(), "create 100002 10 20|create 100003 0 0");
  const struct {
    const char* expression;
    double value;
  } cases[] = {
      {"instance_number(obj_base)", 3},
      {"instance_number(obj_enemy)", 2},
      {"instance_number(obj_boss)", 1},
      {"instance_number(all)", 4},
      {"instance_number(100003)", 1},
      {"instance_number(100009)", 0},
      {"instance_number(self)", 1},
      {"instance_number(5)", 0},
      {"instance_find(obj_base, 0)", 100002},
      {"instance_find(obj_base, 2)", 100004},
      {"instance_find(obj_base, 3)", -4},
      {"instance_find(all, 0)", 100001},
      {"instance_find(100003, 0)", 100003},
      {"instance_find(100003, 1)", -4},
      {"instance_exists(obj_boss)", 1},
      {"instance_exists(100004)", 1},
      {"instance_exists(other)", 1},
      {"instance_exists(noone)", 0},
      {"instance_count", 4},
      {"instance_id[1]", 100002},
      {"instance_id[4]", -4},
  };
  for (const auto& c : cases) EXPECT_EQ(Eval(first, c.expression), c.value) << c.expression;
}

TEST_F(Instances, CreatingAMissingObjectIsReported) {
  w.rt.settings.showErrors = false;
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(wall);
  EXPECT_EQ(Eval(self, "instance_create(0, 0, 17)"), -4);
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Creating instance for non-existing object: 17"));
  EXPECT_EQ(w.rt.world.instances.size(), 1u);
  w.Run(self, "instance_change(-1, true)");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Asking to change into non-existing object: -1"));
  w.Run(self, "position_change(0, 0, 99, true)");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Asking to change into non-existing object: 99"));
  w.Run(self, "instance_sprite(5)");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Setting instance to non-existing sprite: 5"));
}

TEST_F(Instances, ChangeKeepsTheIdAndUsesUpOne) {
  w.On(wall, EventKind::Destroy, 0, {CodeAction("log('wall destroyed', id)")});
  w.On(enemy, EventKind::Create, 0, {CodeAction("log('enemy created', id, hp)")});
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(wall, 5, 6);
  w.Run(self, "hp = 3; instance_change(obj_enemy, true)");
  EXPECT_EQ(w.TakeLog(), "wall destroyed 100001|enemy created 100001 3");
  EXPECT_TRUE(self.deleted);
  CInstance& changed = w.rt.world.instances.at(1);
  EXPECT_EQ(changed.object_index, enemy);
  EXPECT_EQ(changed.x, 5);
  EXPECT_EQ(w.rt.world.instances.find(100001), &changed);
  EXPECT_EQ(Eval(changed, "instance_create(0, 0, obj_wall)"), 100003);
  // A copy gets its own id and the fields and variables of the original.
  EXPECT_EQ(Eval(changed, "instance_copy(false)"), 100004);
  EXPECT_EQ(Eval(changed, "(100004).hp + (100004).x"), 8);
}

TEST_F(Instances, DestroyedInstancesAreSkippedUntilPurged) {
  w.On(enemy, EventKind::Step, 0,
       {CodeAction("log('step', id); if (id == 100001) { instance_destroy(); "
                   "log(x, instance_number(obj_enemy), instance_exists(100001)) }")});
  w.On(enemy, EventKind::Step, 2, {CodeAction("log('end step', id)")});
  w.On(enemy, EventKind::Destroy, 0, {CodeAction("log('destroy', id); instance_destroy()")});
  ASSERT_TRUE(w.Start());
  w.Create(enemy, 7, 0);
  w.Create(enemy);
  RaiseEvent(w.rt, 3, 0);
  RaiseEvent(w.rt, 3, 2);
  // The destroy event does not run again from inside itself.
  EXPECT_EQ(w.TakeLog(), "step 100001|destroy 100001|7 1 0|step 100002|end step 100002");
  EXPECT_EQ(w.rt.world.instances.size(), 2u);
  EXPECT_TRUE(w.rt.world.instances.Purge(w.rt.resources));
  EXPECT_EQ(w.rt.world.instances.size(), 1u);
  EXPECT_EQ(w.rt.world.instances.exact(enemy).size(), 1u);
}

TEST_F(Instances, InstancesCreatedDuringAWalkWaitForTheNextOne) {
  w.On(enemy, EventKind::Step, 0,
       {CodeAction(
           "log(id); if (instance_number(obj_enemy) < 4) instance_create(0, 0, obj_enemy)")});
  ASSERT_TRUE(w.Start());
  w.Create(enemy);
  w.Create(enemy);
  RaiseEvent(w.rt, 3, 0);
  EXPECT_EQ(w.TakeLog(), "100001|100002");
  RaiseEvent(w.rt, 3, 0);
  EXPECT_EQ(w.TakeLog(), "100001|100002|100003|100004");
}

TEST_F(Instances, NearestAndFurthest) {
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(wall);
  w.Create(enemy, 30, 40);   // distance 50
  w.Create(boss, -30, -40);  // distance 50: the first of equals wins
  w.Create(base, 0, 100000);
  const struct {
    const char* expression;
    double value;
  } cases[] = {
      {"instance_nearest(0, 0, obj_base)", 100002},
      {"instance_furthest(0, 0, obj_enemy)", 100002},
      {"instance_furthest(0, 0, obj_base)", 100004},
      {"instance_nearest(0, 99000, obj_base)", 100004},
      {"instance_nearest(0, -200000, obj_base)", -4},
      {"instance_nearest(0, 0, 100002)", -4},
      {"instance_furthest(0, 0, obj_wall)", 100001},
      {"instance_nearest(0, 0, 3000)", -4},
  };
  for (const auto& c : cases) EXPECT_EQ(Eval(self, c.expression), c.value) << c.expression;
}

TEST_F(Instances, PositionFunctionsUseTheMasks) {
  w.object(enemy).sprite_index = ring;
  w.object(wall).sprite_index = block;
  w.On(enemy, EventKind::Destroy, 0, {CodeAction("log('destroyed', id)")});
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(wall, 100, 100);
  w.Create(enemy, 10, 10);  // ring over 10..12, hollow at 11,11
  w.Create(enemy, 12, 10);
  const struct {
    const char* expression;
    double value;
  } cases[] = {
      {"instance_position(10, 10, obj_enemy)", 100002},
      {"instance_position(11, 11, obj_enemy)", -4},
      {"instance_position(12, 11, all)", 100002},
      {"instance_position(13, 11, obj_base)", -4},
      {"instance_position(14, 12, obj_enemy)", 100003},
      {"position_empty(11, 11)", 1},
      {"position_empty(10.4, 10.4)", 0},
      {"position_meeting(101, 101, self)", 1},
      {"position_meeting(105, 101, self)", 0},
      {"instance_place(8, 8, obj_enemy)", 100002},
      {"instance_place(6, 8, obj_enemy)", -4},
      {"instance_place(13, 7, all)", 100003},
  };
  for (const auto& c : cases) EXPECT_EQ(Eval(self, c.expression), c.value) << c.expression;
  EXPECT_EQ(self.x, 100);
  EXPECT_EQ(self.bbox_left, 100);
  w.Run(self, "position_destroy(12, 12)");
  EXPECT_EQ(w.TakeLog(), "destroyed 100002|destroyed 100003");
}

TEST_F(Instances, DeactivatedInstancesTakePartInNothing) {
  w.object(enemy).sprite_index = block;
  w.On(base, EventKind::Step, 0, {CodeAction("log('step', id)")});
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(wall);
  w.Create(enemy, 0, 0);
  w.Create(boss, 50, 50);
  w.Create(base, 200, 0);  // no sprite: its position decides
  w.Run(self, "instance_deactivate_object(obj_enemy)");
  EXPECT_EQ(Eval(self, "instance_number(obj_base)"), 1);
  EXPECT_EQ(Eval(self, "instance_exists(100002)"), 0);
  EXPECT_EQ(w.Run(self, "s = 0; with (obj_base) other.s += 1; return s").real, 1);
  RaiseEvent(w.rt, 3, 0);
  EXPECT_EQ(w.TakeLog(), "step 100004");
  // Activation appends in the order of the deactivated list.
  w.Run(self, "instance_activate_object(obj_boss)");
  w.Run(self, "instance_activate_all()");
  EXPECT_EQ(Eval(self, "instance_id[0] + instance_id[1] / 1000000"), 100001 + 100004 / 1e6);
  EXPECT_EQ(Eval(self, "instance_id[2] + instance_id[3] / 1000000"), 100003 + 100002 / 1e6);
  // Regions: by bounding box with a sprite, by position without.
  w.Run(self, "instance_deactivate_region(0, 0, 60, 60, true, true)");
  EXPECT_EQ(Eval(self, "instance_number(all)"), 2);  // self kept, base at 200 kept
  w.Run(self, "instance_deactivate_region(0, 0, 60, 60, true, false)");
  EXPECT_EQ(Eval(self, "instance_number(all)"), 1);
  w.Run(w.rt.world.instances.at(0), "instance_activate_region(45, 45, 10, 10, true)");
  EXPECT_EQ(w.rt.world.instances.size(), 2u);
  EXPECT_EQ(w.rt.world.instances.at(1).id, 100003);
  w.Run(w.rt.world.instances.at(0),
        "instance_deactivate_all(true); instance_activate_region(0, 0, 10, 10, false)");
  EXPECT_EQ(w.rt.world.instances.size(), 2u);
  EXPECT_EQ(w.rt.world.instances.at(1).id, 100003);
}

}  // namespace
