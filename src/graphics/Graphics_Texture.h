// The texture table: every image the device draws from, by number. A
// texture's number is its slot; a freed slot is given to the next new
// texture. Sprites, backgrounds, fonts and surfaces refer to their images
// by these numbers.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/BM32_Bitmap.h"
#include "graphics/Graphics_D3D.h"

namespace px {

class CSprite;
class CBackground;
struct GameResources;

struct RTexture {
  TextureHandle texture = 0;
  // The image's size, and the size the device made (never smaller).
  int width = 0;
  int height = 0;
  int textureWidth = 0;
  int textureHeight = 0;
  bool renderTarget = false;
  bool exists = false;
};

class TextureTable {
 public:
  explicit TextureTable(Device& device) : device_(device) {}
  ~TextureTable() { Clear(true); }
  TextureTable(const TextureTable&) = delete;
  TextureTable& operator=(const TextureTable&) = delete;

  // A texture for a w × h image in the first free slot; -1 when the device
  // has no room for it. Its texels are undefined until filled.
  int NewTexture(int w, int h, bool renderTarget = false);
  // Loads a w × h image (the texture's image size, 0xAARRGGBB pixels) into
  // the texture. Where the device texture is larger, one more column and
  // row repeat the image's last ones, so filtering at the right and bottom
  // edges reads no undefined texels.
  bool FillTexture(int id, const std::uint32_t* pixels);
  // A texture holding the image, or -1.
  int TextureFromImage(const TBitmap32& image);
  // A texture of white pixels with the given alphas, w × h of them, or -1.
  int TextureFromAlpha(int w, int h, std::span<const std::uint8_t> alpha);
  void DeleteTexture(int id);

  bool TextureExists(int id) const { return Get(id) != nullptr; }
  // The part of the device texture the image covers: width / texture
  // width and height / texture height; 1 for a missing texture.
  double UScale(int id) const;
  double VScale(int id) const;
  void PreloadTexture(int id);
  void SetTexturePriority(int id, double priority);
  // The record of an existing texture, else nothing.
  const RTexture* Get(int id) const {
    return id >= 0 && id < static_cast<int>(records_.size()) && records_[id].exists ? &records_[id]
                                                                                    : nullptr;
  }
  int slotCount() const { return static_cast<int>(records_.size()); }

  // Empties the table. With `release` the device textures are freed;
  // without, they are taken to be gone with the context that held them.
  void Clear(bool release);
  // Deletes the textures that are render targets (they do not survive a
  // device reset).
  void DeleteRenderTargets();

  // Makes textures of powers of two even where the device takes any size.
  bool powerOfTwo = false;

 private:
  Device& device_;
  std::vector<RTexture> records_;
};

// The textures of a sprite's images and of a background, made anew (the
// old ones freed first); an image the device refuses gets -1. Each is
// preloaded at once so its first use does not stall.
void MakeTextures(TextureTable& table, CSprite& sprite);
void MakeTextures(TextureTable& table, CBackground& background);
void FreeTextures(TextureTable& table, CSprite& sprite);
void FreeTextures(TextureTable& table, CBackground& background);
// The textures of every background, then every sprite, then every font,
// in a table that was just emptied.
void MakeResourceTextures(TextureTable& table, GameResources& resources);

}  // namespace px
