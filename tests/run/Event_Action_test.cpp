// Running action lists: blocks, else, repeat, exit, questions with their
// targets, arguments and relative, and the compile errors of preparation.
#include "run/Event_Action.h"

#include <gtest/gtest.h>

#include "run/Action_Class.h"
#include "world/World_TestSupport.h"

namespace {

using namespace px;
using pxtest::CodeAction;
using pxtest::ControlAction;
using pxtest::FunctionAction;
using pxtest::QuestionAction;
using pxtest::WorldRun;

using K = ActionKind;

CAction Log(const std::string& text) {
  return CodeAction("log('" + text + "')");
}
CAction Q(bool answer) {
  return QuestionAction(answer ? "return 1" : "return 0");
}
CAction Begin() {
  return ControlAction(K::BeginBlock);
}
CAction End() {
  return ControlAction(K::EndBlock);
}
CAction Else() {
  return ControlAction(K::Else);
}

std::string RunList(std::vector<CAction> actions) {
  WorldRun w;
  const std::int32_t o = w.AddObject("obj");
  w.On(o, EventKind::Step, 0, std::move(actions));
  EXPECT_TRUE(w.Start());
  CInstance& inst = w.Create(o);
  PerformEvent(w.rt, &inst, &inst, 3, 0);
  return w.TakeLog();
}

TEST(ActionLists, RunSkipQuestionRepeatAndBlocks) {
  const struct {
    const char* name;
    std::vector<CAction> actions;
    const char* log;
  } cases[] = {
      {"plain", {Log("a"), Log("b")}, "a|b"},
      {"true question runs the next", {Q(true), Log("a"), Log("b")}, "a|b"},
      {"false question skips the next", {Q(false), Log("a"), Log("b")}, "b"},
      {"negated question", {QuestionAction("return 0", true), Log("a")}, "a"},
      {"else after a false question",
       {Q(false), Begin(), Log("a"), Log("b"), End(), Else(), Begin(), Log("c"), End(), Log("d")},
       "c|d"},
      {"else after a true question", {Q(true), Log("a"), Else(), Log("b"), Log("c")}, "a|c"},
      {"nested blocks",
       {Q(true), Begin(), Log("a"), Q(false), Begin(), Log("b"), Begin(), Log("x"), End(), End(),
        Else(), Log("c"), End(), Log("d")},
       "a|c|d"},
      {"skipped block with nested blocks",
       {Q(false), Begin(), Begin(), Log("a"), End(), Log("b"), End(), Log("c")},
       "c"},
      {"a skipped question takes its action along", {Q(false), Q(true), Log("x"), Log("y")}, "y"},
      // The stray second else is passed over as an ordinary action.
      {"stray else", {Q(false), Q(true), Log("x"), Else(), Log("y"), Else(), Log("z")}, "y|z"},
      {"repeat of a block",
       {ControlAction(K::Repeat, "3"), Begin(), Log("r"), Log("s"), End(), Log("t")},
       "r|s|r|s|r|s|t"},
      {"repeat of one action", {ControlAction(K::Repeat, "1.5"), Log("r"), Log("t")}, "r|r|t"},
      {"repeat zero skips",
       {ControlAction(K::Repeat, "0"), Begin(), Log("r"), End(), Log("t")},
       "t"},
      {"repeat negative skips", {ControlAction(K::Repeat, "-2"), Log("r"), Log("t")}, "t"},
      {"repeat of a question",
       {ControlAction(K::Repeat, "2"), Q(true), Log("r"), Log("t")},
       "r|r|t"},
      {"exit ends the event", {Log("a"), ControlAction(K::Exit), Log("b")}, "a"},
      {"exit inside a block ends the event",
       {Q(true), Begin(), Log("a"), ControlAction(K::Exit), Log("b"), End(), Log("c")},
       "a"},
      {"exit inside a repeat",
       {ControlAction(K::Repeat, "5"), Begin(), Log("r"), ControlAction(K::Exit), End(), Log("t")},
       "r"},
      {"unmatched end block", {Log("a"), End(), Log("b")}, "a|b"},
      {"unclosed block", {Q(true), Begin(), Log("a"), Log("b")}, "a|b"},
  };
  for (const auto& c : cases) EXPECT_EQ(RunList(c.actions), c.log) << c.name;
}

TEST(ActionLists, QuestionsAppliedToAnObjectAskEveryInstance) {
  WorldRun w;
  const std::int32_t o = w.AddObject("obj");
  const std::int32_t target = w.AddObject("obj_target");
  const std::int32_t child = w.AddObject("obj_child", target);
  CAction ask = QuestionAction("log('asked', id); return ok");
  ask.has_applies_to = true;
  ask.applies_to = target;
  w.On(o, EventKind::Step, 0, {ask, Log("yes"), Else(), Log("no")});
  CAction each = CodeAction("log('each', id, other.id)");
  each.has_applies_to = true;
  each.applies_to = target;
  w.On(o, EventKind::Step, 1, {each});
  CAction toOther = CodeAction("log('other', id, other.id)");
  toOther.has_applies_to = true;
  toOther.applies_to = kOther;
  w.On(o, EventKind::Step, 2, {toOther});
  ASSERT_TRUE(w.Start());
  CInstance& self = w.Create(o);
  // No instances: true without asking.
  PerformEvent(w.rt, &self, &self, 3, 0);
  EXPECT_EQ(w.TakeLog(), "yes");
  CInstance& first = w.Create(target);
  CInstance& second = w.Create(child);
  first.variables.set(VariableIndexOf(w.rt.vars, "ok"), 0, RValue::FromReal(1));
  second.variables.set(VariableIndexOf(w.rt.vars, "ok"), 0, RValue::FromReal(0));
  PerformEvent(w.rt, &self, &self, 3, 0);
  EXPECT_EQ(w.TakeLog(), "asked 100002|asked 100003|no");
  // The first false answer ends the asking.
  first.variables.set(VariableIndexOf(w.rt.vars, "ok"), 0, RValue::FromReal(0));
  PerformEvent(w.rt, &self, &self, 3, 0);
  EXPECT_EQ(w.TakeLog(), "asked 100002|no");
  // A plain action runs for each instance with other kept; applies-to other
  // swaps self and other.
  PerformEvent(w.rt, &self, &self, 3, 1);
  EXPECT_EQ(w.TakeLog(), "each 100002 100001|each 100003 100001");
  PerformEvent(w.rt, &self, &first, 3, 2);
  EXPECT_EQ(w.TakeLog(), "other 100002 100001");
}

TEST(ActionLists, ArgumentsRelativeAndTheArgumentGlobals) {
  WorldRun w;
  const std::int32_t o = w.AddObject("obj");
  // A library action whose work is code with arguments.
  CAction code;
  code.exec_type = ExecType::Code;
  code.code = "log(argument0, argument1, argument_relative); argument0 = 'changed'";
  code.arg_count = 2;
  code.arg_kinds = {1, 0};
  code.arg_texts = {"first", "2 + 3"};
  code.may_be_relative = true;
  code.relative = true;
  CAction call = FunctionAction("log", {"x + 1", "'quoted'", "plain text", "7"});
  call.arg_kinds = {0, 2, 2, 1};
  CAction variable;
  variable.kind = K::Variable;
  variable.exec_type = ExecType::Code;
  variable.relative = true;
  variable.arg_count = 2;
  variable.arg_kinds = {0, 0};
  variable.arg_texts = {"x", "10"};
  w.On(o, EventKind::Step, 0, {code, call, variable, CodeAction("log(x, argument0)")});
  ASSERT_TRUE(w.Start());
  const RPreparedAction& prepared = *w.object(o).event(3, 0)->actions[1].prepared.get();
  EXPECT_EQ(prepared.argKinds[0], kArgExpression);
  EXPECT_EQ(prepared.argKinds[3], kArgConstant);
  EXPECT_EQ(prepared.argValues[3].str(), "7");
  CInstance& inst = w.Create(o, 4, 0);
  w.rt.vars.arguments[0].setString("outer");
  PerformEvent(w.rt, &inst, &inst, 3, 0);
  // The argument globals and argument_relative come back afterwards.
  EXPECT_EQ(w.TakeLog(), "first 5 1|5 quoted plain text 7|14 outer");
  EXPECT_FALSE(w.rt.vars.argumentRelative);
}

TEST(ActionPreparation, CompileErrorsAreFatalAndNameThePlace) {
  const struct {
    CAction action;
    const char* start;
  } cases[] = {
      {CodeAction("x = "),
       "FATAL ERROR in\r\naction number 2\r\nof Alarm Event for alarm 3\r\nfor object "
       "obj_broken:\r\n\r\nCOMPILATION ERROR in code action\rError in code at line 1:"},
      {FunctionAction("log", {"1", "2 +"}),
       "FATAL ERROR in\r\naction number 2\r\nof Alarm Event for alarm 3\r\nfor object "
       "obj_broken:\r\n\r\nCOMPILATION ERROR in argument 1\rError in expression:2 +"},
  };
  for (const auto& c : cases) {
    WorldRun w;
    w.rt.settings.showErrors = false;
    w.AddObject("obj_fine");
    const std::int32_t o = w.AddObject("obj_broken");
    w.On(o, EventKind::Alarm, 3, {CodeAction("x = 1"), c.action});
    EXPECT_FALSE(w.Start());
    EXPECT_TRUE(w.rt.code.report.last.starts_with(c.start)) << w.rt.code.report.last;
    EXPECT_TRUE(w.rt.code.report.aborting);
  }
}

TEST(ActionPreparation, TimeLineMomentsNameTheTimeLineAndStep) {
  WorldRun w;
  w.rt.settings.showErrors = false;
  CTimeLine line;
  line.steps = {0, 25};
  line.events = {CEvent{{CodeAction("x = 1")}}, CEvent{{Log("ok"), CodeAction("if")}}};
  w.rt.resources.timeLines.add("tl_intro", line);
  EXPECT_FALSE(PrepareTimeLineActions(w.rt));
  EXPECT_TRUE(w.rt.code.report.last.starts_with(
      "FATAL ERROR in\r\naction number 2\r\nat time step 25\r\nof time line tl_intro:\r\n\r\n"
      "COMPILATION ERROR in code action\r"))
      << w.rt.code.report.last;
}

TEST(LibraryInitCode, RunsEachTextForATemporaryInstance) {
  WorldRun w;
  w.rt.settings.showErrors = false;
  w.rt.resources.libraryInitCode = {"global.a = 1; log(id, object_index)", "", "global.a += 1"};
  ASSERT_TRUE(RunLibraryInitCode(w.rt));
  EXPECT_EQ(w.TakeLog(), "0 0");
  EXPECT_EQ(w.rt.world.instances.size(), 0u);
  w.rt.resources.libraryInitCode = {"x = "};
  EXPECT_FALSE(RunLibraryInitCode(w.rt));
  EXPECT_TRUE(w.rt.code.report.last.starts_with(
      "COMPILATION ERROR in library initialization code\rError in code at line 1:"))
      << w.rt.code.report.last;
}

}  // namespace
