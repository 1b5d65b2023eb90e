#include "resources/Resource_Scramble.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace px {

static void SkipInts(CStream& s, std::int32_t count) {
  if (count > 0) s.skip(static_cast<std::size_t>(count) * 4);
}

namespace {

struct ScrambledBlock {
  ByteTable table;
  ByteTable inverse;
  std::span<const std::uint8_t> stored;
};

// Reads the block's header and moves the source past its data.
ScrambledBlock ReadScrambledBlock(CStream& source) {
  ScrambledBlock block;
  const std::int32_t skip1 = StreamReadInt(source);
  const std::int32_t skip2 = StreamReadInt(source);
  SkipInts(source, skip1);
  source.readBytes(block.table.data(), block.table.size());
  SkipInts(source, skip2);
  for (int i = 0; i < 256; ++i) block.inverse[block.table[i]] = static_cast<std::uint8_t>(i);
  const std::int32_t length = StreamReadInt(source);
  block.stored = source.take(length > 0 ? static_cast<std::size_t>(length) : 0);
  return block;
}

// The second pass, downwards: byte i is exchanged with byte
// max(0, i - table[i mod 256]). From i = 256 up the partner is never clamped,
// so the 256 exchanges of each whole block [256b, 256b + 256) form one fixed
// permutation of the 512 bytes [256(b - 1), 256(b + 1)). Applying that
// permutation as a table gather, block by block, avoids the chain of
// dependent exchanges and runs about a third faster.
void UndoSwaps(const ByteTable& t, std::uint8_t* out, std::size_t n) {
  auto swapAt = [&](std::size_t i) {
    const std::size_t back = t[i & 255];
    std::swap(out[i], out[i >= back ? i - back : 0]);
  };
  const std::size_t blocks = n / 256;  // whole blocks
  if (blocks < 2) {
    for (std::size_t i = n; i-- > 0;) swapAt(i);
    return;
  }
  // The partial block at the top, if any.
  for (std::size_t i = n; i-- > blocks * 256;) swapAt(i);

  // source[k]: the window position whose byte ends at position k.
  std::array<std::uint16_t, 512> source;
  for (std::uint16_t k = 0; k < 512; ++k) source[k] = k;
  for (int k = 255; k >= 0; --k) std::swap(source[256 + k], source[256 + k - t[k]]);

  // Blocks b and b - 1 lie next to each other in `out`: gather the window,
  // then write it back, block b final and block b - 1 ready for its own step.
  std::uint8_t next[512];
  for (std::size_t b = blocks - 1; b >= 1; --b) {
    std::uint8_t* window = out + (b - 1) * 256;
    for (int k = 0; k < 512; ++k) next[k] = window[source[k]];
    std::memcpy(window, next, 512);
  }
  for (std::size_t i = 256; i-- > 0;) swapAt(i);
}

// Both passes. `out` is a buffer of its own, or lies at least 256 bytes
// before `stored` in the same buffer: the first pass runs forwards in
// chunks of 256 and reads every stored byte it needs before anything is
// written over it.
void DecodeInto(const ScrambledBlock& block, const std::uint8_t* stored, std::uint8_t* out) {
  const std::size_t n = block.stored.size();
  if (n == 0) return;
  // Each byte depends on its own stored value and the stored value before
  // it. The table look-ups go first; the subtractions then run over the
  // chunk as one simple loop that the compiler vectorises.
  out[0] = stored[0];
  for (std::size_t chunk = 1; chunk < n; chunk += 256) {
    const std::size_t end = std::min(n, chunk + 256);
    for (std::size_t i = chunk; i < end; ++i) out[i] = block.inverse[stored[i]];
    for (std::size_t i = chunk; i < end; ++i)
      out[i] = static_cast<std::uint8_t>(out[i] - stored[i - 1] - i);
  }
  UndoSwaps(block.table, out, n);
}

}  // namespace

