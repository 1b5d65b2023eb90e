// Sprites and backgrounds changed while the game runs: loaded from picture
// files and from sprite and background files, taken from the screen,
// cleared, copied, merged and saved. Every change of images ends with new
// textures and, for a sprite, masks rebuilt, so drawing and collisions see
// the new images at once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/BM32_Bitmap.h"

namespace px {

struct Runtime;
class CSprite;
class CBackground;

// Whether a game path names an existing file.
bool GameFileExists(const std::string& file);
// Whether a file name ends in the extension (with its dot), any letter case.
bool HasExtension(const std::string& file, std::string_view ext);

// No images, origin 0, box 0, shared masks and none of them, no textures.
void ClearSprite(Runtime& rt, CSprite& sprite);
// New textures, then precise masks with an automatic box and tolerance 0.
void RemakeSprite(Runtime& rt, CSprite& sprite, bool separateMasks);

// How an image made at run time is prepared: the bottom-left colour made
// transparent, edges smoothed.
struct ImagePreparation {
  bool transparent = false;
  bool smooth = false;
};

// A picture file (a game path): a strip cut into `count` images, or a GIF
// frame by frame; then the origin, textures and default masks. False when
// the file is missing (sprite unchanged) or does not decode (a GIF leaves
// the sprite unchanged, any other picture leaves it cleared).
bool LoadSpritePicture(Runtime& rt, CSprite& sprite, const std::string& file, std::int32_t count,
                       ImagePreparation prep, std::int32_t xorigin, std::int32_t yorigin);
// A sprite file: false and unchanged when it is missing or not of the
// format, false and cleared when its version is wrong or it is damaged.
bool LoadSpriteFile(Runtime& rt, CSprite& sprite, const std::string& file);

// A picture file: the background is emptied first, and stays empty when
// the file is missing or does not decode.
bool LoadBackgroundPicture(Runtime& rt, CBackground& background, const std::string& file,
                           ImagePreparation prep);
// A background file, with the outcomes of LoadSpriteFile.
bool LoadBackgroundFile(Runtime& rt, CBackground& background, const std::string& file);
// A new image: the background's texture made anew.
void SetBackgroundImage(Runtime& rt, CBackground& background, TBitmap32 image);

// The back buffer's rectangle, clipped, opaque; empty when nothing is read.
TBitmap32 ReadScreen(Runtime& rt, int x, int y, int w, int h);
// The image prepared as asked.
TBitmap32 Prepared(TBitmap32 image, ImagePreparation prep);

// The target becomes a deep copy of the source, with textures of its own.
void CopySprite(Runtime& rt, CSprite& target, const CSprite& source);
void CopyBackground(Runtime& rt, CBackground& target, const CBackground& source);
// Appends copies of the source's images, resized to the target's size as
// it was (1 × 1 without images); the source may be the target.
void MergeSprite(Runtime& rt, CSprite& target, const CSprite& source);
// Appends one image resized to the sprite's size (its own size when it is
// the first); masks follow the sprite's separate flag.
void AddSpriteImage(Runtime& rt, CSprite& sprite, TBitmap32 image);
// Alpha times the brightness of the other's images, cycling through them.
void SetSpriteAlphaFrom(Runtime& rt, CSprite& sprite, const CSprite& other);
void SetBackgroundAlphaFrom(Runtime& rt, CBackground& background, const CBackground& other);

// All images side by side, each at i × the sprite's width.
TBitmap32 SpriteStrip(const CSprite& sprite);
// Writes the image to a file (a game path): PNG when asked or when the
// name ends in ".png" (any case), else a 32-bit bitmap file. Failures are
// ignored; in secure mode a name with a folder is not written.
void SaveImageFile(Runtime& rt, const TBitmap32& image, const std::string& file, bool alwaysPng);

}  // namespace px
