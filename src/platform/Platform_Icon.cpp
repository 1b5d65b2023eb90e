#include "platform/Platform_Icon.h"

#include <SDL.h>
#include <SDL_image.h>

namespace px {

void SetWindowIcon(SDL_Window* window) {
  const std::span<const std::uint8_t> png = WindowIconPng();
  SDL_RWops* stream = SDL_RWFromConstMem(png.data(), static_cast<int>(png.size()));
  if (!stream) return;
  SDL_Surface* icon = IMG_Load_RW(stream, 1);
  if (!icon) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

}  // namespace px
