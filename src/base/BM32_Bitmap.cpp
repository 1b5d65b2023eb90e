#include "base/BM32_Bitmap.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "base/Support_Stream.h"

namespace px {

void TBitmap32::Clear() {
  pixels_.clear();
  pixels_.shrink_to_fit();
  width_ = height_ = 0;
}

void TBitmap32::SetSize(int w, int h) {
  if (w <= 0 || h <= 0 || (w == width_ && h == height_)) return;
  width_ = w;
  height_ = h;
  pixels_ = {};
  pixels_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
}

void TBitmap32::SetSizeFilled(int w, int h, std::uint32_t colour) {
  if (w <= 0 || h <= 0) return;
  SetSize(w, h);
  std::fill(pixels_.begin(), pixels_.end(), colour);
}

std::uint32_t TBitmap32::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return row(y)[x];
}

void TBitmap32::SetPixel(int x, int y, std::uint32_t colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  row(y)[x] = colour;
}

void TBitmap32::FixAlpha() {
  for (std::uint32_t p : pixels_)
    if (p >> 24) return;
  for (std::uint32_t& p : pixels_) p |= 0xFF000000u;
}

void TBitmap32::Resize(int w, int h) {
  if (w <= 0 || h <= 0 || (w == width_ && h == height_)) return;
  const TBitmap32 old = *this;
  SetSize(w, h);
  if (old.empty()) {
    std::fill(pixels_.begin(), pixels_.end(), 0);
    return;
  }
  // Source index floor(x / (w / w0)) computed exactly in integers.
  for (int y = 0; y < h; ++y) {
    const int sy = static_cast<int>(static_cast<std::int64_t>(y) * old.height_ / h);
    const std::uint32_t* src = old.row(sy);
    std::uint32_t* dst = row(y);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = src[static_cast<std::int64_t>(x) * old.width_ / w];
      dst[x] = (p >> 24) ? p : 0;
    }
  }
}

void TBitmap32::CopyFrom(const TBitmap32& source, int dx, int dy, int sx, int sy, int w, int h) {
  // Clip in 64 bits so that extreme arguments cannot overflow.
  std::int64_t x0 = dx, y0 = dy, s0 = sx, t0 = sy, cw = w, ch = h;
  auto clipLow = [](std::int64_t& a, std::int64_t& b, std::int64_t& size) {
    const std::int64_t shift = std::max<std::int64_t>({0, -a, -b});
    a += shift, b += shift, size -= shift;
  };
  clipLow(x0, s0, cw);
  clipLow(y0, t0, ch);
  cw = std::min({cw, std::int64_t{width_} - x0, std::int64_t{source.width_} - s0});
  ch = std::min({ch, std::int64_t{height_} - y0, std::int64_t{source.height_} - t0});
  if (cw <= 0 || ch <= 0) return;
  for (std::int64_t r = 0; r < ch; ++r)
    std::memcpy(row(static_cast<int>(y0 + r)) + x0, source.row(static_cast<int>(t0 + r)) + s0,
                static_cast<std::size_t>(cw) * 4);
}

RRect TBitmap32::OpaqueBounds(int threshold) const {
  RRect r{width_ - 1, height_ - 1, 0, 0};
  for (int y = 0; y < height_; ++y) {
    const std::uint32_t* p = row(y);
    for (int x = 0; x < width_; ++x) {
      if (static_cast<int>(p[x] >> 24) <= threshold) continue;
      r.left = std::min(r.left, x);
      r.right = std::max(r.right, x);
      r.top = std::min(r.top, y);
      r.bottom = std::max(r.bottom, y);
    }
  }
  return r;
}

constexpr std::int32_t kImageVersion = 800;

namespace {

// Reads an image record whose version has been checked. The pixel block is
// stored when width x height is positive (so also when both are negative,
// which leaves the image empty). A block shorter than the image keeps the
// whole rows it holds and gives false; running out of stream throws.
bool ReadImageBody(CStream& s, TBitmap32& image) {
  image.Clear();
  const std::int32_t w = StreamReadInt(s);
  const std::int32_t h = StreamReadInt(s);
  if (std::int64_t{w} * h <= 0) return true;
  // The pixels are copied straight out of the record, not via a block copy.
  const std::int32_t n = StreamReadInt(s);
  const auto block = s.take(n > 0 ? static_cast<std::size_t>(n) : 0);
  if (w < 0) return true;
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
  const std::int64_t rows = std::min<std::int64_t>(h, block.size() / rowBytes);
  if (rows > 0 && static_cast<std::int64_t>(w) * rows <= TBitmap32::kMaxPixels) {
    image.SetSize(w, static_cast<int>(rows));
    std::memcpy(image.pixels(), block.data(), rowBytes * static_cast<std::size_t>(rows));
  }
  return rows == h && !image.empty();
}

}  // namespace

