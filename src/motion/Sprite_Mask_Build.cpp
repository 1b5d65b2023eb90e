#include "motion/Sprite_Mask_Build.h"

#include <algorithm>
#include <cmath>

#include "resources/Sprite_Class.h"

namespace px {

namespace {

constexpr std::int32_t kAutomatic = 0;
constexpr std::int32_t kFullImage = 1;
constexpr std::int32_t kPrecise = 0;

bool Opaque(const TBitmap32& image, int x, int y, std::int32_t tolerance) {
  return static_cast<std::int32_t>(image.row(y)[x] >> 24) > tolerance;
}

// The box of one image; false when an automatic box finds no pixel.
bool ImageBox(const TBitmap32& image, const MaskSettings& s, RRect& box) {
  const int w = image.width(), h = image.height();
  if (s.boxMode == kAutomatic) {
    box = image.OpaqueBounds(s.tolerance);
    return box.left <= box.right && box.top <= box.bottom;
  }
  if (s.boxMode == kFullImage) {
    box = {0, 0, w - 1, h - 1};
    return true;
  }
  const auto clip = [](std::int32_t v, int size) { return std::clamp(v, 0, size - 1); };
  box = {clip(std::min(s.left, s.right), w), clip(std::min(s.top, s.bottom), h),
         clip(std::max(s.left, s.right), w), clip(std::max(s.top, s.bottom), h)};
  return true;
}

bool InShape(std::int32_t shape, double u, double v) {
  switch (shape) {
    case 1:
      return true;
    case 2:
      return u * u + v * v < 1;
    case 3:
      return std::fabs(u) + std::fabs(v) < 1;
    default:
      return false;
  }
}

// Sets the cells of a drawn shape (rectangle, ellipse, diamond) inside the
// mask's box.
void DrawShape(TMask& m, std::int32_t shape) {
  const double cx = (m.left + m.right) / 2.0, cy = (m.top + m.bottom) / 2.0;
  const double rx = cx - m.left + 0.5, ry = cy - m.top + 0.5;
  for (int y = m.top; y <= m.bottom; ++y)
    for (int x = m.left; x <= m.right; ++x)
      if (InShape(shape, (x - cx) / rx, (y - cy) / ry))
        m.bits[static_cast<std::size_t>(y) * m.width + x] = 1;
}

// Or-s the precise cells of an image inside box into the mask (over the
// size both share).
void AddPrecise(TMask& m, const TBitmap32& image, const RRect& box, std::int32_t tolerance) {
  const int right = std::min({box.right, m.width - 1, image.width() - 1});
  const int bottom = std::min({box.bottom, m.height - 1, image.height() - 1});
  // An empty image has no cells (and its box starts at -1).
  for (int y = std::max(box.top, 0); y <= bottom; ++y)
    for (int x = std::max(box.left, 0); x <= right; ++x)
      if (Opaque(image, x, y, tolerance)) m.bits[static_cast<std::size_t>(y) * m.width + x] = 1;
}

// A mask of the image's size with no cell set and the box 0, 0, 0, 0.
TMask EmptyMask(const TBitmap32& image) {
  TMask m;
  m.width = image.width();
  m.height = image.height();
  m.bits.assign(static_cast<std::size_t>(m.width) * static_cast<std::size_t>(m.height), 0);
  return m;
}

// Unites the mask's box with box; a mask with no box yet takes it.
void Unite(TMask& m, bool& hasBox, const RRect& box) {
  if (!hasBox) {
    m.left = box.left, m.top = box.top, m.right = box.right, m.bottom = box.bottom;
    hasBox = true;
    return;
  }
  m.left = std::min(m.left, box.left);
  m.top = std::min(m.top, box.top);
  m.right = std::max(m.right, box.right);
  m.bottom = std::max(m.bottom, box.bottom);
}

// One mask from a run of images: their boxes united, and their precise
// cells or-ed or the shape drawn over the united box.
TMask MakeMask(const TBitmap32* first, const TBitmap32* last, const MaskSettings& s) {
  TMask m = EmptyMask(*first);
  bool hasBox = false;
  for (const TBitmap32* image = first; image != last; ++image) {
    RRect box;
    if (!ImageBox(*image, s, box)) continue;
    // The united box stays inside the mask.
    box.right = std::min(box.right, m.width - 1);
    box.bottom = std::min(box.bottom, m.height - 1);
    if (box.left > box.right || box.top > box.bottom) continue;
    Unite(m, hasBox, box);
    if (s.shape == kPrecise) AddPrecise(m, *image, box, s.tolerance);
  }
  if (hasBox && s.shape != kPrecise) DrawShape(m, s.shape);
  return m;
}

}  // namespace

void BuildMasks(CSprite& sprite, const MaskSettings& settings) {
  sprite.masks.clear();
  sprite.separateMasks = settings.separate;
  const std::vector<TBitmap32>& images = sprite.images;
  if (!images.empty()) {
    if (settings.separate) {
      for (const TBitmap32& image : images)
        sprite.masks.push_back(MakeMask(&image, &image + 1, settings));
    } else {
      sprite.masks.push_back(MakeMask(images.data(), images.data() + images.size(), settings));
    }
  }
  sprite.ComputeBoundingBox();
}

}  // namespace px
