// The picture loader: decodes image files (BMP, PNG, JPEG, GIF) into 32-bit
// images through SDL2_image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/BM32_Bitmap.h"

namespace px {

// The picture's pixels and alpha exactly as stored (opaque when the format
// has no alpha); nothing when the bytes do not decode.
std::optional<TBitmap32> DecodePicture(std::span<const std::uint8_t> file);

// Reads a picture file (BMP, PNG, JPEG, GIF) drawn onto a 0xFFFFFE fill,
// keeping the picture's alpha; false (image unchanged) when it cannot.
bool LoadPictureFile(TBitmap32& image, const std::string& name);

}  // namespace px
