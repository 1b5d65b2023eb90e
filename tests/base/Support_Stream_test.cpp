#include "base/Support_Stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include "base/BM32_Bitmap.h"

using namespace px;

namespace {

CStream Ints(std::initializer_list<std::int32_t> values) {
  CStream s;
  for (auto v : values) StreamWriteInt(s, v);
  s.seek(0);
  return s;
}

}  // namespace

TEST(Stream, BoolIsTrueOnlyAboveZero) {
  CStream s = Ints({-1, 0, 1, 2, INT32_MIN});
  EXPECT_FALSE(StreamReadBool(s));
  EXPECT_FALSE(StreamReadBool(s));
  EXPECT_TRUE(StreamReadBool(s));
  EXPECT_TRUE(StreamReadBool(s));
  EXPECT_FALSE(StreamReadBool(s));
}

TEST(Stream, NonPositiveLengthsConsumeOnlyTheLength) {
  for (std::int32_t n : {0, -5}) {
    SCOPED_TRACE(n);
    CStream s = Ints({n, 77});
    EXPECT_EQ(StreamReadString(s), "");
    EXPECT_EQ(StreamReadInt(s), 77);
    s.seek(0);
    EXPECT_EQ(StreamReadBlock(s).size(), 0u);
    EXPECT_EQ(StreamReadInt(s), 77);
    s.seek(0);
    EXPECT_EQ(StreamReadCompressedBlock(s).size(), 0u);
    EXPECT_EQ(StreamReadInt(s), 77);
  }
}

TEST(Stream, PrimitivesRoundTripLittleEndian) {
  CStream s;
  StreamWriteInt(s, 0x01020304);
  StreamWriteReal(s, -2.5);
  StreamWriteBool(s, true);
  StreamWriteString(s, std::string("a\0b", 3));
  const std::uint8_t raw[] = {9, 8, 7};
  StreamWriteBlock(s, raw);
  EXPECT_EQ(s.bytes()[0], 0x04);
  EXPECT_EQ(s.bytes()[3], 0x01);
  s.seek(0);
  EXPECT_EQ(StreamReadInt(s), 0x01020304);
  EXPECT_EQ(StreamReadReal(s), -2.5);
  EXPECT_TRUE(StreamReadBool(s));
  EXPECT_EQ(StreamReadString(s), std::string("a\0b", 3));
  CStream block = StreamReadBlock(s);
  EXPECT_EQ(block.bytes(), std::vector<std::uint8_t>({9, 8, 7}));
  EXPECT_EQ(block.position(), 0u);
  EXPECT_EQ(s.remaining(), 0u);
}

TEST(Stream, ShortReadsThrowAndLeaveThePosition) {
  CStream s = Ints({1});
  s.seek(1);
  EXPECT_THROW(StreamReadInt(s), StreamError);
  EXPECT_EQ(s.position(), 1u);
  CStream longString = Ints({10, 0});
  EXPECT_THROW(StreamReadString(longString), StreamError);
  CStream empty;
  EXPECT_THROW(StreamReadReal(empty), StreamError);
  EXPECT_THROW(StreamReadBool(empty), StreamError);
}

TEST(Stream, CompressedBlockRoundTrip) {
  std::vector<std::uint8_t> data(200000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 % 251);
  CStream s;
  StreamWriteCompressedBlock(s, data);
  StreamWriteInt(s, 5);
  s.seek(0);
  CStream plain = StreamReadCompressedBlock(s);
  EXPECT_EQ(plain.bytes(), data);
  EXPECT_EQ(plain.position(), 0u);
  EXPECT_EQ(StreamReadInt(s), 5);
}

