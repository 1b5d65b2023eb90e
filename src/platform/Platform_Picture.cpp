#include "platform/Platform_Picture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <memory>

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

}  // namespace px
