#include "code/Variable_BuiltIn.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Code_TestSupport.h"
#include "code/Code_Variable.h"

using namespace px;
using pxtest::TestInstance;
using pxtest::TestRun;

TEST(BuiltinVariables, ConnectedGettersReadTheRun) {
  TestRun run;
  Runtime& rt = run.rt;
  rt.flags.gameId = 987654;
  rt.flags.debugFlag = true;
  rt.vars.argumentRelative = true;
  rt.gameFile = "/games/space/game.exe";
  ASSERT_TRUE(rt.tempDir.TryCreate(std::filesystem::temp_directory_path().string()));

  const struct {
    const char* name;
    RValue expected;
  } cases[] = {
      {"game_id", RValue::FromReal(987654)},
      {"debug_mode", RValue::FromReal(1)},
      {"argument_relative", RValue::FromReal(1)},
      {"plexamo_version", RValue::FromReal(800)},
      {"program_directory", RValue::FromString("/games/space")},
      {"temp_directory", RValue::FromString(rt.tempDir.path())},
      {"working_directory", RValue::FromString(std::filesystem::current_path().string())},
  };
  TestInstance self{100001, 0};
  VarScope scope{&self, &self, {}};
  for (const auto& c : cases) {
    RValue out;
    EXPECT_EQ(ReadVariable(rt, scope, kSelf, FindBuiltinVariable(c.name), 0, out), VarStatus::Ok)
        << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
  EXPECT_FALSE(rt.tempDir.path().empty());
}

TEST(BuiltinVariables, ProgramDirectoryHasNoTrailingSlash) {
  TestRun run;
  TestInstance self{100001, 0};
  VarScope scope{&self, &self, {}};
  const struct {
    const char* gameFile;
    const char* expected;
  } cases[] = {{"/game.exe", ""}, {"/a/b/game.exe", "/a/b"}, {"", ""}};
  for (const auto& c : cases) {
    run.rt.gameFile = c.gameFile;
    RValue out;
    ReadVariable(run.rt, scope, kSelf, FindBuiltinVariable("program_directory"), 0, out);
    EXPECT_EQ(out.str(), c.expected) << c.gameFile;
  }
}

TEST(BuiltinVariables, BooleanFieldsTakeTheRoundedValue) {
  const struct {
    double in;
    bool out;
  } cases[] = {{0.5, false}, {0.6, true}, {1.5, true}, {2.5, true}, {-3, false}, {0.49, false}};
  for (const auto& c : cases) EXPECT_EQ(ValueAsBool(RValue::FromReal(c.in)), c.out) << c.in;
}
