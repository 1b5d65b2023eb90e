// The picture loader: decodes image files (BMP, PNG, JPEG, GIF) into 32-bit
// images through SDL2_image. Pictures come from game files and are not
// trusted: their headers are read first, and a picture whose stated size
// is above TBitmap32::kMaxPixels is refused before any pixel is allocated.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/BM32_Bitmap.h"
#include "base/Geometry.h"

namespace px {

enum class PictureFormat : std::uint8_t { Unknown, Bmp, Png, Jpeg, Gif };

// The format told by the file's first bytes.
PictureFormat PictureFormatOf(std::span<const std::uint8_t> file);

// Whether the sizes the file's headers state fit the pixel limit: the
// picture's size (BMP, PNG, JPEG), or for a GIF its screen and every frame,
// all frames together. False for bytes of no known format and for headers
// cut short.
bool PictureFitsLimits(std::span<const std::uint8_t> file);

// The picture's pixels and alpha exactly as stored (opaque when the format
// has no alpha); nothing when the bytes do not decode.
std::optional<TBitmap32> DecodePicture(std::span<const std::uint8_t> file);

// The picture drawn onto a 0xFFFFFE fill, keeping its alpha (opaque when
// no pixel has any); nothing when the bytes do not decode.
std::optional<TBitmap32> LoadPicture(std::span<const std::uint8_t> file);
// LoadPicture of a file's bytes; false (image unchanged) when it cannot.
bool LoadPictureFile(TBitmap32& image, const std::string& name);

// The frames of a GIF file, each the size of the GIF's screen, with the
// frames before it drawn as the file's disposal asks and alpha 0 where no
// frame has drawn; nothing when the bytes do not decode as a GIF.
std::optional<std::vector<TBitmap32>> DecodeGifFrames(std::span<const std::uint8_t> file);

}  // namespace px
