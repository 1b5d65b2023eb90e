#include "resources/Resource_Scramble.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

using namespace px;

namespace {

std::vector<std::uint8_t> RandomBytes(std::mt19937& rng, std::size_t n) {
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng());
  return v;
}

}  // namespace

TEST(Scramble, RoundTripsAnyBytesWithAnyTable) {
  std::mt19937 rng(7);
  // Besides shuffled tables, the identity (every byte of a 256-block goes
  // to the block's first byte) and the reversal (the largest steps back).
  ByteTable identity, reversed;
  for (int i = 0; i < 256; ++i) {
    identity[i] = static_cast<std::uint8_t>(i);
    reversed[i] = static_cast<std::uint8_t>(255 - i);
  }
  const ByteTable tables[] = {MakePermutationTable(0), MakePermutationTable(1),
                              MakePermutationTable(99), identity, reversed};
  for (std::size_t n :
       {0u, 1u, 2u, 255u, 256u, 257u, 511u, 512u, 513u, 767u, 768u, 1000u, 1024u, 70000u}) {
    for (std::size_t t = 0; t < std::size(tables); ++t) {
      SCOPED_TRACE("n=" + std::to_string(n) + " table=" + std::to_string(t));
      ScrambleLayout layout{tables[t], static_cast<std::int32_t>(t % 3) - 1, 2};
      const auto plain = RandomBytes(rng, n);
      CStream stored;
      WriteScrambledGameData(stored, plain, layout);
      StreamWriteInt(stored, 1234);
      CStream copy(stored.bytes());
      stored.seek(0);
      CStream back = UnscrambleGameData(stored);
      EXPECT_EQ(back.bytes(), plain);
      EXPECT_EQ(back.position(), 0u);
      EXPECT_EQ(StreamReadInt(stored), 1234) << "source left right after the data";
      // Decoding within the source's own buffer gives the same bytes.
      EXPECT_EQ(UnscrambleGameDataInPlace(std::move(copy)).bytes(), plain);
    }
  }
}

TEST(Scramble, SingleByteIsStoredAsIs) {
  ScrambleLayout layout{MakePermutationTable(5), 0, 0};
  const std::uint8_t one[] = {0xAB};
  CStream stored;
  WriteScrambledGameData(stored, one, layout);
  EXPECT_EQ(stored.bytes().back(), 0xAB);
}

TEST(Scramble, IdentityTableStillMixesBytes) {
  ByteTable identity;
  for (int i = 0; i < 256; ++i) identity[i] = static_cast<std::uint8_t>(i);
  const std::vector<std::uint8_t> plain(16, 1);
  CStream stored;
  WriteScrambledGameData(stored, plain, {identity, -4, -1});
  // skip1, skip2, table, length: negative filler counts write no filler.
  ASSERT_EQ(stored.size(), 4 + 4 + 256 + 4 + plain.size());
  EXPECT_NE(std::vector<std::uint8_t>(stored.bytes().end() - 16, stored.bytes().end()), plain);
}

TEST(Substitution, TablesAreInversePermutationsKeepingZero) {
  for (std::int32_t seed : {0, 1, 250, -6, -1, 12345, INT32_MAX, -64000}) {
    SCOPED_TRACE(seed);
    const auto t = BuildSubstitutionTables(seed);
    EXPECT_EQ(t.forward[0], 0);
    for (int k = 0; k < 256; ++k) EXPECT_EQ(t.inverse[t.forward[k]], k);
  }
}

TEST(Substitution, SeedsGiveTheirMultiplierAndOffset) {
  // Seed -6 gives a = 0, b = 0: every swap hits F[1]/F[2], an even number
  // of times, so F stays the identity.
  const auto none = BuildSubstitutionTables(-6);
  for (int k = 0; k < 256; ++k) EXPECT_EQ(none.forward[k], k);
  // Seeds 0 (a = 6, b = 0) and 250 (a = 6, b = 1) differ only by the offset.
  EXPECT_NE(BuildSubstitutionTables(0).forward, BuildSubstitutionTables(250).forward);
  EXPECT_EQ(BuildSubstitutionTables(0).forward, BuildSubstitutionTables(-250 * 256).forward)
      << "b = -256 wraps to 0";
}

TEST(Substitution, SeedsThatWouldIndexOutsideTheTableAreRejected) {
  EXPECT_THROW(BuildSubstitutionTables(-100000), StreamError);
  EXPECT_THROW(BuildSubstitutionTables(INT32_MIN), StreamError);
}

TEST(Substitution, DescrambleRangeCountZeroRunsToTheEnd) {
  std::mt19937 rng(3);
  const auto plain = RandomBytes(rng, 600);
  CStream s{std::vector<std::uint8_t>(plain)};
  ScrambleRange(s, 777, 5, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(s.bytes().begin(), s.bytes().begin() + 5),
            std::vector<std::uint8_t>(plain.begin(), plain.begin() + 5));
  EXPECT_NE(s.bytes(), plain);
  DescrambleRange(s, 777, 5, 0);
  EXPECT_EQ(s.bytes(), plain);

  CStream part{std::vector<std::uint8_t>(plain)};
  DescrambleRange(part, 777, 10, 3);
  for (std::size_t i = 0; i < plain.size(); ++i)
    if (i < 10 || i >= 13) {
      EXPECT_EQ(part.bytes()[i], plain[i]) << i;
    }
}
