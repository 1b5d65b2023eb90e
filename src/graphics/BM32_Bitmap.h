// TBitmap32: the runner's in-memory 32-bit image. Pixels are stored row by
// row from the top, each as 0xAARRGGBB (bytes blue, green, red, alpha).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace px {

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

  // Decodes a Windows BMP file (1, 4, 8, 16, 24 or 32 bits per pixel,
  // uncompressed, bit fields or RLE); nothing when it does not decode.
  static std::optional<TBitmap32> FromBMP(std::span<const std::uint8_t> file);
  // Encodes the image as a top-down 32-bit BMP file with its alpha.
  std::vector<std::uint8_t> ToBMP() const;

  bool operator==(const TBitmap32&) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace px
