// Solid and gradient images made by game code: a gradient runs between two
// colours across, down, from the rim to the centre or from a corner, drawn
// on a canvas first filled with the first colour.
#pragma once

#include <cstdint>

#include "base/BM32_Bitmap.h"

namespace px {

// Colours here are as game code writes them: red in the lowest byte, green
// in the next, blue in the third.

// w × h pixels of the colour, opaque; empty when a side is not above 0 or
// the image would exceed TBitmap32::kMaxPixels.
TBitmap32 SolidImage(int w, int h, std::uint32_t colour);

// A gradient of kind 0..11 on a max(w, 1) × max(h, 1) canvas filled with
// colour1 (any other kind leaves only the fill); opaque. Kinds: 0 across,
// 1 down, 2 rectangles and 3 ellipses from the rim inwards, 4 from both
// sides to the middle column, 5 from top and bottom to the middle row,
// 6 and 7 diagonal, 8..11 circles around the top-left, top-right,
// bottom-left and bottom-right corners. Empty when the canvas would exceed
// TBitmap32::kMaxPixels.
TBitmap32 GradientImage(int w, int h, std::uint32_t colour1, std::uint32_t colour2, int kind);

}  // namespace px
