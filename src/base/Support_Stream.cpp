#include "base/Support_Stream.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <thread>

#include "base/BM32_Bitmap.h"
#include "base/Support_Inflate.h"

namespace px {

static_assert(std::endian::native == std::endian::little,
              "stored values are little-endian and read by plain copies");

void CStream::readBytes(void* out, std::size_t n) {
  auto view = take(n);
  if (n != 0) std::memcpy(out, view.data(), n);
}

std::span<const std::uint8_t> CStream::take(std::size_t n) {
  if (n > remaining()) throw StreamError("Stream read error");
  std::span<const std::uint8_t> view(bytes_.data() + pos_, n);
  pos_ += n;
  return view;
}

void CStream::writeBytes(const void* in, std::size_t n) {
  if (n == 0) return;
  if (pos_ + n > bytes_.size()) bytes_.resize(pos_ + n);
  std::memcpy(bytes_.data() + pos_, in, n);
  pos_ += n;
}

std::int32_t StreamReadInt(CStream& s) {
  std::int32_t v;
  s.readBytes(&v, sizeof v);
  return v;
}

double StreamReadReal(CStream& s) {
  double v;
  s.readBytes(&v, sizeof v);
  return v;
}

bool StreamReadBool(CStream& s) {
  return StreamReadInt(s) > 0;
}

std::string StreamReadString(CStream& s) {
  const std::int32_t n = StreamReadInt(s);
  if (n <= 0) return {};
  auto view = s.take(static_cast<std::size_t>(n));
  return std::string(reinterpret_cast<const char*>(view.data()), view.size());
}

CStream StreamReadBlock(CStream& s) {
  const std::int32_t n = StreamReadInt(s);
  if (n <= 0) return {};
  auto view = s.take(static_cast<std::size_t>(n));
  return CStream(std::vector<std::uint8_t>(view.begin(), view.end()));
}

CStream StreamReadCompressedBlock(CStream& s) {
  const std::int32_t n = StreamReadInt(s);
  if (n <= 0) return {};
  return CStream(Inflate(s.take(static_cast<std::size_t>(n))));
}

std::optional<TBitmap32> StreamReadBitmap(CStream& s) {
  if (!StreamReadBool(s)) return std::nullopt;
  CStream file = StreamReadCompressedBlock(s);
  return TBitmap32::FromBMP(file.bytes());
}

void StreamWriteInt(CStream& s, std::int32_t v) {
  s.writeBytes(&v, sizeof v);
}
void StreamWriteReal(CStream& s, double v) {
  s.writeBytes(&v, sizeof v);
}
void StreamWriteBool(CStream& s, bool v) {
  StreamWriteInt(s, v ? 1 : 0);
}

void StreamWriteString(CStream& s, std::string_view v) {
  StreamWriteInt(s, static_cast<std::int32_t>(v.size()));
  s.writeBytes(v.data(), v.size());
}

void StreamWriteBlock(CStream& s, std::span<const std::uint8_t> bytes) {
  StreamWriteInt(s, static_cast<std::int32_t>(bytes.size()));
  s.writeBytes(bytes.data(), bytes.size());
}

void StreamWriteCompressedBlock(CStream& s, std::span<const std::uint8_t> bytes, int level) {
  StreamWriteBlock(s, Deflate(bytes, level));
}

void StreamWriteBitmap(CStream& s, const TBitmap32* bitmap) {
  StreamWriteBool(s, bitmap != nullptr);
  if (bitmap) StreamWriteCompressedBlock(s, bitmap->ToBMP());
}

void StreamWriteBitmapBytes(CStream& s, std::span<const std::uint8_t> bmpFile) {
  StreamWriteBool(s, true);
  StreamWriteCompressedBlock(s, bmpFile);
}

std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> compressed) {
  return InflateAtMost(compressed, kMaxInflatedBytes);
}

