// Large chunks are inflated in batches, partly on a second thread; what the
// reader reports must not depend on that.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "run/Runtime.h"
#include "support/TestSupport.h"

using namespace px;

namespace {

// Eight backgrounds of noise: about 2 MB that does not compress, enough to
// be inflated in parallel.
ResourceList<CBackground> NoisyBackgrounds() {
  ResourceList<CBackground> list;
  std::mt19937 rng(5);
  for (int i = 0; i < 8; ++i) {
    CBackground background;
    background.image = TBitmap32(256, 256);
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) background.image.SetPixel(x, y, rng() | 0xFF000000u);
    list.add("bg" + std::to_string(i), std::move(background));
  }
  return list;
}

// Where each slot's compressed data starts in a stored chunk.
std::vector<std::size_t> BlockStarts(const std::vector<std::uint8_t>& chunk) {
  CStream s{std::vector<std::uint8_t>(chunk)};
  s.seek(4);
  std::vector<std::size_t> starts(static_cast<std::size_t>(StreamReadInt(s)));
  for (std::size_t& start : starts) {
    start = s.position() + 4;
    s.skip(static_cast<std::size_t>(StreamReadInt(s)));
  }
  return starts;
}

// The chunk as stored, with the background record of one slot given
// another version.
std::vector<std::uint8_t> Chunk(const ResourceList<CBackground>& list, int badVersionSlot = -1) {
  CStream s;
  StreamWriteInt(s, kResourceChunkVersion);
  StreamWriteInt(s, list.count());
  for (int i = 0; i < list.count(); ++i) {
    CStream record;
    StreamWriteBool(record, true);
    StreamWriteString(record, list.name(i));
    const std::size_t versionAt = record.position();
    list.get(i)->WriteToStream(record);
    if (i == badVersionSlot) {
      record.seek(versionAt);
      StreamWriteInt(record, 711);
    }
    StreamWriteCompressedBlock(s, record.bytes());
  }
  return s.release();
}

struct Outcome {
  bool threw = false;
  bool ok = false;
  int slotsRead = 0;
};

Outcome Read(const std::vector<std::uint8_t>& bytes) {
  std::ostringstream out;
  auto platform = CreateHeadlessPlatform(out);
  Runtime rt(*platform);
  CStream s{std::vector<std::uint8_t>(bytes)};
  Outcome o;
  try {
    o.ok = LoadBackgrounds(rt.resources, s);
  } catch (const StreamError&) {
    o.threw = true;
  }
  for (int i = 0; i < rt.resources.backgrounds.count(); ++i)
    o.slotsRead += rt.resources.backgrounds.exists(i);
  return o;
}

}  // namespace

TEST(ChunkBatches, ParallelInflationKeepsOrderAndFailures) {
  const auto list = NoisyBackgrounds();
  const auto good = Chunk(list);
  {
    CStream s{std::vector<std::uint8_t>(good)};
    ResourceList<CBackground> back;
    ASSERT_TRUE(ReadResourceChunk(s, back));
    EXPECT_EQ(back, list);
    EXPECT_EQ(s.remaining(), 0u);
  }
  auto damaged = [](std::vector<std::uint8_t> bytes, int slot) {
    bytes[BlockStarts(bytes)[slot] + 100] ^= 0xFF;  // inside the deflate data
    return bytes;
  };

  // A damaged block fails where it stands: the slots before it are read.
  const Outcome corrupt = Read(damaged(good, 5));
  EXPECT_TRUE(corrupt.threw);
  EXPECT_EQ(corrupt.slotsRead, 5);
  // A bad record before a damaged block wins: the chunk is refused without
  // a stream error.
  const Outcome badFirst = Read(damaged(Chunk(list, 1), 6));
  EXPECT_FALSE(badFirst.threw);
  EXPECT_FALSE(badFirst.ok);
  // Cut inside the last block: a short read once the others are read.
  const Outcome cut = Read(std::vector<std::uint8_t>(good.begin(), good.end() - 10));
  EXPECT_TRUE(cut.threw);
  EXPECT_EQ(cut.slotsRead, 7);
}