TEST(Stream, BrokenCompressedBlocksAreStreamErrors) {
  const std::vector<std::uint8_t> data(5000, 42);
  CStream good;
  StreamWriteCompressedBlock(good, data);
  const std::vector<std::uint8_t> stored(good.bytes().begin() + 4, good.bytes().end());

  std::vector<std::vector<std::uint8_t>> cases;
  cases.emplace_back(stored.begin(), stored.end() - 6);  // cut short
  cases.push_back(stored);
  cases.back()[0] = 0x00;  // not a zlib header
  cases.push_back(stored);
  cases.back()[stored.size() - 1] ^= 0xFF;  // Adler-32 mismatch
  cases.push_back({0x78});                  // a header byte alone
  for (const auto& bytes : cases) {
    CStream s;
    StreamWriteBlock(s, bytes);
    s.seek(0);
    EXPECT_THROW(StreamReadCompressedBlock(s), StreamError);
  }
}

// Zeros deflate about a thousand to one: the stream of `count` zero bytes,
// made piece by piece so the plain data never exists at once.
std::vector<std::uint8_t> DeflatedZeros(std::size_t count) {
  z_stream z{};
  EXPECT_EQ(deflateInit(&z, Z_BEST_SPEED), Z_OK);
  const std::vector<std::uint8_t> zeros(std::size_t{1} << 20, 0);
  std::vector<std::uint8_t> out;
  std::vector<std::uint8_t> chunk(std::size_t{1} << 16);
  std::size_t left = count;
  int flush = Z_NO_FLUSH;
  do {
    const std::size_t n = std::min(left, zeros.size());
    left -= n;
    flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = const_cast<Bytef*>(zeros.data());
    z.avail_in = static_cast<uInt>(n);
    do {
      z.next_out = chunk.data();
      z.avail_out = static_cast<uInt>(chunk.size());
      deflate(&z, flush);
      out.insert(out.end(), chunk.data(), chunk.data() + (chunk.size() - z.avail_out));
    } while (z.avail_out == 0);
  } while (flush != Z_FINISH);
  deflateEnd(&z);
  return out;
}

TEST(Stream, ABlockInflatingPastTheLimitIsRefused) {
  // A megabyte of game data that would inflate to more than a gigabyte.
  CStream s;
  StreamWriteBlock(s, DeflatedZeros(kMaxInflatedBytes + 1));
  s.seek(0);
  try {
    StreamReadCompressedBlock(s);
    FAIL() << "the block inflated";
  } catch (const StreamError& e) {
    EXPECT_STREQ(e.what(), "zlib: compressed block inflates beyond its limit");
  }
}

TEST(Stream, BitmapFieldAbsentPresentAndUndecodable) {
  TBitmap32 image(3, 2);
  image.SetPixel(2, 1, 0xFF123456);
  image.SetPixel(0, 0, 0x80FFFFFF);
  const std::uint8_t junk[] = {'B', 'M', 1, 2, 3};
  CStream s;
  StreamWriteBitmap(s, nullptr);
  StreamWriteBitmap(s, &image);
  StreamWriteBitmapBytes(s, junk);
  StreamWriteInt(s, 99);
  s.seek(0);
  EXPECT_FALSE(StreamReadBitmap(s).has_value());
  auto read = StreamReadBitmap(s);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, image);
  EXPECT_FALSE(StreamReadBitmap(s).has_value());
  EXPECT_EQ(StreamReadInt(s), 99);  // the undecodable one was still skipped
}

TEST(Stream, HexText) {
  CStream s;
  HexToStream(s, "0aFF");
  EXPECT_EQ(s.bytes(), std::vector<std::uint8_t>({0x0A, 0xFF}));
  EXPECT_EQ(s.position(), 0u);
  EXPECT_EQ(StreamToHex(s), "0AFF");
  HexToStream(s, "123");  // a trailing odd character is ignored
  EXPECT_EQ(s.bytes(), std::vector<std::uint8_t>({0x12}));
  EXPECT_THROW(HexToStream(s, "12zz"), ConversionError);
  HexToStream(s, "");
  EXPECT_EQ(s.size(), 0u);
}