bool TBitmap32::LoadFromStream(CStream& s) {
  try {
    if (StreamReadInt(s) != kImageVersion) return false;
    return ReadImageBody(s, *this);
  } catch (const StreamError&) {
    return false;
  }
}

bool ReadResourceImage(CStream& s, TBitmap32& image) {
  if (StreamReadInt(s) != kImageVersion) return false;
  ReadImageBody(s, image);
  return true;
}

void TBitmap32::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kImageVersion);
  StreamWriteInt(s, width_);
  StreamWriteInt(s, height_);
  if (empty()) return;
  StreamWriteBlock(s, {reinterpret_cast<const std::uint8_t*>(pixels_.data()), pixels_.size() * 4});
}

namespace {

// Bounds-checked little-endian reads from the file bytes.
struct ByteReader {
  std::span<const std::uint8_t> b;
  bool has(std::size_t at, std::size_t n) const { return at <= b.size() && n <= b.size() - at; }
  std::uint32_t u16(std::size_t at) const { return b[at] | (b[at + 1] << 8); }
  std::uint32_t u32(std::size_t at) const {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
  }
};

// Extracts a channel under a bit mask and scales it to 0..255.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;
  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    max = m >> shift;
  }
  std::uint32_t operator()(std::uint32_t v) const {
    if (!mask) return 0;
    const std::uint64_t raw = (v & mask) >> shift;
    return static_cast<std::uint32_t>((raw * 255 + max / 2) / max);
  }
};

