// In-memory byte stream and the primitive encodings every stored record is
// built from: little-endian int32, double, bool, length-prefixed strings,
// raw and zlib-compressed blocks, embedded bitmaps and the hex text form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace px {

class TBitmap32;

// Raised when a read runs past the end of a stream or a compressed block
// does not inflate. Start-up turns it into its "corrupted" message.
class StreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raised by HexToStream for a pair of characters that is not hexadecimal.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A growable byte buffer with a current position. Reads and writes advance
// the position; writing past the end grows the buffer.
class CStream {
 public:
  CStream() = default;
  explicit CStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t size() const { return bytes_.size(); }
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return pos_ < bytes_.size() ? bytes_.size() - pos_ : 0; }
  void seek(std::size_t pos) { pos_ = pos; }
  void clear() {
    bytes_.clear();
    pos_ = 0;
  }

  const std::uint8_t* data() const { return bytes_.data(); }
  std::uint8_t* data() { return bytes_.data(); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t>& bytes() { return bytes_; }
  std::vector<std::uint8_t> release() {
    pos_ = 0;
    return std::move(bytes_);
  }

  // Reads exactly n bytes or throws StreamError (the position is unchanged then).
  void readBytes(void* out, std::size_t n);
  // Returns a view of the next n bytes and moves past them, or throws.
  std::span<const std::uint8_t> take(std::size_t n);
  void skip(std::size_t n) { take(n); }
  void writeBytes(const void* in, std::size_t n);

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

std::int32_t StreamReadInt(CStream& s);
double StreamReadReal(CStream& s);
// True when the stored int32 is greater than 0.
bool StreamReadBool(CStream& s);
// A length of 0 or less gives the empty string and consumes only the length.
std::string StreamReadString(CStream& s);
CStream StreamReadBlock(CStream& s);
CStream StreamReadCompressedBlock(CStream& s);
// A present bitmap whose content does not decode yields nothing; the stream
// has still moved past it.
std::optional<TBitmap32> StreamReadBitmap(CStream& s);

void StreamWriteInt(CStream& s, std::int32_t v);
void StreamWriteReal(CStream& s, double v);
void StreamWriteBool(CStream& s, bool v);
void StreamWriteString(CStream& s, std::string_view v);
void StreamWriteBlock(CStream& s, std::span<const std::uint8_t> bytes);
// Deflates at zlib's default level unless another level is given.
void StreamWriteCompressedBlock(CStream& s, std::span<const std::uint8_t> bytes, int level = -1);
// Writes a bitmap field: absent, or present with the image as a 32-bit BMP file.
void StreamWriteBitmap(CStream& s, const TBitmap32* bitmap);
// Writes a present bitmap field holding arbitrary bytes (for example a BMP
// file taken as it is from a project).
void StreamWriteBitmapBytes(CStream& s, std::span<const std::uint8_t> bmpFile);

// No stored block inflates to more than this: real ones stay far below it,
// and a small file must not be able to claim unbounded memory.
inline constexpr std::size_t kMaxInflatedBytes = std::size_t{1} << 30;

// Inflates one zlib stream; throws StreamError when it is corrupt or cut
// short, or inflates to more than kMaxInflatedBytes.
std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> compressed);

// The compressed blocks that follow each other in a stream, found without
// inflating them: up to maxBlocks blocks or until maxBytes of compressed
// data are collected (at least one block). A block whose bytes run past the
// end is not collected; `shortRead` then tells that the next read fails.
struct CompressedBlocks {
  std::vector<std::span<const std::uint8_t>> blocks;
  bool shortRead = false;
};
CompressedBlocks TakeCompressedBlocks(CStream& s, std::size_t maxBlocks, std::size_t maxBytes);

// The result of inflating one block: its bytes, or the error it raised.
struct InflatedBlock {
  CStream stream;
  std::exception_ptr error;
  // The block's stream, or the block's error raised again.
  CStream& get() {
    if (error) std::rethrow_exception(error);
    return stream;
  }
};
// Inflates independent blocks; with enough work and a second processor, a
// helper thread takes part of them. Results come back in block order, so
// the caller sees the same outcome as inflating them one by one.
std::vector<InflatedBlock> InflateAll(const std::vector<std::span<const std::uint8_t>>& blocks);

std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> plain, int level = -1);

std::string StreamToHex(const CStream& s);
void HexToStream(CStream& s, std::string_view text);

}  // namespace px
