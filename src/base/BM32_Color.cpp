#include "base/BM32_Color.h"

#include <algorithm>
#include <cstdlib>

namespace px {

namespace {

std::uint32_t Alpha(std::uint32_t p) {
  return p >> 24;
}

}  // namespace

void ReplaceColor(TBitmap32& image, std::uint32_t colour, std::uint32_t replacement,
                  bool replaceAlpha, bool compareAlpha, int tolerance) {
  const int channels = compareAlpha ? 4 : 3;
  const std::uint32_t keep = replaceAlpha ? 0 : 0xFF000000;
  std::uint32_t* p = image.pixels();
  const std::size_t count = static_cast<std::size_t>(image.width()) * image.height();
  for (std::size_t i = 0; i < count; ++i) {
    bool match = true;
    for (int c = 0; c < channels && match; ++c) {
      const int a = static_cast<int>((p[i] >> (8 * c)) & 0xFF);
      const int b = static_cast<int>((colour >> (8 * c)) & 0xFF);
      match = std::abs(a - b) <= tolerance;
    }
    if (match) p[i] = (p[i] & keep) | (replacement & ~keep);
  }
}

void MakeTransparent(TBitmap32& image) {
  if (image.empty()) return;
  const std::uint32_t corner = image.GetPixel(0, image.height() - 1);
  ReplaceColor(image, corner, corner & 0xFFFFFF, true, false, 0);
}

void SmoothEdges(TBitmap32& image) {
  const int w = image.width(), h = image.height();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (Alpha(image.row(y)[x]) != 0) continue;
      for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny) {
        for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx) {
          std::uint32_t& n = image.row(ny)[nx];
          if (Alpha(n) >= 32) n -= 32u << 24;
        }
      }
    }
  }
}

void FillTransparentColor(TBitmap32& image) {
  const int w = image.width(), h = image.height();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint32_t& p = image.row(y)[x];
      if (Alpha(p) != 0) continue;
      const int around[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
      for (const auto& [nx, ny] : around) {
        if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
        const std::uint32_t n = image.row(ny)[nx];
        if (Alpha(n) > 0) {
          p = n & 0xFFFFFF;
          break;
        }
      }
    }
  }
}

void PrepareImage(TBitmap32& image, bool transparent, bool smooth) {
  if (transparent) MakeTransparent(image);
  if (smooth) SmoothEdges(image);
  if (transparent) FillTransparentColor(image);
}

void MultiplyAlphaBy(TBitmap32& image, const TBitmap32& other) {
  const int w = std::min(image.width(), other.width());
  const int h = std::min(image.height(), other.height());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint32_t& p = image.row(y)[x];
      const std::uint32_t o = other.row(y)[x];
      const std::uint32_t brightness = (o & 0xFF) + ((o >> 8) & 0xFF) + ((o >> 16) & 0xFF);
      p = (p & 0xFFFFFF) | (Alpha(p) * brightness / 765) << 24;
    }
  }
}

}  // namespace px
