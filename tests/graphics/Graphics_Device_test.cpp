#include <gtest/gtest.h>

#include "graphics/Graphics_D3D.h"
#include "graphics/Graphics_TestSupport.h"

using namespace px;
using pxtest::DeviceRun;
using pxtest::Near;

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

TEST(Device, LinearFogByDistanceFromTheEye) {
  // 2D drawing lies 16000 in front of the eye. Fog colour blue, vertex red.
  struct Case {
    float start, end;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {20000, 30000, 0xFFFF0000},  // nearer than the start: no fog
      {0, 32000, 0xFF800080},      // half way
      {0, 16000, 0xFF0000FF},      // at the end: all fog
      {8000, 24000, 0xFF800080},   // half way between start and end
  };
  for (const Case& c : cases) {
    DeviceRun run;
    run.device().ClearTarget(0, 1);
    run.device().SetFog(true, 0xFF0000, c.start, c.end);
    run.Fill(0, 0, 4, 4, 0xFFFF0000);
    EXPECT_TRUE(Near(run.Pixel(1, 1), c.expected, 1)) << c.start << ".." << c.end;
  }
  DeviceRun off;
  off.device().SetFog(true, 0xFF0000, 0, 16000);
  off.device().SetFog(false, 0xFF0000, 0, 16000);
  off.Fill(0, 0, 4, 4, 0xFFFF0000);
  EXPECT_EQ(off.Pixel(1, 1), 0xFFFF0000u);
}

