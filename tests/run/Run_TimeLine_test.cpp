// Time lines over whole steps: which moments run in which step for several
// speeds, looping, a position set backwards, and a time line changed from
// inside its own moment; the script functions that edit moments.
#include "run/Run_TimeLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/Resource_Chunks.h"
#include "run/Run_Main.h"
#include "run/Runtime.h"
#include "world/World_TestSupport.h"

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

namespace {

struct Moment {
  std::int32_t step;
  std::string extra;  // code run before the moment logs itself
};

// A game with one instance following time line 0; every moment logs
// "m<step> <game step>".
class TimeLineGame {
 public:
  TimeLineGame() { w.rt.settings.showErrors = false; }

  void AddLine(const std::vector<Moment>& moments) {
    CTimeLine line;
    for (const Moment& m : moments) {
      line.steps.push_back(m.step);
      CEvent event;
      event.actions.push_back(
          CodeAction(m.extra + "log('m" + std::to_string(m.step) + "', global.step)"));
      line.events.push_back(event);
    }
    w.rt.resources.timeLines.add("tl", line);
  }

  std::string Play(const std::string& setup, std::int64_t steps) {
    const std::int32_t obj = w.AddObject("obj");
    w.On(obj, EventKind::Step, kEvStepBegin, {CodeAction("global.step += 1")});
    w.rt.resources.libraryInitCode = {"global.step = 0"};
    CRoom room;
    room.instances.push_back({.x = 0, .y = 0, .object = obj, .id = 100001, .creation_code = setup});
    w.rt.resources.rooms.add("rm", room);
    w.rt.resources.roomOrder = {0};
    return w.Play(steps);
  }

