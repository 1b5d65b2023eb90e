// The two scrambling schemes of the game data: the permutation-table scheme
// of the main block and the seeded substitution used for extension data.
#pragma once

#include <array>
#include <cstdint>

#include "base/Support_Stream.h"

namespace px {

using ByteTable = std::array<std::uint8_t, 256>;

// Reads a scrambled block (filler counts, table, filler, length, data) and
// returns its plain bytes; the source is left just after the data.
CStream UnscrambleGameData(CStream& source);
// The same, decoding within the source's own buffer (no second copy of a
// large block); the source is left empty.
CStream UnscrambleGameDataInPlace(CStream&& source);

struct ScrambleLayout {
  ByteTable table{};       // a permutation of 0..255
  std::int32_t skip1 = 0;  // filler ints before the table (negative: none)
  std::int32_t skip2 = 0;  // filler ints after the table (negative: none)
};
// The inverse of UnscrambleGameData: writes the whole scrambled block.
void WriteScrambledGameData(CStream& out, std::span<const std::uint8_t> plain,
                            const ScrambleLayout& layout);
// The identity permutation shuffled by a simple generator of the given seed.
ByteTable MakePermutationTable(std::uint32_t seed);

struct SubstitutionTables {
  ByteTable forward{};  // F
  ByteTable inverse{};  // G
};
// Throws StreamError for a seed so negative that the swap index would leave
// the table (below -64,000 or so); such data is rejected.
SubstitutionTables BuildSubstitutionTables(std::int32_t seed);
// Replaces each byte in [start, start + count) by G of it; count <= 0 means
// up to the end of the stream.
void DescrambleRange(CStream& s, std::int32_t seed, std::size_t start, std::int64_t count);
// The inverse (each byte replaced by F of it), for writing such data.
void ScrambleRange(CStream& s, std::int32_t seed, std::size_t start, std::int64_t count);

}  // namespace px
