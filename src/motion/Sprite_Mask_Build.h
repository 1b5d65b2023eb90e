// Collision masks made at run time from a sprite's images.
#pragma once

#include <cstdint>

namespace px {

class CSprite;

// How the masks are made: box mode 0 automatic (the pixels whose alpha
// exceeds the tolerance), 1 the full image, anything else the manual box
// clipped to the image; shape 0 precise (alpha above the tolerance),
// 1 rectangle, 2 ellipse, 3 diamond, anything else no set cell.
struct MaskSettings {
  bool separate = false;
  std::int32_t boxMode = 0;
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t shape = 0;
  std::int32_t tolerance = 0;
};

// Replaces the sprite's masks by ones made with these settings (one per
// image when separate, else one for all) and recomputes its box. A sprite
// without images gets no masks.
void BuildMasks(CSprite& sprite, const MaskSettings& settings);

}  // namespace px
