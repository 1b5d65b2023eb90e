// The error report: the window, the log, the abort path and the event
// header; code run from strings and files; the game's constants.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "code/Code_Constant.h"
#include "code/Code_Error.h"
#include "code/Code_ExecTestSupport.h"
#include "run/Run_Error.h"
#include "run/Runner_Code.h"
#include "system/File_TestSupport.h"

using namespace px;
using pxtest::ExecWorld;
using pxtest::Show;

namespace {

// Runs in an empty folder of its own, where the error log is written.
class ReportTest : public ::testing::Test {
 protected:
  std::string Log() const { return pxtest::ReadFile(dir_.path() / kErrorLogFile); }

  pxtest::InScratchDir dir_;
  ExecWorld w;
};

TEST_F(ReportTest, LogIsStartedAfreshThenAppendedAndTheGameGoesOn) {
  std::ofstream(dir_.path() / kErrorLogFile) << "from an earlier run";
  w.rt.settings.showErrors = false;
  w.rt.settings.logErrors = true;
  ReportError(w.rt, "first\rline", false);
  ReportError(w.rt, "second", false);
  EXPECT_EQ(Log(), "first\rline\r\n\r\n\r\nsecond\r\n\r\n\r\n");
  EXPECT_FALSE(w.rt.code.report.aborting);
  EXPECT_EQ(w.rt.pendingChange, kNoPendingChange);
  EXPECT_EQ(w.run.out.str(), "");  // no window
  EXPECT_EQ(Show(w.Run("return string(error_occurred) + error_last").result), "'1second'");
}

TEST_F(ReportTest, TheLogStopsAtItsLimitWithOneLine) {
  w.rt.settings.showErrors = false;
  w.rt.settings.logErrors = true;
  const std::string report(1000000, 'e');
  for (int i = 0; i < 15; ++i) ReportError(w.rt, report, false);
  const std::string log = Log();
  const std::string entry = report + "\r\n\r\n\r\n";
  std::string expected;
  for (int i = 0; i < 10; ++i) expected += entry;
  expected += std::string(kMsgErrorLogFull) + "\r\n";
  EXPECT_TRUE(log == expected) << log.size() << " bytes";
  EXPECT_EQ(w.rt.code.report.last, report);  // the game still sees every report
}

TEST_F(ReportTest, AFatalReportEndsTheGameAndLaterReportsAreDropped) {
  w.rt.settings.showErrors = false;
  w.rt.settings.logErrors = true;
  ReportError(w.rt, "fatal one", true);
  EXPECT_TRUE(w.rt.code.report.aborting);
  EXPECT_EQ(w.rt.pendingChange, kPendingAbort);
  EXPECT_TRUE(w.rt.terminateRequested);
  ReportError(w.rt, "later", false);
  EXPECT_EQ(w.rt.code.report.last, "fatal one");
  EXPECT_EQ(Log(), "fatal one\r\n\r\n\r\n");
}

TEST_F(ReportTest, HeadlessWindowPrintsAndIgnoresWhereItMay) {
  ReportError(w.rt, "not fatal\r\nsecond line", false);
  EXPECT_FALSE(w.rt.code.report.aborting);
  EXPECT_EQ(w.run.out.str(),
            "\n___________________________________________\nnot fatal\nsecond line\n");
  ReportError(w.rt, "fatal", true);
  EXPECT_TRUE(w.rt.code.report.aborting);
  // The window's text keeps every report of the run.
  EXPECT_EQ(w.rt.code.report.memo,
            "\r\n___________________________________________\r\nnot fatal\r\nsecond line"
            "\r\n\r\n___________________________________________\r\nfatal");
}

TEST_F(ReportTest, AbortOnErrorsMakesShowErrorFatal) {
  w.rt.settings.abortOnErrors = true;
  ASSERT_TRUE(w.Run("show_error('x', 0)").ok);
  EXPECT_TRUE(w.rt.code.report.aborting);
  EXPECT_TRUE(w.rt.code.report.last.ends_with("\r\n\r\nx"));
}

TEST_F(ReportTest, RuntimeErrorHeaderNamesTheEvent) {
  w.rt.settings.showErrors = false;
  w.rt.resources.objects.add("obj_player", CObject{});
  w.rt.resources.objects.add("obj_wall", CObject{});
  w.rt.resources.timeLines.add("tl_intro", CTimeLine{});
  w.rt.event = {3, 2, 0, 4};
  RuntimeError(w.rt, "Oops.");
  EXPECT_EQ(w.rt.code.report.last,
            "ERROR in\r\naction number 5\r\nof End Step Event\r\nfor object obj_player:\r\n\r\n"
            "Oops.");
  w.rt.code.report = {};
  w.rt.event = {4, 1, 1, 0};
  RuntimeError(w.rt, "Bad.", true);
  EXPECT_EQ(w.rt.code.report.last,
            "FATAL ERROR in\r\naction number 1\r\nof Collision Event with object obj_wall\r\n"
            "for object obj_wall:\r\n\r\nBad.");
  w.rt.code.report = {};
  w.rt.event = {kTimeLineEvent, 30, 0, 1};
  RuntimeError(w.rt, "Late.");
  EXPECT_EQ(
      w.rt.code.report.last,
      "ERROR in\r\naction number 2\r\nat time step 30\r\nof time line tl_intro:\r\n\r\nLate.");
}

TEST(EventNames, AsErrorMessagesGiveThem) {
  pxtest::TestRun run;
  const struct {
    std::int32_t type, number;
    const char* name;
  } cases[] = {{0, 0, "Create Event"},
               {2, 11, "Alarm Event for alarm 11"},
               {3, 0, " Step Event"},
               {3, 1, "Begin Step Event"},
               {3, 7, "<unknown> Step Event"},
               {4, 3, "Collision Event with object <undefined>"},
               {5, 65, "Keyboard Event for A-key Key"},
               {9, 98, "Key Press Event for Keypad 2 Key"},
               {10, 113, "Key Release Event for F2 Key"},
               {5, 200, "Keyboard Event for <unknown> Key"},
               {6, 23, "Mouse Event for Joystick 1 Button 3"},
               {6, 34, "Mouse Event for Joystick 2 Down"},
               {6, 56, "Mouse Event for Glob Left Released"},
               {6, 12, "Mouse Event for <unknown>"},
               {7, 25, "Other Event: User Defined 15"},
               {7, 52, "Other Event: Boundary View 2"},
               {8, 0, "Draw Event"},
               {12, 0, "<Unknown Event>"}};
  for (const auto& c : cases) EXPECT_EQ(EventName(run.rt, c.type, c.number), c.name);
}

TEST_F(ReportTest, ExecuteStringWithArgumentsAndErrors) {
  w.rt.vars.arguments[0] = RValue::FromReal(100);
  EXPECT_EQ(Show(w.Run("return execute_string('return argument0 + argument1', 5, 2)").result), "7");
  EXPECT_EQ(Show(w.rt.vars.arguments[0]), "100");
  EXPECT_EQ(Show(w.Run("return execute_string('a = 3; b = a * 2')").result), "6");
  EXPECT_EQ(Show(w.Run("return execute_string()").result), "0");

  w.rt.settings.showErrors = false;
  ASSERT_TRUE(w.Run("execute_string('x = ')").ok);
  EXPECT_TRUE(w.rt.code.report.last.starts_with(
      "COMPILATION ERROR in string to be executed\rError in code at line 1:"))
      << w.rt.code.report.last;
  ASSERT_TRUE(w.Run("execute_string('return nothing_here')").ok);
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Unknown variable nothing_here"));
  EXPECT_FALSE(w.rt.code.report.aborting);
}

TEST_F(ReportTest, ExecuteFileReadsLinesWhateverTheirEnds) {
  std::ofstream(dir_.path() / "code.pxc", std::ios::binary)
      << "a = argument0;\r\nb = a + 1;\nreturn b * 2";
  EXPECT_EQ(Show(w.Run("return execute_file('code.pxc', 4)").result), "10");
  w.rt.settings.showErrors = false;
  ASSERT_TRUE(w.Run("execute_file('missing.pxc')").ok);
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Trying to execute non-existing file."));
  std::ofstream(dir_.path() / "bad.pxc", std::ios::binary) << "x = 1\r\ny = ";
  ASSERT_TRUE(w.Run("execute_file('bad.pxc')").ok);
  EXPECT_TRUE(w.rt.code.report.last.starts_with(
      "COMPILATION ERROR in file to be executed\rError in code at line 3:"))
      << w.rt.code.report.last;
}

TEST(Constants, GameConstantsUseResourcesAndEarlierConstants) {
  ExecWorld w;
  w.rt.resources.objects.add("obj_a", CObject{});
  w.rt.resources.objects.add("obj_b", CObject{});
  w.rt.resources.constants = {
      {" obj_b ", "7"}, {"SPEED", "2 * c_red"}, {"FAST", "SPEED + 1"}, {"NAME", "'hero'"}};
  ASSERT_TRUE(DefineUserConstants(w.rt));
  // A constant named like a resource reads as the resource.
  EXPECT_EQ(Show(w.Run("return obj_b * 1000 + FAST").result), "1511");
  EXPECT_EQ(Show(w.Run("return NAME").result), "'hero'");
}

TEST(Constants, InvalidNamesAndValuesStopTheDefinitions) {
  const struct {
    const char* name;
    const char* value;
    const char* message;
  } cases[] = {{"9lives", "1", "Constant name 9lives  is not valid.\n"},
               {"has space", "1", "Constant name has space  is not valid.\n"},
               {"", "1", "Constant name   is not valid.\n"},
               {"BAD", "1 +", "Value for constant BAD  is not valid.\n"},
               {"NOPE", "unknown_thing", "Value for constant NOPE  is not valid.\n"},
               {"CALLS", "helper()", "Value for constant CALLS  is not valid.\n"}};
  for (const auto& c : cases) {
    ExecWorld w;
    CScript helper;
    helper.code = "return 1";
    w.rt.resources.scripts.add("helper", helper);  // not compiled before the constants
    w.rt.resources.constants = {{c.name, c.value}, {"LATER", "1"}};
    EXPECT_FALSE(DefineUserConstants(w.rt)) << c.name;
    EXPECT_EQ(w.run.out.str(), c.message);
    RValue later;
    EXPECT_FALSE(FindConstant(w.rt, "LATER", later));
  }
}

TEST(VariableFunctions, ByNameOnGlobalsAndSelf) {
  ExecWorld w;
  w.rt.settings.showErrors = false;
  EXPECT_EQ(Show(w.Run("variable_global_set('g', 4); variable_global_array2_set('h', 1, 2, 'x');"
                       "return string(variable_global_exists('g')) + string(global.g) + "
                       "global.h[1, 2] + string(variable_global_exists('nope'))")
                     .result),
            "'14x0'");
  EXPECT_EQ(Show(w.Run("variable_local_array_set('arr', 3, 9); return arr[3] + "
                       "variable_local_get('arr') + variable_local_exists('arr') * 10 + "
                       "variable_local_exists('argument0') * 100 + variable_global_get('none')")
                     .result),
            "119");
  EXPECT_EQ(Show(w.Run("return variable_global_array_get('g', 32000)").result), "0");
  EXPECT_TRUE(w.rt.code.report.last.ends_with("Array index >= 32000"));
  EXPECT_EQ(Show(w.Run("return variable_global_array_get('g', -0.4)").result), "4");
  // A read-only built-in is not written.
  ASSERT_TRUE(w.Run("variable_local_set('argument_relative', 1)").ok);
  EXPECT_FALSE(w.rt.vars.argumentRelative);
}

}  // namespace
