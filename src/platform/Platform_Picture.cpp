#include "platform/Platform_Picture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <vector>

namespace px {

std::optional<TBitmap32> DecodePicture(std::span<const std::uint8_t> file) {
  if (file.empty()) return std::nullopt;
  SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
  if (!rw) return std::nullopt;
  std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> loaded(IMG_Load_RW(rw, 1),
                                                                  SDL_FreeSurface);
  if (!loaded) return std::nullopt;
  // ARGB8888 is 0xAARRGGBB per pixel: the layout of TBitmap32.
  std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> argb(
      SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0), SDL_FreeSurface);
  if (!argb || argb->w <= 0 || argb->h <= 0 ||
      static_cast<std::int64_t>(argb->w) * argb->h > TBitmap32::kMaxPixels)
    return std::nullopt;
  TBitmap32 image(argb->w, argb->h);
  if (SDL_LockSurface(argb.get()) != 0) return std::nullopt;
  for (int y = 0; y < argb->h; ++y)
    std::memcpy(image.row(y), static_cast<const std::uint8_t*>(argb->pixels) + y * argb->pitch,
                static_cast<std::size_t>(argb->w) * 4);
  SDL_UnlockSurface(argb.get());
  return image;
}

bool LoadPictureFile(TBitmap32& image, const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return false;
  const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
  std::optional<TBitmap32> picture = DecodePicture(file);
  if (!picture) return false;
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
  image = std::move(*picture);
  return true;
}

}  // namespace px
