#include "platform/Platform_Picture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace px {

namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint32_t Le16(Bytes b, std::size_t at) {
  return b[at] | (std::uint32_t{b[at + 1]} << 8);
}
std::uint32_t Le32(Bytes b, std::size_t at) {
  return Le16(b, at) | (Le16(b, at + 2) << 16);
}
std::uint32_t Be16(Bytes b, std::size_t at) {
  return (std::uint32_t{b[at]} << 8) | b[at + 1];
}
std::uint32_t Be32(Bytes b, std::size_t at) {
  return (Be16(b, at) << 16) | Be16(b, at + 2);
}

bool StartsWith(Bytes b, std::string_view magic) {
  return b.size() >= magic.size() && std::memcmp(b.data(), magic.data(), magic.size()) == 0;
}

// Each side is bounded first, so that the product cannot overflow.
bool PixelsFit(std::int64_t w, std::int64_t h) {
  constexpr std::int64_t kMax = TBitmap32::kMaxPixels;
  return w >= 0 && h >= 0 && w <= kMax && h <= kMax && w * h <= kMax;
}

bool BmpFits(Bytes b) {
  if (b.size() < 26) return false;
  if (Le32(b, 14) == 12) return PixelsFit(Le16(b, 18), Le16(b, 20));
  const auto w = static_cast<std::int32_t>(Le32(b, 18));
  const auto h = static_cast<std::int32_t>(Le32(b, 22));
  return PixelsFit(w, h < 0 ? -std::int64_t{h} : h);
}

bool PngFits(Bytes b) {
  return b.size() >= 24 && PixelsFit(Be32(b, 16), Be32(b, 20));
}

// Walks the markers to the first frame header (SOF0..SOF15 but the DHT,
// JPG and DAC markers that share their range).
bool JpegFits(Bytes b) {
  std::size_t pos = 2;
  while (pos + 4 <= b.size()) {
    if (b[pos] != 0xFF) return false;
    const std::uint8_t marker = b[pos + 1];
    if (marker == 0xFF) {
      ++pos;  // fill byte
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
      pos += 2;
      continue;
    }
    const std::size_t length = Be16(b, pos + 2);
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) return pos + 9 <= b.size() && PixelsFit(Be16(b, pos + 7), Be16(b, pos + 5));
    if (length < 2) return false;
    pos += 2 + length;
  }
  return false;
}

// Skips a chain of data sub-blocks; the position after its terminator, or
// past the end when the chain is cut short.
std::size_t SkipSubBlocks(Bytes b, std::size_t pos) {
  while (pos < b.size() && b[pos] != 0) pos += 1 + std::size_t{b[pos]};
  return pos + 1;
}

std::size_t ColorTableBytes(std::uint8_t flags) {
  return (flags & 0x80) ? 3 * (std::size_t{2} << (flags & 7)) : 0;
}

// Every frame, and the canvas each decoded frame is given, within the limit.
bool GifFits(Bytes b) {
  if (b.size() < 13) return false;
  const std::int64_t canvas = std::int64_t{Le16(b, 6)} * Le16(b, 8);
  if (!PixelsFit(Le16(b, 6), Le16(b, 8))) return false;
  std::int64_t total = 0;
  std::size_t pos = 13 + ColorTableBytes(b[10]);
  while (pos < b.size()) {
    const std::uint8_t block = b[pos];
    if (block == 0x21) {
      pos = SkipSubBlocks(b, pos + 2);
    } else if (block == 0x2C) {
      if (pos + 10 > b.size()) break;
      if (!PixelsFit(Le16(b, pos + 5), Le16(b, pos + 7))) return false;
      total += std::max<std::int64_t>(canvas, 1);
      if (total > TBitmap32::kMaxPixels) return false;
      pos = SkipSubBlocks(b, pos + 10 + ColorTableBytes(b[pos + 9]) + 1);
    } else {
      break;  // the trailer, or bytes no decoder reads on
    }
  }
  return true;
}

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

