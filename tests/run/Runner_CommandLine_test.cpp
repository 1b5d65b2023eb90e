#include "run/Runner_CommandLine.h"

#include <gtest/gtest.h>

using namespace px;

TEST(CommandLine, OptionsStopAtTheGameFile) {
  const CommandLine cl =
      ParseCommandLine({"--headless", "--max-steps", "30", "game.exe", "--headless", "x"});
  EXPECT_TRUE(cl.error.empty());
  EXPECT_TRUE(cl.headless);
  EXPECT_EQ(cl.maxSteps, 30);
  EXPECT_EQ(cl.gameFile, "game.exe");
  EXPECT_EQ(cl.gameArguments, (std::vector<std::string>{"--headless", "x"}));
}

TEST(CommandLine, Errors) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--headless"},
      {"--bogus", "game.exe"},
      {"--max-steps"},
      {"--max-steps", "ten", "game.exe"},
      {"--max-steps", "-1", "game.exe"},
      {"--max-steps=5x", "game.exe"},
      {"--screenshot"},
      {"--screenshot=", "game.exe"},
      {"--input=", "game.exe"},
      {"--time-limit"},
      {"--time-limit", "0", "game.exe"},
      {"--time-limit=-1", "game.exe"},
      {"--time-limit=inf", "game.exe"},
      {"--time-limit", "2s", "game.exe"},
      {"--answers", "game.exe"},
  };
  for (const auto& args : bad) EXPECT_FALSE(ParseCommandLine(args).error.empty()) << args.size();
}

TEST(CommandLine, FileOptionsTakeTheNextArgumentOrTheirValue) {
  const CommandLine cl = ParseCommandLine(
      {"--screenshot", "last.png", "--input=keys.txt", "--answers", "a.txt", "game.exe"});
  EXPECT_TRUE(cl.error.empty());
  EXPECT_EQ(cl.screenshotFile, "last.png");
  EXPECT_EQ(cl.inputFile, "keys.txt");
  EXPECT_EQ(cl.answersFile, "a.txt");
  EXPECT_EQ(cl.gameFile, "game.exe");
  EXPECT_EQ(ParseCommandLine({"--screenshot=a.png", "g"}).screenshotFile, "a.png");
}

TEST(CommandLine, DoubleDashEndsOptions) {
  const CommandLine cl = ParseCommandLine({"--max-steps=7", "--", "--weird-name"});
  EXPECT_TRUE(cl.error.empty());
  EXPECT_EQ(cl.maxSteps, 7);
  EXPECT_EQ(cl.gameFile, "--weird-name");
}

TEST(CommandLine, TimeLimitInSeconds) {
  EXPECT_EQ(ParseCommandLine({"--time-limit", "2.5", "g"}).timeLimit, 2.5);
  EXPECT_EQ(ParseCommandLine({"--time-limit=30", "g"}).timeLimit, 30.0);
  EXPECT_FALSE(ParseCommandLine({"g"}).timeLimit.has_value());
}

TEST(CommandLine, RunnerItselfHoldsNoGame) {
  EXPECT_TRUE(ElfImageSize(PXRUN_BINARY).has_value());
  EXPECT_FALSE(HoldsBundledGame(PXRUN_BINARY));
}
