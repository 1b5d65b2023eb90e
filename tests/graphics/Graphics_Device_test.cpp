#include "graphics/Graphics_D3D.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "graphics/Graphics_TestSupport.h"

using namespace px;
using pxtest::DeviceRun;

namespace {

// Each channel of a against b, within `slack`.
::testing::AssertionResult Near(std::uint32_t a, std::uint32_t b, int slack) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(x - y) > slack) {
      char text[64];
      std::snprintf(text, sizeof text, "%08X is not near %08X", a, b);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(Device, ClearsTheTargetAndReadsItBackOpaque) {
  DeviceRun run;
  run.device().ClearTarget(0x336699, 0.0);  // 0xBBGGRR
  EXPECT_EQ(run.Pixel(0, 0), 0xFF996633u);
  EXPECT_EQ(run.Pixel(63, 47), 0xFF996633u);
}

TEST(Device, ClearingKeepsToTheViewport) {
  DeviceRun run;
  run.device().ClearTarget(0x000000, 1);
  run.device().SetViewport(10, 5, 20, 10);
  run.device().ClearTarget(0x0000FF, 1);
  EXPECT_EQ(run.Pixel(10, 5), 0xFFFF0000u);
  EXPECT_EQ(run.Pixel(29, 14), 0xFFFF0000u);
  EXPECT_EQ(run.Pixel(9, 5), 0xFF000000u);
  EXPECT_EQ(run.Pixel(30, 14), 0xFF000000u);
  EXPECT_EQ(run.Pixel(10, 15), 0xFF000000u);
}

TEST(Device, RectanglesCoverTheirPixelsExactly) {
  // Pixel centres lie on integer coordinates: a rectangle from (2, 3) to
  // (6, 5) covers columns 2..5 and rows 3..4 (top-left fill rule).
  DeviceRun run;
  run.device().ClearTarget(0, 1);
  run.Fill(2, 3, 6, 5, 0xFFFFFFFF);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(run.Pixel(x, y), inside ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
    }
}

TEST(Device, PointsAndLinesLightTheirPixels) {
  DeviceRun run;
  run.device().ClearTarget(0, 1);
  const ColorVertex point[] = {{7, 9, 0, 0xFF00FF00}};
  run.device().Draw(PrimitiveType::PointList, point);
  const ColorVertex line[] = {{0, 20, 0, 0xFFFF0000}, {10, 20, 0, 0xFFFF0000}};
  run.device().Draw(PrimitiveType::LineList, line);
  EXPECT_EQ(run.Pixel(7, 9), 0xFF00FF00u);
  EXPECT_EQ(run.Pixel(8, 9), 0xFF000000u);
  EXPECT_EQ(run.Pixel(6, 9), 0xFF000000u);
  EXPECT_EQ(run.Pixel(0, 20), 0xFFFF0000u);
  EXPECT_EQ(run.Pixel(9, 20), 0xFFFF0000u);
  EXPECT_EQ(run.Pixel(10, 20), 0xFF000000u);
  EXPECT_EQ(run.Pixel(5, 19), 0xFF000000u);
}

TEST(Device, BlendModes) {
  // Destination 0x404040 grey, source red 0xFF2000 (as 0xRRGGBB) at alpha 0.5.
  struct Case {
    int mode;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0, 0xFFA03020},  // normal: src × a + dst × (1 − a)
      {1, 0xFFC05040},  // add: src × a + dst
      {2, 0xFF804840},  // max: src × a + dst × (1 − src colour)
      {3, 0xFF003840},  // subtract: dst × (1 − src colour)
      {7, 0xFFA03020},  // any other: normal
  };
  for (const Case& c : cases) {
    DeviceRun run;
    run.device().ClearTarget(0x404040, 1);
    run.device().SetBlendMode(c.mode);
    run.Fill(0, 0, 4, 4, 0x80FF2000);
    EXPECT_TRUE(Near(run.Pixel(1, 1), c.expected, 1)) << "mode " << c.mode;
  }
}

TEST(Device, BlendFactorPairs) {
  // Destination (R, G, B) = (0x40, 0x80, 0xC0); source (0xFF, 0x80, 0x00) at alpha 0x40.
  struct Case {
    int src, dest;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {1, 2, 0xFF4080C0},   // zero, one: the destination
      {2, 1, 0xFFFF8000},   // one, zero: the source
      {2, 2, 0xFFFFFFC0},   // one, one: saturating sum
      {3, 1, 0xFFFF4000},   // source colour, zero: src²
      {4, 1, 0xFF004000},   // inverse source colour, zero
      {5, 1, 0xFF402000},   // source alpha, zero
      {6, 1, 0xFFBF6000},   // inverse source alpha, zero
      {7, 1, 0xFFFF8000},   // destination alpha (1 without an alpha channel)
      {8, 1, 0xFF000000},   // inverse destination alpha
      {9, 1, 0xFF404000},   // destination colour
      {10, 1, 0xFFBF4000},  // inverse destination colour
      {11, 1, 0xFF000000},  // source alpha saturated: min(a, 1 − dest alpha) = 0
      {1, 3, 0xFF404000},   // zero, source colour
      {1, 9, 0xFF104091},   // zero, destination colour: dst²
      {12, 1, 0xFF708090},  // both source alpha: src × a + dst × (1 − a), dest ignored
  };
  for (const Case& c : cases) {
    DeviceRun run;
    run.device().ClearTarget(0xC08040, 1);
    run.device().SetBlendFactors(c.src, c.dest);
    run.Fill(0, 0, 4, 4, 0x40FF8000);
    EXPECT_TRUE(Near(run.Pixel(1, 1), c.expected, 1)) << c.src << "," << c.dest;
  }
}
