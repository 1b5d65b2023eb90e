// The sprite and background files games load at run time (".pxspr",
// ".pxbck"): a magic number, then a compressed body holding a version and
// the resource's images and settings. The files come from outside the game
// and are read defensively: counts are checked against the bytes that
// remain and the body inflates to a bounded size.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/BM32_Bitmap.h"

namespace px {

inline constexpr std::int32_t kResourceFileMagic = 1234321;
inline constexpr std::int32_t kSpriteFileVersion = 800;
inline constexpr std::int32_t kBackgroundFileVersion = 710;

// How reading a file went: the caller keeps its resource unchanged when the
// file is not of the format (no magic number, body that does not inflate),
// and empties it when the body is of another version or damaged.
enum class ResourceFileStatus : std::uint8_t { Ok, NotOfFormat, WrongVersion, Damaged };

// What a sprite file holds: origin, images and the collision mask settings.
struct SpriteFileData {
  std::int32_t xoffset = 0;
  std::int32_t yoffset = 0;
  std::vector<TBitmap32> images;
  std::int32_t shape = 0;  // 0 precise, 1 rectangle, 2 ellipse, 3 diamond
  std::int32_t tolerance = 0;
  bool separateMasks = false;
  std::int32_t boxMode = 0;  // 0 automatic, 1 full image, 2 manual
  std::int32_t left = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int32_t top = 0;
  bool operator==(const SpriteFileData&) const = default;
};

struct SpriteFileResult {
  ResourceFileStatus status = ResourceFileStatus::NotOfFormat;
  SpriteFileData sprite;
};

struct BackgroundFileResult {
  ResourceFileStatus status = ResourceFileStatus::NotOfFormat;
  TBitmap32 image;
};

SpriteFileResult ReadSpriteFile(std::span<const std::uint8_t> file);
BackgroundFileResult ReadBackgroundFile(std::span<const std::uint8_t> file);

std::vector<std::uint8_t> WriteSpriteFile(const SpriteFileData& sprite);
std::vector<std::uint8_t> WriteBackgroundFile(const TBitmap32& image);

}  // namespace px