TEST(Device, ProjectionShowsTheViewRectangleInTheViewport) {
  DeviceRun run;
  run.device().ClearTarget(0, 1);
  // Room rectangle (100, 50, 32, 24) shown at twice its size.
  run.device().SetViewport(0, 0, 64, 48);
  run.device().SetProjection2D(100, 50, 32, 24, 0);
  run.Fill(100, 50, 101, 51, 0xFFFFFFFF);  // the view's top-left room pixel
  EXPECT_EQ(run.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(run.Pixel(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(run.Pixel(2, 2), 0xFF000000u);
  // Turned half round, the top-left room pixel shows at the bottom right.
  run.device().ClearTarget(0, 1);
  run.device().SetProjection2D(100, 50, 32, 24, 180);
  run.Fill(100, 50, 101, 51, 0xFFFFFFFF);
  EXPECT_EQ(run.Pixel(63, 47), 0xFFFFFFFFu);
  EXPECT_EQ(run.Pixel(0, 0), 0xFF000000u);
}

TEST(Device, ReadBackBufferClipsToTheUsedPart) {
  DeviceRun run;  // 64 x 48 used
  run.device().ClearTarget(0x00FF00, 1);
  const auto all = run.device().ReadBackBuffer(-5, -5, 1000, 1000);
  ASSERT_TRUE(all);
  EXPECT_EQ(all->width(), 64);
  EXPECT_EQ(all->height(), 48);
  EXPECT_EQ(all->GetPixel(63, 47), 0xFF00FF00u);
  const auto corner = run.device().ReadBackBuffer(60, 40, 10, 10);
  ASSERT_TRUE(corner);
  EXPECT_EQ(corner->width(), 4);
  EXPECT_EQ(corner->height(), 8);
  EXPECT_FALSE(run.device().ReadBackBuffer(64, 0, 1, 1));
  EXPECT_FALSE(run.device().ReadBackBuffer(0, 0, 0, 5));
}

TEST(Device, DepthOfTwoDimensionalDrawing) {
  DeviceRun run;
  run.device().SetDepth(500);
  EXPECT_EQ(run.device().depth(), 0);  // 2D: everything at z = 0
  run.device().SetMode3D(true);
  run.device().SetDepth(500);
  EXPECT_EQ(run.device().depth(), 500);
  run.device().SetDepth(-20000);
  EXPECT_EQ(run.device().depth(), -16000);
  run.device().SetDepth(17000);
  EXPECT_EQ(run.device().depth(), 16000);
}

TEST(Device, HiddenSurfaceRemovalWithTheDepthBufferOf3DMode) {
  DeviceRun run;
  run.device().SetMode3D(true);
  ASSERT_TRUE(run.device().Reset());
  run.device().SetHidden(true);
  run.device().ClearTarget(0, 1);
  run.device().ClearDepth();
  run.Fill(0, 0, 4, 4, 0xFFFF0000, -100);  // nearer
  run.Fill(0, 0, 4, 4, 0xFF00FF00, 100);   // behind it: hidden
  run.Fill(0, 0, 4, 4, 0x000000FF, -200);  // fully transparent: skipped
  EXPECT_EQ(run.Pixel(1, 1), 0xFFFF0000u);
  // Without hidden-surface removal the later drawing wins.
  run.device().SetHidden(false);
  run.Fill(0, 0, 4, 4, 0xFF00FF00, 100);
  EXPECT_EQ(run.Pixel(1, 1), 0xFF00FF00u);
}

TEST(Device, CullingDropsCounterClockwiseTriangles) {
  DeviceRun run;
  run.device().ClearTarget(0, 1);
  run.device().SetCulling(true);
  // On screen (y down): clockwise, then counter-clockwise.
  const ColorVertex clockwise[] = {
      {0, 0, 0, 0xFFFF0000}, {8, 0, 0, 0xFFFF0000}, {0, 8, 0, 0xFFFF0000}};
  const ColorVertex counter[] = {
      {20, 0, 0, 0xFFFF0000}, {20, 8, 0, 0xFFFF0000}, {28, 0, 0, 0xFFFF0000}};
  run.device().Draw(PrimitiveType::TriangleList, clockwise);
  run.device().Draw(PrimitiveType::TriangleList, counter);
  EXPECT_EQ(run.Pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(run.Pixel(21, 1), 0xFF000000u);
  run.device().SetCulling(false);
  run.device().Draw(PrimitiveType::TriangleList, counter);
  EXPECT_EQ(run.Pixel(21, 1), 0xFFFF0000u);
}

TEST(Device, FlatShadingTakesTheFirstVertexColour) {
  DeviceRun run;
  run.device().ClearTarget(0, 1);
  run.device().SetShading(false);
  const ColorVertex v[] = {{0, 0, 0, 0xFFFF0000}, {16, 0, 0, 0xFF00FF00}, {0, 16, 0, 0xFF0000FF}};
  run.device().Draw(PrimitiveType::TriangleList, v);
  EXPECT_EQ(run.Pixel(5, 5), 0xFFFF0000u);
  run.device().SetShading(true);
  run.device().Draw(PrimitiveType::TriangleList, v);
  EXPECT_NE(run.Pixel(5, 5), 0xFFFF0000u);
}

TEST(Device, ResetKeepsStatesAndTransforms) {
  DeviceRun run;
  run.device().SetBlendMode(1);
  run.device().SetViewport(0, 0, 64, 48);
  run.device().SetProjection2D(100, 50, 64, 48, 0);
  ASSERT_TRUE(run.device().Reset());
  run.device().ClearTarget(0x404040, 1);
  run.Fill(100, 50, 104, 54, 0x80FF0000);
  EXPECT_TRUE(Near(run.Pixel(1, 1), 0xFFC04040, 1));  // additive, at the same place
}

TEST(Device, WithoutADeviceNothingHappens) {
  pxtest::TestRun run;
  Device& device = run.rt.display.device;
  EXPECT_FALSE(device.BeginFrame());
  EXPECT_FALSE(device.EndFramePresent({0, 0, 8, 8}, 0));
  EXPECT_FALSE(device.PresentOnly({0, 0, 8, 8}, 0));
  EXPECT_FALSE(device.Reset());
  device.ClearTarget(0, 1);
  device.SetBlendMode(1);
  EXPECT_EQ(device.states().blendDest, kBlendOne);
  EXPECT_FALSE(device.ReadBackBuffer(0, 0, 1, 1));
}

TEST(Device, HeadlessScreenRefusesOtherColourDepths) {
  pxtest::TestRun run;
  // The headless screen offers 16 and 32 bits only; a mode of 24 is refused
  // before any change, so the device is made.
  EXPECT_FALSE(run.platform->changeDisplayMode({0, 0, 24, 0}, false));
  GameWindow* window = run.rt.display.window();
  ASSERT_TRUE(window);
  EXPECT_TRUE(run.rt.display.device.Create(*window, 640, 480, false, "t"));
  EXPECT_EQ(run.rt.display.device.backBuffer(), (Size{640, 480}));
  EXPECT_TRUE(run.out.str().empty());
}

TEST(Device, UsedBackBufferIsCutToTheScreen) {
  pxtest::TestRun run;
  ASSERT_TRUE(run.platform->changeDisplayMode({800, 600, 0, 0}, false));
  EXPECT_TRUE(run.rt.display.device.Create(*run.rt.display.window(), 1024, 500, false, "t"));
  EXPECT_EQ(run.rt.display.device.backBuffer(), (Size{800, 500}));
  run.rt.display.device.ResizeBackBuffer(2000, 2000);
  EXPECT_EQ(run.rt.display.device.backBuffer(), (Size{800, 600}));
}

TEST(VertexColor, AlphaRoundedAndClamped) {
  EXPECT_EQ(VertexColor(0x0000FF, 1.0), 0xFFFF0000u);
  EXPECT_EQ(VertexColor(0xFF0000, 0.0), 0x000000FFu);
  EXPECT_EQ(VertexColor(0x123456, 0.5), 0x80563412u);  // 127.5 rounds to even 128
  EXPECT_EQ(VertexColor(0, 2.0), 0xFF000000u);
  EXPECT_EQ(VertexColor(0, -1.0), 0x00000000u);
}

TEST(Device, LostContextIsMadeAgainWithTheTextures) {
  DeviceRun run;
  int textureRebuilds = 0, surfaceLosses = 0;
  run.device().onTexturesLost = [&] { ++textureRebuilds; };
  run.device().onSurfacesLost = [&] { ++surfaceLosses; };
  run.device().SetBlendMode(1);
  // The context goes, as after a reset of the graphics device.
  ASSERT_TRUE(run.rt.display.window()->recreateContext());
  EXPECT_FALSE(run.rt.display.EndFramePresent());  // the failed present resets the device
  EXPECT_EQ(textureRebuilds, 1);
  EXPECT_EQ(surfaceLosses, 1);
  EXPECT_TRUE(run.device().BeginFrame());
  run.device().ClearTarget(0x404040, 1);
  run.Fill(0, 0, 4, 4, 0x80FF0000);
  EXPECT_TRUE(Near(run.Pixel(1, 1), 0xFFC04040, 1));  // still additive
  EXPECT_TRUE(run.rt.display.EndFramePresent());
  // A reset without a loss keeps the textures.
  ASSERT_TRUE(run.device().Reset());
  EXPECT_EQ(textureRebuilds, 1);
  EXPECT_EQ(surfaceLosses, 2);
}