  WorldRun w;
};

std::string Following(double speed, double position, bool loop) {
  return "timeline_index = 0; timeline_running = 1; timeline_speed = " + std::to_string(speed) +
         "; timeline_position = " + std::to_string(position) +
         "; timeline_loop = " + (loop ? "1" : "0") + ";";
}

TEST(TimeLine, MomentsRunInTheStepsTheirPositionsArePassed) {
  const struct {
    const char* name;
    std::vector<std::int32_t> steps;
    double speed, position;
    bool loop;
    std::int64_t play;
    const char* log;
  } cases[] = {
      {"speed 1", {0, 10, 20}, 1, 0, false, 23, "m0 1|m10 11|m20 21"},
      {"speed 1 looping", {0, 10, 20}, 1, 0, true, 23, "m0 1|m10 11|m20 21|m0 22"},
      {"speed 0.5", {0, 1}, 0.5, 0, false, 4, "m0 1|m1 3"},
      {"speed 2.5", {0, 2, 5, 7}, 2.5, 0, false, 3, "m0 1|m2 1|m5 3|m7 3"},
      {"speed 2.5 looping", {0, 2, 5}, 2.5, 0, true, 4, "m0 1|m2 1|m5 3|m0 4|m2 4"},
      {"speed 2 from 9", {10}, 2, 9, false, 3, "m10 1"},
      {"speed -1 from 10", {0, 10}, -1, 10, false, 12, "m10 1|m0 11"},
      {"speed -1 looping", {0, 5}, -1, 1, true, 3, "m0 2|m5 3"},
      {"speed 0", {0, 1}, 0, 0, false, 3, ""},
  };
  for (const auto& c : cases) {
    TimeLineGame game;
    std::vector<Moment> moments;
    for (std::int32_t s : c.steps) moments.push_back({s, ""});
    game.AddLine(moments);
    EXPECT_EQ(game.Play(Following(c.speed, c.position, c.loop), c.play), c.log) << c.name;
  }
}

TEST(TimeLine, NotRunningOrSpeedZeroPerformsNothingAndKeepsThePosition) {
  TimeLineGame game;
  game.AddLine({{0, ""}, {1, ""}});
  WorldRun& w = game.w;
  const std::int32_t obj = w.AddObject("obj");
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(obj);
  for (const char* setup : {"timeline_running = 0.5", "timeline_speed = 0"}) {
    w.Run(self, Following(1, 0, false) + setup);
    AdvanceTimeLine(w.rt, self);
    EXPECT_EQ(self.timeline_position, 0) << setup;
  }
  EXPECT_EQ(w.TakeLog(), "");
  w.Run(self, "timeline_running = 0.6");
  EXPECT_TRUE(self.timeline_running);
}

TEST(TimeLine, AMomentSettingThePositionBackRepeatsTheMomentsAfterIt) {
  TimeLineGame game;
  game.AddLine({{0, ""}, {3, "timeline_position = 1;"}});
  EXPECT_EQ(game.Play(Following(1, 0, false), 8), "m0 1|m3 4|m3 7");
}

TEST(TimeLine, ATimeLineChangedInsideItsOwnMoment) {
  // The first moment adds a moment at 2 and removes itself.
  TimeLineGame edited;
  edited.AddLine({{0,
                   "timeline_moment_add(0, 2, \"log('added', global.step)\"); "
                   "timeline_moment_clear(0, 0);"},
                  {1, ""},
                  {2, ""}});
  EXPECT_EQ(edited.Play(Following(1, 0, false), 4), "m0 1|m1 2|m2 3|added 3");
  // A moment deletes the time line while it runs: the moments after it in
  // the same step do not run.
  TimeLineGame deleted;
  deleted.AddLine({{0, "timeline_delete(0);"}, {1, ""}});
  EXPECT_EQ(deleted.Play(Following(2, 0, true), 3), "m0 1");
  EXPECT_FALSE(deleted.w.rt.resources.timeLines.exists(0));
}

TEST(TimeLineMoments, AddAndRemoveKeepTheStepsSorted) {
  CTimeLine line;
  for (const std::int32_t step : {10, 0, 20, 5}) AddMoment(line, step);
  EXPECT_EQ(line.steps, (std::vector<std::int32_t>{0, 5, 10, 20}));
  AddMoment(line, 10).actions.push_back(CodeAction("a = 1"));
  EXPECT_EQ(line.steps.size(), 4u);
  EXPECT_EQ(line.events[2].actions.size(), 1u);
  RemoveMoment(line, 0);
  RemoveMoment(line, 7);
  RemoveMoment(line, 99);
  EXPECT_EQ(line.steps, (std::vector<std::int32_t>{5, 10, 20}));
  EXPECT_EQ(line.events.size(), 3u);
  EXPECT_EQ(line.events[1].actions.size(), 1u);
}

TEST(TimeLineFunctions, AddDeleteClearAndTheirReports) {
  WorldRun w;
  w.rt.settings.showErrors = false;
  const std::int32_t obj = w.AddObject("obj");
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(obj);
  EXPECT_EQ(w.Run(self, "return timeline_add()").real, 0);
  EXPECT_EQ(w.Run(self, "return timeline_add()").real, 1);
  EXPECT_EQ(w.rt.resources.timeLines.name(1), "__newtimeline1");
  w.Run(self, "timeline_moment_add(1, 4.4, 'a = 1'); timeline_moment_add(1, 2, 'a = 2')");
  EXPECT_EQ(w.rt.resources.timeLines.get(1)->steps, (std::vector<std::int32_t>{2, 4}));
  w.Run(self, "timeline_moment_add(1, 3, 'a = ')");
  EXPECT_TRUE(w.rt.code.report.last.starts_with(
      "FATAL ERROR in\r\naction number 1\r\nat time step 3\r\nof time line __newtimeline1:\r\n\r\n"
      "COMPILATION ERROR in code action\r"))
      << w.rt.code.report.last;
  w.rt.code.report = {};
  w.rt.pendingChange = kNoPendingChange;
  w.Run(self, "timeline_clear(1); timeline_clear(7); timeline_moment_clear(7, 0)");
  EXPECT_TRUE(w.rt.resources.timeLines.get(1)->steps.empty());
  EXPECT_EQ(w.Run(self, "return timeline_delete(0)").real, 1);
  EXPECT_FALSE(w.rt.resources.timeLines.exists(0));
  EXPECT_EQ(w.Run(self, "return timeline_delete(0)").real, 0);
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Trying to delete non-existing timeline."));
}

}  // namespace