CStream UnscrambleGameData(CStream& source) {
  const ScrambledBlock block = ReadScrambledBlock(source);
  std::vector<std::uint8_t> plain(block.stored.size());
  DecodeInto(block, block.stored.data(), plain.data());
  return CStream(std::move(plain));
}

CStream UnscrambleGameDataInPlace(CStream&& source) {
  const ScrambledBlock block = ReadScrambledBlock(source);
  // The data follows at least the 256-byte table in the same buffer.
  const std::size_t offset = static_cast<std::size_t>(block.stored.data() - source.data());
  std::vector<std::uint8_t> bytes = source.release();
  DecodeInto(block, bytes.data() + offset, bytes.data());
  bytes.resize(block.stored.size());
  return CStream(std::move(bytes));
}

void WriteScrambledGameData(CStream& out, std::span<const std::uint8_t> plain,
                            const ScrambleLayout& layout) {
  StreamWriteInt(out, layout.skip1);
  StreamWriteInt(out, layout.skip2);
  for (std::int32_t i = 0; i < layout.skip1; ++i) StreamWriteInt(out, 0x5A5A5A5A ^ i);
  out.writeBytes(layout.table.data(), layout.table.size());
  for (std::int32_t i = 0; i < layout.skip2; ++i) StreamWriteInt(out, 0x3C3C3C3C ^ i);

  std::vector<std::uint8_t> d(plain.begin(), plain.end());
  const std::size_t n = d.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t back = layout.table[i & 255];
    std::swap(d[i], d[i >= back ? i - back : 0]);
  }
  // c[i] depends on c[i-1], the already scrambled previous byte.
  for (std::size_t i = 1; i < n; ++i)
    d[i] = layout.table[static_cast<std::uint8_t>(d[i] + d[i - 1] + i)];
  StreamWriteBlock(out, d);
}

ByteTable MakePermutationTable(std::uint32_t seed) {
  ByteTable t;
  for (int i = 0; i < 256; ++i) t[i] = static_cast<std::uint8_t>(i);
  std::uint32_t state = seed * 2654435761u + 1;
  for (int i = 255; i > 0; --i) {
    state = state * 1664525u + 1013904223u;
    std::swap(t[i], t[(state >> 8) % static_cast<std::uint32_t>(i + 1)]);
  }
  return t;
}

SubstitutionTables BuildSubstitutionTables(std::int32_t seed) {
  // C++ '%' and '/' truncate towards zero, keeping the sign of the dividend.
  std::int32_t a = seed % 250 + 6;
  if (a < 0) a += 256;
  std::int32_t b = seed / 250;
  if (b < 0) b += 256;
  SubstitutionTables t;
  for (int k = 0; k < 256; ++k) t.forward[k] = t.inverse[k] = static_cast<std::uint8_t>(k);
  for (std::int32_t i = 1; i <= 10000; ++i) {
    // i * a + b stays far inside int32 (a < 256, |b| < 2^24).
    const std::int32_t j = (i * a + b) % 254 + 1;
    if (j < 1 || j > 254) throw StreamError("scrambling seed out of range");
    std::swap(t.forward[j], t.forward[j + 1]);
  }
  for (int k = 1; k < 256; ++k) t.inverse[t.forward[k]] = static_cast<std::uint8_t>(k);
  return t;
}

static void SubstituteRange(CStream& s, const ByteTable& table, std::size_t start,
                            std::int64_t count) {
  if (start >= s.size()) return;
  std::size_t end = s.size();
  if (count > 0) end = std::min<std::size_t>(end, start + static_cast<std::size_t>(count));
  for (std::size_t p = start; p < end; ++p) s.data()[p] = table[s.data()[p]];
}

void DescrambleRange(CStream& s, std::int32_t seed, std::size_t start, std::int64_t count) {
  SubstituteRange(s, BuildSubstitutionTables(seed).inverse, start, count);
}

void ScrambleRange(CStream& s, std::int32_t seed, std::size_t start, std::int64_t count) {
  SubstituteRange(s, BuildSubstitutionTables(seed).forward, start, count);
}

}  // namespace px
