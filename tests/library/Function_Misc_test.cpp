// The clipboard and process functions as game code calls them.
#include "library/Function_Misc.h"

#include <gtest/gtest.h>

#include <cmath>

#include "code/Function_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::Real;
using pxtest::Str;

TEST(ClipboardFunctions, TextGoesInAndComesBack) {
  pxtest::TestRun run;
  EXPECT_EQ(Call(run, "clipboard_has_text"), Real(0));
  EXPECT_EQ(Call(run, "clipboard_get_text"), Str(""));
  Call(run, "clipboard_set_text", {Str("caf\xE9\rnext")});
  EXPECT_EQ(Call(run, "clipboard_has_text"), Real(1));
  EXPECT_EQ(Call(run, "clipboard_get_text"), Str("caf\xE9\rnext"));
  // A real's text is empty: setting it leaves no text.
  Call(run, "clipboard_set_text", {Real(5)});
  EXPECT_EQ(Call(run, "clipboard_has_text"), Real(0));
}

TEST(ProcessFunctions, DebugMessagesOnlyInDebugMode) {
  pxtest::TestRun run;
  Call(run, "show_debug_message", {Str("ignored")});
  EXPECT_TRUE(run.rt.debugMessages.empty());
  run.rt.flags.debugFlag = true;
  for (const RValue& v : {Str("hello"), Real(5), Real(-0.5), Real(2.125)})
    Call(run, "show_debug_message", {v});
  EXPECT_EQ(run.rt.debugMessages, (std::vector<std::string>{"hello", "5", "-0.50", "2.13"}));
}

TEST(ProcessFunctions, ApplicationTitleTakesStringsOnly) {
  pxtest::TestRun run;
  run.rt.applicationTitle = "game";
  Call(run, "set_application_title", {Real(3)});
  EXPECT_EQ(run.rt.applicationTitle, "game");
  Call(run, "set_application_title", {Str("My Game")});
  EXPECT_EQ(run.rt.applicationTitle, "My Game");
}

TEST(ProcessFunctions, PriorityLevels) {
  const struct {
    double argument;
    int level;
  } cases[] = {{3, 3}, {2.5, 2}, {1, 1},   {0, 0},    {-1, -1}, {-3, -3},
               {7, 0}, {-4, 0},  {3.5, 0}, {-0.5, 0}, {NAN, 0}, {1e300, 0}};
  for (const auto& c : cases) EXPECT_EQ(ProgramPriorityLevel(c.argument), c.level) << c.argument;
  pxtest::TestRun run;
  EXPECT_EQ(Call(run, "set_program_priority", {Real(2)}), Real(0));
}

TEST(ProcessFunctions, WindowHandleIsZeroHeadless) {
  pxtest::TestRun run;
  EXPECT_EQ(Call(run, "window_handle"), Real(0));
}

}  // namespace