std::uint32_t Pack(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace

std::optional<TBitmap32> TBitmap32::FromBMP(std::span<const std::uint8_t> file) {
  const ByteReader in{file};
  if (!in.has(0, 18) || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const std::uint32_t dataOffset = in.u32(10);
  const std::uint32_t headerSize = in.u32(14);
  if (!in.has(14, headerSize)) return std::nullopt;

  std::int64_t width, height;
  std::uint32_t bpp, compression = 0, colorsUsed = 0;
  std::size_t paletteEntrySize = 4;
  if (headerSize == 12) {
    width = static_cast<std::int16_t>(in.u16(18));
    height = static_cast<std::int16_t>(in.u16(20));
    bpp = in.u16(24);
    paletteEntrySize = 3;
  } else if (headerSize >= 40) {
    width = static_cast<std::int32_t>(in.u32(18));
    height = static_cast<std::int32_t>(in.u32(22));
    bpp = in.u16(28);
    compression = in.u32(30);
    colorsUsed = in.u32(46);
  } else {
    return std::nullopt;
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width * height > kMaxPixels) return std::nullopt;

  // Bit-field masks: inside a V4/V5 header, or right after a 40-byte one.
  Channel red(0x7C00), green(0x03E0), blue(0x001F), alpha(0);
  if (bpp == 32)
    red = Channel(0xFF0000), green = Channel(0xFF00), blue = Channel(0xFF),
    alpha = Channel(0xFF000000u);
  std::size_t paletteAt = 14 + headerSize;
  if (compression == 3 || compression == 6) {
    const std::size_t masksAt = 14 + 40;
    const bool inHeader = headerSize >= 52;
    if (!in.has(masksAt, compression == 6 || headerSize >= 56 ? 16 : 12)) return std::nullopt;
    red = Channel(in.u32(masksAt));
    green = Channel(in.u32(masksAt + 4));
    blue = Channel(in.u32(masksAt + 8));
    alpha = Channel(compression == 6 || headerSize >= 56 ? in.u32(masksAt + 12) : 0);
    if (!inHeader) paletteAt += compression == 6 ? 16 : 12;
  }

  std::array<std::uint32_t, 256> palette{};
  if (bpp <= 8) {
    std::size_t count = colorsUsed ? std::min<std::uint32_t>(colorsUsed, 256) : (1u << bpp);
    count = std::min<std::size_t>(count, std::size_t{1} << bpp);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t at = paletteAt + i * paletteEntrySize;
      if (!in.has(at, 3)) break;
      palette[i] = Pack(file[at + 2], file[at + 1], file[at], 0);
    }
  }

  TBitmap32 image(static_cast<int>(width), static_cast<int>(height));
  auto rowOf = [&](std::int64_t fileRow) {
    return image.row(static_cast<int>(topDown ? fileRow : height - 1 - fileRow));
  };

  if (compression == 1 || compression == 2) {  // RLE8 / RLE4, bottom-up only
    if (topDown || bpp != (compression == 1 ? 8u : 4u)) return std::nullopt;
    std::size_t at = dataOffset;
    std::int64_t x = 0, y = 0;
    auto put = [&](std::uint32_t index) {
      if (x < width && y < height) rowOf(y)[x] = palette[index & 0xFF];
      ++x;
    };
    while (in.has(at, 2) && y < height) {
      const std::uint8_t count = file[at], value = file[at + 1];
      at += 2;
      if (count) {
        for (int i = 0; i < count; ++i)
          put(compression == 1 ? value : (i & 1 ? value & 15 : value >> 4));
      } else if (value == 0) {
        x = 0, ++y;
      } else if (value == 1) {
        break;
      } else if (value == 2) {
        if (!in.has(at, 2)) break;
        x += file[at], y += file[at + 1];
        at += 2;
      } else {
        const std::size_t bytes = compression == 1 ? value : (value + 1) / 2;
        if (!in.has(at, bytes)) break;
        for (int i = 0; i < value; ++i)
          put(compression == 1 ? file[at + i]
                               : (i & 1 ? file[at + i / 2] & 15 : file[at + i / 2] >> 4));
        at += (bytes + 1) & ~std::size_t{1};
      }
    }
    image.FixAlpha();
    return image;
  }

  if (compression != 0 && compression != 3 && compression != 6) return std::nullopt;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return std::nullopt;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
  if (!in.has(dataOffset, stride * static_cast<std::size_t>(height))) return std::nullopt;

  const bool masked = compression == 3 || compression == 6;
  for (std::int64_t y = 0; y < height; ++y) {
    const std::uint8_t* src = file.data() + dataOffset + stride * y;
    std::uint32_t* dst = rowOf(y);
    for (std::int64_t x = 0; x < width; ++x) {
      switch (bpp) {
        case 1:
          dst[x] = palette[(src[x / 8] >> (7 - x % 8)) & 1];
          break;
        case 4:
          dst[x] = palette[(src[x / 2] >> (x % 2 ? 0 : 4)) & 15];
          break;
        case 8:
          dst[x] = palette[src[x]];
          break;
        case 16: {
          const std::uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
          dst[x] = Pack(red(v), green(v), blue(v), alpha(v));
          break;
        }
        case 24:
          dst[x] = Pack(src[3 * x + 2], src[3 * x + 1], src[3 * x], 0);
          break;
        case 32: {
          const std::uint8_t* p = src + 4 * x;
          const std::uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
          dst[x] = masked ? Pack(red(v), green(v), blue(v), alpha(v)) : v;
          break;
        }
      }
    }
  }
  image.FixAlpha();
  return image;
}

std::vector<std::uint8_t> TBitmap32::ToBMP() const {
  // 40-byte info header, uncompressed 32 bits per pixel with the alpha in the
  // fourth byte, top-down rows (negative height).
  const std::uint32_t headerBytes = 14 + 40;
  const std::uint32_t pixelBytes = static_cast<std::uint32_t>(pixels_.size() * 4);
  std::vector<std::uint8_t> out(headerBytes + pixelBytes, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    out[at] = v & 0xFF;
    out[at + 1] = (v >> 8) & 0xFF;
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = (v >> (8 * i)) & 0xFF;
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, headerBytes + pixelBytes);
  put32(10, headerBytes);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width_));
  put32(22, static_cast<std::uint32_t>(-height_));
  put16(26, 1);
  put16(28, 32);
  put32(34, pixelBytes);
  if (pixelBytes) std::memcpy(out.data() + headerBytes, pixels_.data(), pixelBytes);
  return out;
}

}  // namespace px
