// TBitmap32: the runner's in-memory 32-bit image. Pixels are stored row by
// row from the top, each as 0xAARRGGBB (bytes blue, green, red, alpha).
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace px {

class CStream;

// Leaves new elements uninitialised: pixels are always written before they
// are read, and clearing large images first would only cost time.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <class U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// An inclusive pixel rectangle.
struct RRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const RRect&) const = default;
};

class TBitmap32 {
 public:
  TBitmap32() = default;
  TBitmap32(int width, int height) { SetSizeFilled(width, height, 0); }

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return pixels_.empty(); }
  std::uint32_t* pixels() { return pixels_.data(); }
  const std::uint32_t* pixels() const { return pixels_.data(); }
  std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }

  void Clear();
  // Nothing for a non-positive or unchanged size; new pixels are not cleared.
  void SetSize(int w, int h);
  void SetSizeFilled(int w, int h, std::uint32_t colour);
  // 0 outside the image.
  std::uint32_t GetPixel(int x, int y) const;
  void SetPixel(int x, int y, std::uint32_t colour);
  // An image whose alphas are all 0 becomes opaque; any other is unchanged.
  void FixAlpha();
  // An empty source empties this image; otherwise a copy of its size and pixels.
  void Assign(const TBitmap32& other) { *this = other; }
  // Nearest-pixel scaling in which a fully transparent source pixel becomes 0.
  void Resize(int w, int h);
  // Copies the rectangle (sx, sy, w, h) of source to (dx, dy), all four bytes
  // of each pixel, clipped to both images.
  void CopyFrom(const TBitmap32& source, int dx, int dy, int sx, int sy, int w, int h);
  void CopyFrom(const TBitmap32& source, int dx, int dy) {
    CopyFrom(source, dx, dy, 0, 0, source.width(), source.height());
  }
  // The smallest rectangle holding every pixel whose alpha exceeds threshold;
  // (width - 1, height - 1, 0, 0) when none does.
  RRect OpaqueBounds(int threshold) const;

  // The stored image record: int 800, int width, int height, and when
  // width x height is positive a block whose first width x height x 4 bytes
  // are the pixels (both sizes negative: the block is skipped, the image is
  // empty). A wrong version gives false with the image unchanged. A pixel
  // block shorter than the image keeps only the whole rows it holds and
  // gives false, so a damaged record never makes the image larger than its
  // data. A read past the end of the stream gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;

  // The image as a PNG file: 8-bit RGBA, one IDAT at zlib's default level.
  std::vector<std::uint8_t> EncodePNG() const;
  // Writes EncodePNG() to the file in one piece; false when that fails.
  bool SavePNG(const std::string& name) const;

  // Decodes a Windows BMP file (1, 4, 8, 16, 24 or 32 bits per pixel,
  // uncompressed, bit fields or RLE); nothing when it does not decode.
  static std::optional<TBitmap32> FromBMP(std::span<const std::uint8_t> file);
  // Encodes the image as a top-down 32-bit BMP file with its alpha.
  std::vector<std::uint8_t> ToBMP() const;

  bool operator==(const TBitmap32&) const = default;

  // Images larger than this many pixels are refused when decoded from data.
  static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t, UninitializedAllocator<std::uint32_t>> pixels_;
};

// Reads the image record of a sprite or background: false only for a wrong
// version, which leaves no way to find the record's end; a short pixel
// block only damages the image. A read past the end of the stream throws
// StreamError like any other record.
bool ReadResourceImage(CStream& s, TBitmap32& image);

}  // namespace px
