// CSprite: a sprite resource with its subimages, collision masks and
// bounding box; TMask: one collision mask. Reading and writing of their
// stored records.
#pragma once

#include <cstdint>
#include <vector>

#include "base/BM32_Bitmap.h"
#include "base/Support_Stream.h"

namespace px {

class TMask {
 public:
  int width = 0;
  int height = 0;
  // The bounding box of the solid pixels.
  int left = 0;
  int right = 0;
  int bottom = 0;
  int top = 0;
  // One byte per pixel, row by row from the top: 1 solid, 0 not.
  std::vector<std::uint8_t> bits;

  bool solid(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height &&
           bits[static_cast<std::size_t>(y) * width + x] != 0;
  }
  // int 800, the size, the box as left, right, bottom, top, then one bool per
  // pixel. A wrong version gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const TMask&) const = default;
};

class CSprite {
 public:
  int xoffset = 0;
  int yoffset = 0;
  std::vector<TBitmap32> images;
  bool separateMasks = false;
  std::vector<TMask> masks;
  int bbox_left = 0;
  int bbox_top = 0;
  int bbox_right = 0;
  int bbox_bottom = 0;
  // One texture number per subimage once the graphics are prepared.
  std::vector<int> textures;

  // The size of the first subimage; 1 x 1 without subimages.
  int width() const { return images.empty() ? 1 : images.front().width(); }
  int height() const { return images.empty() ? 1 : images.front().height(); }

  // Resets to the defaults, then reads the record. A wrong version of the
  // sprite or of one of its image or mask records gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  // The box from the masks: the shared mask's, or the union of all separate ones.
  void ComputeBoundingBox();
  bool operator==(const CSprite&) const = default;
};

}  // namespace px
