// Colour work on whole images: replacing a colour, making the bottom-left
// colour transparent, smoothing the edges of transparent areas, giving
// transparent pixels the colour of a visible neighbour (so filtering at
// the edges blends towards that colour rather than a stray one), and
// alpha taken from another image's brightness.
#pragma once

#include <cstdint>

#include "base/BM32_Bitmap.h"

namespace px {

// Every pixel whose channels each lie within `tolerance` of `colour`'s
// (alpha compared only with `compareAlpha`) takes the replacement's red,
// green and blue, and its alpha with `replaceAlpha`. Colours 0xAARRGGBB.
void ReplaceColor(TBitmap32& image, std::uint32_t colour, std::uint32_t replacement,
                  bool replaceAlpha, bool compareAlpha, int tolerance);
// Pixels of exactly the bottom-left pixel's colour get alpha 0.
void MakeTransparent(TBitmap32& image);
// Around every fully transparent pixel (in reading order, as the scan
// changes them) the neighbours with alpha 32 or more lose 32.
void SmoothEdges(TBitmap32& image);
// Fully transparent pixels take the colour of their left, right, upper or
// lower neighbour, the first of these that is not fully transparent; their
// alpha stays 0.
void FillTransparentColor(TBitmap32& image);
// An image made from a picture at run time: transparency from the
// bottom-left pixel and smoothed edges when asked, then the colour fill
// after transparency.
void PrepareImage(TBitmap32& image, bool transparent, bool smooth);
// Each alpha times the brightness (r + g + b) / 765 of the other image's
// pixel at the same place, over the area both images cover.
void MultiplyAlphaBy(TBitmap32& image, const TBitmap32& other);

}  // namespace px
