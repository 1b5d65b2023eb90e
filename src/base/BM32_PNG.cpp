// The PNG writer of TBitmap32: signature, IHDR (8-bit RGBA), one IDAT of
// filter-0 rows deflated as one zlib stream, IEND.
#include <zlib.h>

#include <array>
#include <fstream>

#include "base/BM32_Bitmap.h"
#include "base/Support_Stream.h"

namespace px {

namespace {

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
              std::span<const std::uint8_t> data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  // The CRC covers the chunk type and its data.
  const uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
  PutBig32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> TBitmap32::EncodePNG() const {
  std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

  std::vector<std::uint8_t> header;
  PutBig32(header, static_cast<std::uint32_t>(width_));
  PutBig32(header, static_cast<std::uint32_t>(height_));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // depth, RGBA, deflate, filter 0, no interlace
  PutChunk(out, "IHDR", header);

  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(height_) * (1 + static_cast<std::size_t>(width_) * 4));
  for (int y = 0; y < height_; ++y) {
    raw.push_back(0);
    for (const std::uint32_t* p = row(y); p != row(y) + width_; ++p)
      raw.insert(raw.end(),
                 {static_cast<std::uint8_t>(*p >> 16), static_cast<std::uint8_t>(*p >> 8),
                  static_cast<std::uint8_t>(*p), static_cast<std::uint8_t>(*p >> 24)});
  }
  PutChunk(out, "IDAT", Deflate(raw));
  PutChunk(out, "IEND", {});
  return out;
}

bool TBitmap32::SavePNG(const std::string& name) const {
  const std::vector<std::uint8_t> file = EncodePNG();
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace px
