// Native library functions from game code: external_define and its fixed
// forms, external_call, external_free, the messages of refused definitions
// and of secure mode.
#include "library/Function_External.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>

#include "code/Code_ExecTestSupport.h"
#include "support/TestSupport.h"
#include "world/World_TestSupport.h"

namespace {

using namespace px;
namespace fs = std::filesystem;

// A game whose file lies beside the test library ("pxtestlib.so"), with
// an instance to run code for.
class ExternalCalls : public ::testing::Test {
 protected:
  ExternalCalls() {
    fs::copy_file(PXTEST_NATIVE_LIBRARY, dir.path() / "pxtestlib.so");
    w.rt.gameFile = (dir.path() / "game.exe").string();
    w.rt.settings.showErrors = false;
    obj = w.AddObject("obj");
    EXPECT_TRUE(w.Start());
  }

  RValue Run(const std::string& code) { return w.Run(w.Create(obj), code); }

  // What the last error report ended with, after the event header.
  std::string LastError() const {
    const std::string& last = w.rt.code.report.last;
    const std::size_t colon = last.rfind(":\r\n\r\n");
    return colon == std::string::npos ? last : last.substr(colon + 5);
  }

  pxtest::ScratchDir dir;
  pxtest::WorldRun w;
  std::int32_t obj = -1;
};

TEST_F(ExternalCalls, GameCodeDefinesAndCallsLibraryFunctions) {
  EXPECT_EQ(pxtest::Show(Run(
                "a = external_define0('pxtestlib.dll', 'px_answer', ty_real);"
                "b = external_define1('pxtestlib.dll', 'px_twice', ty_real, ty_real);"
                "c = external_define4('pxtestlib.dll', 'px_digits4', 0, 0, 0, 0, ty_real);"
                "g = external_define('PxTestLib.DLL', 'px_greet', dll_cdecl, ty_string, 1, "
                "  ty_string);"
                "m = external_define('pxtestlib.dll', 'px_mix', dll_stdcall, ty_string, 4,"
                "  ty_string, ty_real, ty_string, ty_real);"
                "return string(a) + string(b) + string(c) + string(g) + string(m) + '|' +"
                "  string(external_call0(a)) + '|' + string(external_call1(b, 4.25)) + '|' +"
                "  string(external_call(c, 1, 2, 3, 4)) + '|' + external_call1(g, 'you') + '|' +"
                "  external_call(m, 'x', 2, 'y', 3) + '|' + string(external_call(b))")),
            "'01234|42|8.50|4321|hello, you|x:2:y:3|0'");
  EXPECT_FALSE(w.rt.code.report.occurred);
}

TEST_F(ExternalCalls, FreedLibraryIsLoadedAgainByANewDefinition) {
  EXPECT_EQ(pxtest::Show(Run("global.a = external_define0('pxtestlib.dll', 'px_count', 0);"
                             "return string(external_call0(global.a)) +"
                             "  string(external_call0(global.a))")),
            "'12'");
  EXPECT_EQ(pxtest::Show(Run("external_free('PXTESTLIB.dll');"
                             "b = external_define0('pxtestlib.dll', 'px_count', 0);"
                             "return string(b) + ' ' + string(external_call0(global.a)) + ' ' +"
                             "  string(external_call0(b))")),
            "'1 0 1'");
}

TEST_F(ExternalCalls, RefusedDefinitionsReportAndGiveMinusOne) {
  const struct {
    const char* code;
    const char* message;
  } cases[] = {
      {"external_define('pxtestlib.dll', 'px_twice', 0, 0)",
       "Wrong number of arguments to external_define()"},
      {"external_define('pxtestlib.dll', 'px_twice', 0, 0, 2, 0)",
       "Wrong number of arguments to external_define()"},
      {"external_define('pxtestlib.dll', 'px_weigh16', 0, 0, 6, 0, 0, 0, 1, 0, 0)",
       "DLL functions with more than 4 arguments cannot have string arguments"},
      {"external_define('pxtestlib.dll', 'px_no_export', 0, 0, 0)",
       "Error defining an external function."},
      {"external_define2('missing.dll', 'f', 0, 0, 0)", "Error defining an external function."},
      {"external_define8('pxtestlib.dll', 'px_no_export', 0)",
       "Error defining an external function."},
  };
  for (const auto& c : cases) {
    w.rt.code.report.last.clear();
    EXPECT_EQ(pxtest::Show(Run(std::string("return ") + c.code)), "-1") << c.code;
    EXPECT_EQ(LastError(), c.message) << c.code;
  }
}

TEST_F(ExternalCalls, MissingLibraryTellsWhichFilesWereTried) {
  std::ostringstream err;
  std::streambuf* saved = std::cerr.rdbuf(err.rdbuf());
  Run("external_define0('Helper.dll', 'f', 0)");
  std::cerr.rdbuf(saved);
  EXPECT_EQ(LastError(), "Error defining an external function.");
  for (const fs::path& tried : {dir.path() / "Helper.so", dir.path() / "libHelper.so"})
    EXPECT_NE(err.str().find(tried.string()), std::string::npos) << err.str();
  EXPECT_NE(err.str().find(" libhelper.so"), std::string::npos) << err.str();
}

TEST_F(ExternalCalls, SecureModeRefusesEveryFunction) {
  const std::int32_t id = static_cast<std::int32_t>(
      Run("return external_define0('pxtestlib.dll', 'px_answer', 0)").real);
  ASSERT_EQ(id, 0);
  w.rt.files.secureMode = true;
  for (const char* code :
       {"return external_define0('pxtestlib.dll', 'px_answer', 0)", "return external_call0(0)",
        "return external_call(0)", "external_free('pxtestlib.dll'); return 0"}) {
    w.rt.code.report.last.clear();
    EXPECT_EQ(Run(code), RValue::FromReal(0)) << code;
    EXPECT_EQ(LastError(), "In secure mode you cannot use DLLs") << code;
  }
  w.rt.files.secureMode = false;
  EXPECT_EQ(Run("return external_call0(0)"), RValue::FromReal(42));
}

}  // namespace
