#include "resources/Sprite_Class.h"

#include <algorithm>

#include "resources/Resource_List.h"

namespace px {

namespace {
constexpr std::int32_t kMaskVersion = 800;
constexpr std::int32_t kSpriteVersion = 800;
}  // namespace

bool TMask::LoadFromStream(CStream& s) {
  if (StreamReadInt(s) != kMaskVersion) return false;
  width = StreamReadInt(s);
  height = StreamReadInt(s);
  left = StreamReadInt(s);
  right = StreamReadInt(s);
  bottom = StreamReadInt(s);
  top = StreamReadInt(s);
  bits.clear();
  if (width <= 0 || height <= 0) return true;
  // Each bit is stored as an int: a size the stream cannot hold is a short read.
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (count > s.remaining() / 4) throw StreamError("Stream read error");
  bits.resize(count);
  for (std::uint8_t& bit : bits) bit = StreamReadBool(s) ? 1 : 0;
  return true;
}

void TMask::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kMaskVersion);
  for (int v : {width, height, left, right, bottom, top}) StreamWriteInt(s, v);
  for (std::uint8_t bit : bits) StreamWriteBool(s, bit != 0);
}

bool CSprite::LoadFromStream(CStream& s) {
  *this = CSprite{};
  if (StreamReadInt(s) != kSpriteVersion) return false;
  xoffset = StreamReadInt(s);
  yoffset = StreamReadInt(s);
  // An image record takes at least its version, width and height.
  const std::size_t n = ReadCount(s, 12);
  images.resize(n);
  for (TBitmap32& image : images)
    if (!ReadResourceImage(s, image)) return false;
  separateMasks = StreamReadBool(s);
  if (n > 0) {
    masks.resize(separateMasks ? n : 1);
    for (TMask& mask : masks)
      if (!mask.LoadFromStream(s)) return false;
  }
  ComputeBoundingBox();
  return true;
}

void CSprite::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kSpriteVersion);
  StreamWriteInt(s, xoffset);
  StreamWriteInt(s, yoffset);
  StreamWriteInt(s, static_cast<std::int32_t>(images.size()));
  for (const TBitmap32& image : images) image.WriteToStream(s);
  StreamWriteBool(s, separateMasks);
  for (const TMask& mask : masks) mask.WriteToStream(s);
}

void CSprite::ComputeBoundingBox() {
  bbox_left = bbox_top = bbox_right = bbox_bottom = 0;
  if (images.empty() || masks.empty()) return;
  if (!separateMasks) {
    const TMask& m = masks.front();
    bbox_left = m.left, bbox_top = m.top, bbox_right = m.right, bbox_bottom = m.bottom;
    return;
  }
  bbox_left = width() - 1, bbox_top = height() - 1;
  for (const TMask& m : masks) {
    bbox_left = std::min(bbox_left, m.left);
    bbox_top = std::min(bbox_top, m.top);
    bbox_right = std::max(bbox_right, m.right);
    bbox_bottom = std::max(bbox_bottom, m.bottom);
  }
}

}  // namespace px
