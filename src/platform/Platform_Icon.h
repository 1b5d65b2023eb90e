// pxrun's icon on its windows: the theme's 64 x 64 picture, built into
// the program so that a window has it wherever pxrun was started from.
#pragma once

#include <cstdint>
#include <span>

struct SDL_Window;

namespace px {

// The icon as a PNG file.
std::span<const std::uint8_t> WindowIconPng();
// Gives the window the icon; a picture that cannot be decoded leaves it
// without one.
void SetWindowIcon(SDL_Window* window);

}  // namespace px
