// The step loop's outer frame: a step that fails outside game code.
#include "run/Run_Main.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "run/Run_Room.h"
#include "run/Runtime.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

namespace {

int failedSteps = 0;

// Fails the way a broken part of the runner would: with a C++ exception.
// After many calls it ends the game instead, so that a loop that never
// carries out the fatal report still stops.
void FailStep(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs&) {
  if (++failedSteps > 50) return RequestGameEnd(rt);
  throw std::runtime_error("the test's step failure");
}

TEST(RunMain, AStepThatThrowsEndsTheGameWithAFatalReport) {
  for (const std::optional<std::int64_t> maxSteps : {std::optional<std::int64_t>(), {5}}) {
    SCOPED_TRACE(maxSteps ? "with a step limit" : "without a step limit");
    failedSteps = 0;
    WorldRun w;
    RegisterFunction(w.rt, "fail_step", FailStep, 0);
    const std::int32_t obj = w.AddObject("obj");
    w.On(obj, EventKind::Step, kEvStepNormal, {CodeAction("log('step'); fail_step();")});
    CRoom room;
    room.instances = {{.x = 0, .y = 0, .object = obj, .id = 100001, .creation_code = ""}};
    w.rt.resources.rooms.add("rm", room);
    w.rt.maxSteps = maxSteps;
    ASSERT_TRUE(w.Start());

    EXPECT_FALSE(RunGame(w.rt));

    EXPECT_EQ(failedSteps, 1);
    EXPECT_EQ(w.TakeLog(), "step");
    EXPECT_TRUE(w.rt.code.report.aborting);
    const std::string shown = w.run.out.str();
    EXPECT_NE(shown.find("FATAL ERROR in"), std::string::npos) << shown;
    EXPECT_NE(shown.find("the test's step failure"), std::string::npos) << shown;
  }
}

TEST(RunMain, TheTimeLimitStopsALoopThatNeverEnds) {
  // The loop in a script, called in a loop, inside a with: every level
  // stops, and the one report names the event.
  const struct {
    const char* step;
    const char* script;
  } cases[] = {
      {"log('step'); while (true) {}", ""},
      {"log('step'); repeat (1000000000) { with (all) spin(); }", "do { x += 1; } until (false);"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    WorldRun w;
    if (*c.script) w.AddScript("spin", c.script);
    const std::int32_t obj = w.AddObject("obj");
    w.On(obj, EventKind::Step, kEvStepNormal, {CodeAction(c.step)});
    CRoom room;
    room.instances = {{.x = 0, .y = 0, .object = obj, .id = 100001, .creation_code = ""}};
    w.rt.resources.rooms.add("rm", room);
    ASSERT_TRUE(w.Start());
    SetTimeLimit(w.rt.code.exec, 0.2);

    EXPECT_FALSE(RunGame(w.rt));

    EXPECT_EQ(w.TakeLog(), "step");
    EXPECT_TRUE(w.rt.code.report.aborting);
    const std::string shown = w.run.out.str();
    EXPECT_TRUE(
        shown.starts_with("\n___________________________________________\nFATAL ERROR in\n"))
        << shown;
    EXPECT_NE(shown.find("Step Event\nfor object obj:"), std::string::npos) << shown;
    EXPECT_NE(shown.find("The run has passed its time limit of 0.2 seconds."), std::string::npos)
        << shown;
  }
}

TEST(RunMain, TheTimeLimitEndsARunBetweenSteps) {
  WorldRun w;
  w.rt.resources.rooms.add("rm", CRoom{});  // no code runs at all
  ASSERT_TRUE(w.Start());
  SetTimeLimit(w.rt.code.exec, 1e-9);
  testing::internal::CaptureStderr();
  RunGame(w.rt);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "pxrun: The run has passed its time limit of 1e-09 seconds.\n");
  EXPECT_TRUE(w.rt.code.report.aborting);
}

}  // namespace
