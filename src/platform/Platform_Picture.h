// The picture loader: decodes image files (BMP, PNG, JPEG, GIF) into 32-bit
// images through SDL2_image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "graphics/BM32_Bitmap.h"

namespace px {

// The picture's pixels and alpha exactly as stored (opaque when the format
// has no alpha); nothing when the bytes do not decode.
std::optional<TBitmap32> DecodePicture(std::span<const std::uint8_t> file);

}  // namespace px
