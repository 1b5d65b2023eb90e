#include "runner/Runner_Scramble.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace px {

static void SkipInts(CStream& s, std::int32_t count) {
  if (count > 0) s.skip(static_cast<std::size_t>(count) * 4);
}

CStream UnscrambleGameData(CStream& source) {
  const std::int32_t skip1 = StreamReadInt(source);
  const std::int32_t skip2 = StreamReadInt(source);
  SkipInts(source, skip1);
  ByteTable table;
  source.readBytes(table.data(), table.size());
  SkipInts(source, skip2);

  ByteTable inverse;
  for (int i = 0; i < 256; ++i) inverse[table[i]] = static_cast<std::uint8_t>(i);

  const std::int32_t length = StreamReadInt(source);
  const auto stored = source.take(length > 0 ? static_cast<std::size_t>(length) : 0);
  const std::size_t n = stored.size();
  std::vector<std::uint8_t> b(n);
  if (n == 0) return CStream(std::move(b));

  // First pass, copying as it goes: each byte depends only on its own
  // stored value and the stored value before it.
  b[0] = stored[0];
  for (std::size_t i = 1; i < n; ++i)
    b[i] = static_cast<std::uint8_t>(inverse[stored[i]] - stored[i - 1] - i);
  // Second pass, downwards: swaps with a byte at most 255 places back. From
  // 255 up the partner never needs clamping to 0; the loop without the clamp
  // runs about twice as fast.
  std::uint8_t* p = b.data();
  const std::size_t low = std::min<std::size_t>(n, 255);
  for (std::size_t i = n; i-- > low;) std::swap(p[i], p[i - table[i & 255]]);
  for (std::size_t i = low; i-- > 0;) std::swap(p[i], p[i >= table[i] ? i - table[i] : 0]);
  return CStream(std::move(b));
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
