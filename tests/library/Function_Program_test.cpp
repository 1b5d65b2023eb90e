// Starting programs and opening documents: the words that would start them,
// what headless runs print, and a real start on the host.
#include "library/Function_Program.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "code/Function_TestSupport.h"
#include "platform/Platform_Process.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::Real;
using pxtest::Str;

TEST(Programs, CommandLineWords) {
  const struct {
    const char* line;
    std::vector<std::string> words;
  } cases[] = {
      {"prog  a\tb ", {"prog", "a", "b"}},
      {"\"my prog\" \"x y\"z \"\"", {"my prog", "x yz", ""}},
      {"", {}},
      {"a\"b c\"d", {"ab cd"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(Programs, HeadlessRunsPrintInsteadOfStarting) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  // Only what would be started is printed, not the error window.
  run.rt.settings.showErrors = false;
  Call(run, "execute_program", {Str("echo"), Str("hello \"big world\""), Real(1)});
  Call(run, "execute_program", {Str("tools\\Run"), Str(""), Real(0)});
  const bool wine = !FindOnPath("wine").empty();
  run.rt.code.report.last.clear();
  Call(run, "execute_program", {Str("Setup.EXE"), Str("/q"), Real(0)});
  std::string expected = "Starting: echo hello big world\nStarting: tools/Run\n";
  if (wine) {
    expected += "Starting: wine Setup.EXE /q\n";
  } else {
    EXPECT_NE(run.rt.code.report.last.find("Cannot execute Setup.EXE"), std::string::npos);
  }
  EXPECT_EQ(run.out.str(), expected);

  const bool xdg = !FindOnPath("xdg-open").empty();
  pxtest::WriteText(dir.path() / "ReadMe.txt", "x");
  for (const char* target : {"http://example.com/a b", "readme.TXT"}) {
    run.out.str("");
    run.rt.code.report.last.clear();
    Call(run, "execute_shell", {Str(target), Str("ignored")});
    if (xdg) {
      EXPECT_EQ(run.out.str().rfind("Starting: xdg-open ", 0), 0u) << target;
    } else {
      EXPECT_NE(run.rt.code.report.last.find(std::string("Cannot execute ") + target),
                std::string::npos);
    }
  }
  run.out.str("");
  Call(run, "execute_shell", {Str("missing.doc"), Str("")});
  EXPECT_NE(run.rt.code.report.last.find("Cannot execute missing.doc"), std::string::npos);
  EXPECT_EQ(run.out.str(), "");
}

TEST(Programs, SecureModeRefusesBoth) {
  pxtest::TestRun run;
  // Only what would be started is printed, not the error window.
  run.rt.settings.showErrors = false;
  run.rt.files.secureMode = true;
  for (const char* name : {"execute_program", "execute_shell"}) {
    run.rt.code.report.last.clear();
    if (std::string_view(name) == "execute_program") {
      Call(run, name, {Str("notepad"), Str("x"), Real(0)});
    } else {
      Call(run, name, {Str("notepad"), Str("x")});
    }
    EXPECT_NE(run.rt.code.report.last.find("In Secure mode you cannot execute program notepad"),
              std::string::npos)
        << name;
  }
  EXPECT_EQ(run.out.str(), "");
}

TEST(Programs, HostStartWaitsForTheEnd) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  // The host implementation, not the headless one.
  ASSERT_TRUE(
      run.rt.platform.Platform::startProgram({"sh", "-c", "sleep 0.2; echo done > out.txt"}, true));
  EXPECT_EQ(pxtest::ReadFile(dir.path() / "out.txt"), "done\n");
  EXPECT_FALSE(run.rt.platform.Platform::startProgram({"no-such-program-pxrun"}, false));
  EXPECT_FALSE(run.rt.platform.Platform::startProgram({}, false));
}

}  // namespace
