// The highscore table's stored form, its registry key and values, and that
// it outlives the run that wrote it.
#include "run/Dialog_Highscore.h"

#include <gtest/gtest.h>

#include "code/Code_TestSupport.h"
#include "platform/Platform_Registry.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;

TEST(Highscore, EncodedForm) {
  // Score 0, name "A", game 0: the first number is 0 + 1.
  EXPECT_EQ(EncodeScore({"A", 0}, 0).substr(0, 2), "AB");
  const std::string text = EncodeScore({"A", 0}, 0);
  EXPECT_EQ(text.size(), 2u * 17);
  // Position 17 holds 'A' (65) + 17 = 82 = 0x52.
  EXPECT_EQ(text.substr(32), "FC");
  // Score 258 = bytes 2, 1: 2 + 1 + 5 = 8, 1 + 2 + 5 = 8.
  EXPECT_EQ(EncodeScore({"", 258}, 5).substr(0, 4), "AIAI");
  // 250 + 1 + 10 wraps to 5.
  EXPECT_EQ(EncodeScore({"", 250}, 10).substr(0, 2), "AF");

  const struct {
    ScoreEntry entry;
    std::int32_t gameId;
  } cases[] = {{{"Ann", 1234}, 0},
               {{"", -5}, 77},
               {{"\xff\x01 x", 2147483647}, -3},
               {{std::string(10000, 'z'), -2147483647 - 1}, 2147483647}};
  for (const auto& c : cases) {
    const std::string encoded = EncodeScore(c.entry, c.gameId);
    EXPECT_EQ(encoded.size(), 2 * (16 + c.entry.name.size()));
    EXPECT_EQ(encoded.find_first_not_of("ABCDEFGHIJKLMNOP"), std::string::npos);
    EXPECT_EQ(DecodeScore(encoded, c.gameId), c.entry) << c.gameId;
  }
  EXPECT_EQ(DecodeScore("ABAB", 0), std::nullopt);
}

TEST(Highscore, StoredUnderTheGameKeyAndKeptAcrossRuns) {
  pxtest::ScratchDir dir;
  const std::string db = (dir / "registry.sqlite").string();
  {
    pxtest::TestRun run;
    run.rt.files.registry.useDatabase(db);
    run.rt.flags.gameId = 42;
    EXPECT_EQ(InsertScore(run.rt, {"Ann", 300}), 1);
    EXPECT_EQ(InsertScore(run.rt, {"Bob", 500}), 1);
    EXPECT_EQ(InsertScore(run.rt, {"Cy", 300}), 3);
    EXPECT_EQ(InsertScore(run.rt, {"Neg", -1}), 0);
  }
  Registry registry(db);
  const auto rank2 = ValueAsString(
      registry.read(RegistryRoot::CurrentUser, "\\Software\\Plexamo\\Scores\\42", "Rank2"));
  ASSERT_TRUE(rank2);
  EXPECT_EQ(*rank2, EncodeScore({"Ann", 300}, 42));

  pxtest::TestRun again;
  again.rt.files.registry.useDatabase(db);
  again.rt.flags.gameId = 42;
  const ScoreTable table = ReadScores(again.rt);
  EXPECT_EQ(table[0], (ScoreEntry{"Bob", 500}));
  EXPECT_EQ(table[1], (ScoreEntry{"Ann", 300}));
  EXPECT_EQ(table[2], (ScoreEntry{"Cy", 300}));
  EXPECT_EQ(table[3], (ScoreEntry{"<nobody>", 0}));
  // Another game has a table of its own.
  again.rt.flags.gameId = 43;
  EXPECT_EQ(ReadScores(again.rt)[0], (ScoreEntry{"<nobody>", 0}));
}

// A value that is not an encoded entry reads as an empty rank.
TEST(Highscore, UnreadableValuesAreEmptyRanks) {
  pxtest::ScratchDir dir;
  pxtest::TestRun run;
  run.rt.files.registry.useDatabase((dir / "registry.sqlite").string());
  const std::string key = HighscoreKey(run.rt.flags.gameId);
  run.rt.files.registry.write(RegistryRoot::CurrentUser, key, "Rank1",
                              {RegistryType::String, "AB"});
  run.rt.files.registry.write(RegistryRoot::CurrentUser, key, "Rank2",
                              {RegistryType::Dword, "1234"});
  const ScoreTable table = ReadScores(run.rt);
  EXPECT_EQ(table[0], (ScoreEntry{"<nobody>", 0}));
  EXPECT_EQ(table[1], (ScoreEntry{"<nobody>", 0}));
}

}  // namespace
