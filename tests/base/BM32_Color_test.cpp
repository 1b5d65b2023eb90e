// Preparing images: transparency from the corner colour, smoothed edges,
// the colour of transparent pixels, and alpha from another image.
#include "base/BM32_Color.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace px;

namespace {

// An image from rows of letters: each letter one colour, alpha 255.
TBitmap32 Image(const std::vector<std::string>& rows) {
  TBitmap32 image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const char c = rows[y][x];
      image.SetPixel(
          x, y, c == 'k' ? 0xFF000000u : 0xFF000000u | static_cast<std::uint32_t>(c) * 0x010101u);
    }
  return image;
}

std::vector<int> Alphas(const TBitmap32& image) {
  std::vector<int> a;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      a.push_back(static_cast<int>(image.GetPixel(x, y) >> 24));
  return a;
}

}  // namespace

TEST(ImagePreparation, BottomLeftColourBecomesTransparent) {
  TBitmap32 image = Image({"abk", "kba", "kkb"});
  MakeTransparent(image);
  EXPECT_EQ(Alphas(image), (std::vector<int>{255, 255, 0, 0, 255, 255, 0, 0, 255}));
  EXPECT_EQ(image.GetPixel(2, 0), 0x00000000u);  // colour bytes kept
  // The corner's alpha is not compared: a half-transparent pixel of the
  // same colour matches too.
  TBitmap32 half = Image({"ab", "ba"});
  half.SetPixel(1, 0, 0x80000000u | ('b' * 0x010101u));
  MakeTransparent(half);
  EXPECT_EQ(Alphas(half), (std::vector<int>{255, 0, 0, 255}));
}

TEST(ImagePreparation, ReplaceColorWithinTolerance) {
  struct Case {
    std::uint32_t pixel;
    int tolerance;
    bool compareAlpha;
    bool replaced;
  } cases[] = {
      {0xFF102030, 0, false, true}, {0xFF112030, 0, false, false}, {0xFF112030, 1, false, true},
      {0x10102030, 0, false, true}, {0x10102030, 0, true, false},  {0xFF0E2232, 2, true, true},
      {0xFF0D2030, 2, true, false},
  };
  for (const Case& c : cases) {
    TBitmap32 image(1, 1);
    image.SetPixel(0, 0, c.pixel);
    ReplaceColor(image, 0xFF102030, 0x40ABCDEF, true, c.compareAlpha, c.tolerance);
    EXPECT_EQ(image.GetPixel(0, 0), c.replaced ? 0x40ABCDEFu : c.pixel) << std::hex << c.pixel;
  }
  TBitmap32 image(1, 1);
  image.SetPixel(0, 0, 0x77102030);
  ReplaceColor(image, 0xFF102030, 0x40ABCDEF, false, false, 0);
  EXPECT_EQ(image.GetPixel(0, 0), 0x77ABCDEFu);  // alpha kept
}

TEST(ImagePreparation, SmoothingWorksInPlaceAroundTransparentPixels) {
  // One transparent pixel in the top-left corner of opaque 4 × 1, and a
  // pixel of alpha 32 next to it, which reaches 0 and spreads in turn.
  TBitmap32 image(4, 1);
  for (int x = 0; x < 4; ++x) image.SetPixel(x, 0, 0xFF808080);
  image.SetPixel(0, 0, 0x00808080);
  image.SetPixel(1, 0, 0x20808080);
  SmoothEdges(image);
  EXPECT_EQ(Alphas(image), (std::vector<int>{0, 0, 223, 255}));

  TBitmap32 square(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) square.SetPixel(x, y, 0xFFFFFFFF);
  square.SetPixel(1, 1, 0x00FFFFFF);
  SmoothEdges(square);
  EXPECT_EQ(Alphas(square), (std::vector<int>{223, 223, 223, 223, 0, 223, 223, 223, 223}));
}

TEST(ImagePreparation, TransparentPixelsTakeANeighboursColour) {
  // Left first, then right, above, below; only visible neighbours count.
  TBitmap32 image(3, 3);
  const std::uint32_t pixels[9] = {0x00000001, 0xFF0000AA, 0x00000002,  //
                                   0x00000003, 0x00000004, 0xFF0000BB,  //
                                   0x00000005, 0xFF0000CC, 0x00000006};
  for (int i = 0; i < 9; ++i) image.SetPixel(i % 3, i / 3, pixels[i]);
  FillTransparentColor(image);
  const std::uint32_t want[9] = {0x000000AA, 0xFF0000AA, 0x000000AA,  // right, left
                                 0x00000003, 0x000000BB, 0xFF0000BB,  // none; right
                                 0x000000CC, 0xFF0000CC, 0x000000CC};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(image.GetPixel(i % 3, i / 3), want[i]) << i;
}

TEST(ImagePreparation, PrepareAppliesTheStepsAsAsked) {
  const TBitmap32 source = Image({"abc", "kbc", "kkc"});
  TBitmap32 none = source;
  PrepareImage(none, false, true);  // nothing transparent: smoothing finds nothing
  EXPECT_EQ(none, source);
  TBitmap32 both = source;
  PrepareImage(both, true, true);
  EXPECT_EQ(Alphas(both), (std::vector<int>{223, 223, 255, 0, 159, 223, 0, 0, 223}));
  // The transparent pixels took their right neighbours' colours.
  EXPECT_EQ(both.GetPixel(0, 1) & 0xFFFFFF, 'b' * 0x010101u);
}

TEST(ImagePreparation, AlphaFromBrightnessOverTheCommonArea) {
  TBitmap32 image(2, 2);
  for (int i = 0; i < 4; ++i) image.SetPixel(i % 2, i / 2, 0xFF336699);
  TBitmap32 other(1, 2);
  other.SetPixel(0, 0, 0xFFFFFFFF);
  other.SetPixel(0, 1, 0xFF808080);
  MultiplyAlphaBy(image, other);
  EXPECT_EQ(Alphas(image), (std::vector<int>{255, 255, 128, 255}));
  EXPECT_EQ(image.GetPixel(0, 1) & 0xFFFFFF, 0x336699u);
}
