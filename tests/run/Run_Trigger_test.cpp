// Triggers over whole steps: tested at their moment, before that moment's
// step events, for the instances of the objects that listen to them.
#include "run/Run_Trigger.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/Resource_Chunks.h"
#include "run/Run_Main.h"
#include "run/Runtime.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

namespace {

std::int32_t AddTrigger(WorldRun& w, const std::string& name, const std::string& condition,
                        int moment) {
  CTrigger t;
  t.name = name;
  t.condition = condition;
  t.moment = moment;
  t.constantName = "trig_" + name;
  return w.rt.resources.triggers.add(name, t);
}

TEST(Trigger, EachMomentIsTestedJustBeforeItsStepEvents) {
  WorldRun w;
  w.rt.settings.showErrors = false;
  const std::int32_t obj = w.AddObject("obj");
  const std::int32_t deaf = w.AddObject("deaf");
  const auto log = [&](const std::string& what) {
    return CodeAction("log('" + what + "', id - 100000, global.step)");
  };
  const std::int32_t end = AddTrigger(w, "end", "true", 2);
  const std::int32_t begin = AddTrigger(w, "begin", "global.step >= 1", 1);
  const std::int32_t text = AddTrigger(w, "text", "'yes'", 0);
  const std::int32_t normal = AddTrigger(w, "normal", "x > 5", 0);
  const std::int32_t bad = AddTrigger(w, "bad", "nothing_here > 0", 0);
  w.rt.resources.triggers.addEmpty();
  for (const std::int32_t t : {end, begin, text, normal, bad})
    w.On(obj, EventKind::Trigger, t, {log(w.rt.resources.triggers.name(t))});
  w.On(deaf, EventKind::Step, kEvStepBegin, {CodeAction("global.step += 1")});
  w.On(obj, EventKind::Step, kEvStepNormal, {log("step")});
  w.On(obj, EventKind::Step, kEvStepEnd, {log("end step")});
  w.On(deaf, EventKind::Step, kEvStepNormal, {log("deaf step")});
  w.rt.resources.libraryInitCode = {"global.step = 0"};
  CRoom room;
  room.instances = {{.x = 10, .y = 0, .object = obj, .id = 100001, .creation_code = ""},
                    {.x = 0, .y = 0, .object = obj, .id = 100002, .creation_code = ""},
                    {.x = 10, .y = 0, .object = deaf, .id = 100003, .creation_code = ""}};
  w.rt.resources.rooms.add("rm", room);
  w.rt.resources.roomOrder = {0};
  w.rt.maxSteps = 2;
  ASSERT_TRUE(w.Start());
  RunGame(w.rt);
  // The begin trigger sees the count before the begin step raises it.
  EXPECT_EQ(w.TakeLog(),
            "normal 1 1|step 1 1|step 2 1|deaf step 3 1|end 1 1|end 2 1|end step 1 1|"
            "end step 2 1|"
            "begin 1 1|begin 2 1|normal 1 2|step 1 2|step 2 2|deaf step 3 2|end 1 2|end 2 2|"
            "end step 1 2|end step 2 2");
  EXPECT_TRUE(w.rt.code.report.last.starts_with("ERROR in trigger bad\r\n"))
      << w.rt.code.report.last;
  EXPECT_NE(w.rt.code.report.last.find("nothing_here"), std::string::npos);
}

TEST(Trigger, AConditionThatDoesNotCompileStopsThePreparation) {
  WorldRun w;
  w.rt.settings.showErrors = false;
  AddTrigger(w, "fine", "x > 1", 0);
  AddTrigger(w, "broken", "x >", 0);
  AddTrigger(w, "later", "y > 1", 0);
  EXPECT_FALSE(PrepareTriggers(w.rt));
  EXPECT_TRUE(
      w.rt.code.report.last.starts_with("COMPILATION ERROR in condition of trigger broken\r"))
      << w.rt.code.report.last;
  EXPECT_TRUE(w.rt.code.report.aborting);
  EXPECT_TRUE(w.rt.resources.triggers.get(0)->compiled);
  EXPECT_FALSE(w.rt.resources.triggers.get(2)->compiled);
}

}  // namespace