std::vector<std::uint8_t> InflateAtMost(std::span<const std::uint8_t> compressed,
                                        std::size_t limit) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw StreamError("zlib: cannot start inflating");
  std::vector<std::uint8_t> out;
  // Resource data usually inflates to a few times its size: start there and
  // double when it is not enough, so large blocks see few reallocations.
  std::size_t room = std::max<std::size_t>(
      32768, std::min<std::size_t>(compressed.size() * 4, std::size_t{1} << 30));
  z.next_in = const_cast<Bytef*>(compressed.data());
  std::size_t inLeft = compressed.size();
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    if (z.avail_in == 0) {
      if (inLeft == 0) break;  // the input ended before the stream did
      z.avail_in = static_cast<uInt>(std::min<std::size_t>(inLeft, 1u << 30));
      inLeft -= z.avail_in;
    }
    // The size grows in steps of half what is there, so little more than the
    // output itself is ever cleared before inflate overwrites it.
    const std::size_t had = out.size();
    // Never more than one byte past the limit: enough to see it overrun.
    if (had == out.capacity())
      out.reserve(std::min(std::max(room, 2 * had), limit < SIZE_MAX ? limit + 1 : limit));
    const std::size_t space = std::min<std::size_t>(
        {out.capacity() - had, std::max<std::size_t>(65536, had / 2), std::size_t{1} << 30});
    out.resize(had + space);
    z.next_out = out.data() + had;
    z.avail_out = static_cast<uInt>(space);
    rc = inflate(&z, Z_NO_FLUSH);
    out.resize(had + space - z.avail_out);
    if (out.size() > limit) break;
    if (rc == Z_BUF_ERROR && z.avail_in == 0 && inLeft == 0) break;  // cut short
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) break;
  }
  inflateEnd(&z);
  if (out.size() > limit) throw StreamError("zlib: compressed block inflates beyond its limit");
  if (rc != Z_STREAM_END) throw StreamError("zlib: corrupt or truncated compressed block");
  return out;
}

CompressedBlocks TakeCompressedBlocks(CStream& s, std::size_t maxBlocks, std::size_t maxBytes) {
  CompressedBlocks found;
  std::size_t bytes = 0;
  while (found.blocks.size() < maxBlocks && (found.blocks.empty() || bytes < maxBytes)) {
    const std::size_t at = s.position();
    if (s.remaining() < 4) {
      found.shortRead = true;
      break;
    }
    const std::int32_t n = StreamReadInt(s);
    const std::size_t size = n > 0 ? static_cast<std::size_t>(n) : 0;
    if (size > s.remaining()) {
      s.seek(at);  // the caller's own read of this block raises the error
      found.shortRead = true;
      break;
    }
    found.blocks.push_back(s.take(size));
    bytes += size;
  }
  return found;
}

namespace {

void InflateRange(const std::vector<std::span<const std::uint8_t>>& blocks,
                  std::vector<InflatedBlock>& out, std::size_t first, std::size_t step) {
  for (std::size_t i = first; i < blocks.size(); i += step) {
    if (blocks[i].empty()) continue;  // an empty block is an empty stream
    try {
      out[i].stream = CStream(Inflate(blocks[i]));
    } catch (...) {
      out[i].error = std::current_exception();
    }
  }
}

}  // namespace

std::vector<InflatedBlock> InflateAll(const std::vector<std::span<const std::uint8_t>>& blocks) {
  std::vector<InflatedBlock> out(blocks.size());
  std::size_t total = 0;
  for (const auto& b : blocks) total += b.size();
  // Below this much compressed data a thread costs more than it saves.
  constexpr std::size_t kParallelBytes = std::size_t{1} << 20;
  if (blocks.size() < 2 || total < kParallelBytes || std::thread::hardware_concurrency() < 2) {
    InflateRange(blocks, out, 0, 1);
    return out;
  }
  std::thread helper(InflateRange, std::cref(blocks), std::ref(out), 1, 2);
  InflateRange(blocks, out, 0, 2);
  helper.join();
  return out;
}

std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> plain, int level) {
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  std::vector<std::uint8_t> out(size);
  if (compress2(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()), level) != Z_OK)
    throw std::runtime_error("zlib: deflate failed");
  out.resize(size);
  return out;
}

std::string StreamToHex(const CStream& s) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(s.size() * 2, '0');
  for (std::size_t i = 0; i < s.size(); ++i) {
    text[2 * i] = kDigits[s.data()[i] >> 4];
    text[2 * i + 1] = kDigits[s.data()[i] & 15];
  }
  return text;
}

static int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void HexToStream(CStream& s, std::string_view text) {
  s.clear();
  std::vector<std::uint8_t>& bytes = s.bytes();
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const int hi = HexDigit(text[i]);
    const int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0)
      throw ConversionError("'" + std::string(text.substr(i, 2)) +
                            "' is not a valid hexadecimal value");
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  s.seek(0);
}

}  // namespace px