// The surface's pixels as 0xAARRGGBB, the layout of TBitmap32.
std::optional<TBitmap32> FromSurface(SDL_Surface* surface) {
  if (!surface) return std::nullopt;
  SurfacePtr argb(SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0), SDL_FreeSurface);
  if (!argb || argb->w <= 0 || argb->h <= 0 || !PixelsFit(argb->w, argb->h)) return std::nullopt;
  TBitmap32 image(argb->w, argb->h);
  if (SDL_LockSurface(argb.get()) != 0) return std::nullopt;
  for (int y = 0; y < argb->h; ++y)
    std::memcpy(image.row(y), static_cast<const std::uint8_t*>(argb->pixels) + y * argb->pitch,
                static_cast<std::size_t>(argb->w) * 4);
  SDL_UnlockSurface(argb.get());
  return image;
}

SDL_RWops* ReadFrom(Bytes file) {
  if (file.empty() || file.size() > static_cast<std::size_t>(INT32_MAX)) return nullptr;
  return SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
}

}  // namespace

PictureFormat PictureFormatOf(Bytes file) {
  if (StartsWith(file, "BM")) return PictureFormat::Bmp;
  if (StartsWith(file, "\x89PNG\r\n\x1A\n")) return PictureFormat::Png;
  if (StartsWith(file, "\xFF\xD8\xFF")) return PictureFormat::Jpeg;
  if (StartsWith(file, "GIF87a") || StartsWith(file, "GIF89a")) return PictureFormat::Gif;
  return PictureFormat::Unknown;
}

bool PictureFitsLimits(Bytes file) {
  switch (PictureFormatOf(file)) {
    case PictureFormat::Bmp:
      return BmpFits(file);
    case PictureFormat::Png:
      return PngFits(file);
    case PictureFormat::Jpeg:
      return JpegFits(file);
    case PictureFormat::Gif:
      return GifFits(file);
    case PictureFormat::Unknown:
      break;
  }
  return false;
}

std::optional<TBitmap32> DecodePicture(Bytes file) {
  if (!PictureFitsLimits(file)) return std::nullopt;
  SDL_RWops* rw = ReadFrom(file);
  if (!rw) return std::nullopt;
  SurfacePtr loaded(IMG_Load_RW(rw, 1), SDL_FreeSurface);
  return FromSurface(loaded.get());
}

std::optional<TBitmap32> LoadPicture(Bytes file) {
  std::optional<TBitmap32> picture = DecodePicture(file);
  if (!picture) return std::nullopt;
  // The picture is drawn onto a 0xFFFFFE fill: its colour is blended over
  // the fill by its alpha, and the alpha is kept, so a picture with no alpha
  // at all ends up opaque through FixAlpha.
  constexpr std::uint32_t kFill[3] = {0xFF, 0xFF, 0xFE};  // blue, green, red
  std::uint32_t* const pixels = picture->pixels();
  const std::size_t count = static_cast<std::size_t>(picture->width()) * picture->height();
  for (std::uint32_t& p : std::span(pixels, count)) {
    const std::uint32_t a = p >> 24;
    std::uint32_t out = a << 24;
    for (int c = 0; c < 3; ++c) {
      const std::uint32_t v = (p >> (8 * c)) & 0xFF;
      out |= ((v * a + kFill[c] * (255 - a) + 127) / 255) << (8 * c);
    }
    p = out;
  }
  picture->FixAlpha();
  return picture;
}

bool LoadPictureFile(TBitmap32& image, const std::string& name) {
  const auto file = ReadWholeFile(name);
  std::optional<TBitmap32> picture = file ? LoadPicture(*file) : std::nullopt;
  if (!picture) return false;
  image = std::move(*picture);
  return true;
}

std::optional<std::vector<TBitmap32>> DecodeGifFrames(Bytes file) {
  if (PictureFormatOf(file) != PictureFormat::Gif || !GifFits(file)) return std::nullopt;
  SDL_RWops* rw = ReadFrom(file);
  if (!rw) return std::nullopt;
  std::unique_ptr<IMG_Animation, decltype(&IMG_FreeAnimation)> animation(
      IMG_LoadAnimationTyped_RW(rw, 1, "GIF"), IMG_FreeAnimation);
  if (!animation || animation->count <= 0) return std::nullopt;
  std::vector<TBitmap32> frames;
  for (int i = 0; i < animation->count; ++i) {
    std::optional<TBitmap32> frame = FromSurface(animation->frames[i]);
    if (!frame) return std::nullopt;
    frames.push_back(std::move(*frame));
  }
  return frames;
}

}  // namespace px
