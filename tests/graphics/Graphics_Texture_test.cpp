// The texture table: slots, sizes, filling, and sprite images drawn from
// their textures.
#include "graphics/Graphics_Texture.h"

#include <gtest/gtest.h>

#include "graphics/Graphics_TestSupport.h"

using namespace px;
using pxtest::DeviceRun;
using pxtest::MakeImage;
using pxtest::Pattern;

namespace {

TBitmap32 Solid(int w, int h, std::uint32_t c) {
  return MakeImage(w, h, [c](int, int) { return c; });
}

}  // namespace

TEST(TextureTable, FreedSlotsAreReusedLowestFirst) {
  DeviceRun run;
  TextureTable& table = run.rt.display.textures;
  const int a = table.TextureFromImage(Solid(2, 2, 0xFFFFFFFF));
  const int b = table.TextureFromImage(Solid(3, 1, 0xFFFFFFFF));
  const int c = table.TextureFromImage(Solid(1, 5, 0xFFFFFFFF));
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(c, 2);
  table.DeleteTexture(c);
  table.DeleteTexture(a);
  EXPECT_FALSE(table.TextureExists(a));
  EXPECT_TRUE(table.TextureExists(b));
  EXPECT_EQ(table.TextureFromImage(Solid(4, 4, 0xFFFFFFFF)), a);
  EXPECT_EQ(table.TextureFromImage(Solid(4, 4, 0xFFFFFFFF)), c);
  EXPECT_EQ(table.TextureFromImage(Solid(4, 4, 0xFFFFFFFF)), 3);
  EXPECT_EQ(table.Get(a)->width, 4);
  table.DeleteTexture(17);  // nothing there
  table.DeleteTexture(-1);
  EXPECT_EQ(table.slotCount(), 4);
}

TEST(TextureTable, SizesAndScales) {
  struct Case {
    bool powerOfTwo;
    int w, h;
    int tw, th;
  } cases[] = {
      {false, 3, 5, 3, 5},
      {true, 3, 5, 4, 8},
      {true, 16, 1, 16, 1},
      {true, 17, 33, 32, 64},
  };
  for (const Case& c : cases) {
    DeviceRun run;
    TextureTable& table = run.rt.display.textures;
    table.powerOfTwo = c.powerOfTwo;
    const int id = table.TextureFromImage(Solid(c.w, c.h, 0xFF00FF00));
    ASSERT_GE(id, 0);
    EXPECT_EQ(table.Get(id)->textureWidth, c.tw) << c.w;
    EXPECT_EQ(table.Get(id)->textureHeight, c.th) << c.h;
    EXPECT_DOUBLE_EQ(table.UScale(id), double(c.w) / c.tw);
    EXPECT_DOUBLE_EQ(table.VScale(id), double(c.h) / c.th);
  }
  DeviceRun run;
  EXPECT_EQ(run.rt.display.textures.UScale(5), 1.0);
  EXPECT_EQ(run.rt.display.textures.VScale(-1), 1.0);
  EXPECT_EQ(run.rt.display.textures.NewTexture(0, 4), -1);
  EXPECT_EQ(run.rt.display.textures.NewTexture(1 << 20, 4), -1);
}

TEST(TextureTable, EnlargedTexturesRepeatTheLastColumnAndRow) {
  // A 3 × 2 image on a 4 × 4 texture: the part reaching one texel past the
  // image on each side shows the copied column and row.
  DeviceRun run;
  TextureTable& table = run.rt.display.textures;
  table.powerOfTwo = true;
  const int id =
      table.TextureFromImage(MakeImage(3, 2, [](int x, int y) { return Pattern(1, x, y); }));
  run.device().ClearTarget(0, 1);
  run.rt.display.draw.TexturePartExt(id, 0, 0, 4, 3, 10, 10, 1, 1, 0, 0xFFFFFF, 1);
  const TBitmap32 frame = run.Frame();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(frame.GetPixel(10 + x, 10 + y), Pattern(1, std::min(x, 2), std::min(y, 1)))
          << x << "," << y;
}

TEST(TextureTable, TextureFromAlphaIsWhite) {
  DeviceRun run;
  const std::uint8_t alpha[] = {0, 255, 128, 64};
  const int id = run.rt.display.textures.TextureFromAlpha(2, 2, alpha);
  ASSERT_GE(id, 0);
  run.device().ClearTarget(0, 1);
  run.rt.display.draw.TextureQuad(id, 0, 0);
  const TBitmap32 frame = run.Frame();
  EXPECT_EQ(frame.GetPixel(0, 0), 0xFF000000u);
  EXPECT_EQ(frame.GetPixel(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(frame.GetPixel(0, 1), 0xFF808080u);
  EXPECT_EQ(frame.GetPixel(1, 1), 0xFF404040u);
  EXPECT_EQ(run.rt.display.textures.TextureFromAlpha(2, 2, std::span(alpha, 3)), -1);
}

TEST(TextureTable, HundredImagesOfOddSizesEachDrawExactly) {
  for (const bool powerOfTwo : {false, true}) {
    DeviceRun run;
    run.rt.display.textures.powerOfTwo = powerOfTwo;
    std::vector<TBitmap32> images;
    for (int i = 0; i < 100; ++i) {
      const int w = 1 + 2 * (i % 11), h = 1 + 2 * (i * 7 % 13);
      images.push_back(MakeImage(w, h, [i](int x, int y) { return Pattern(i, x, y); }));
    }
    const int spr = pxtest::AddSprite(run.rt, images, 2, 1);
    for (int i = 0; i < 100; ++i) {
      run.device().ClearTarget(0, 1);
      pxtest::CallReal(run, "draw_sprite", {double(spr), double(i), 7, 6});
      const TBitmap32 frame = run.Frame();
      const int w = images[i].width(), h = images[i].height();
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
          const bool inside = x >= 5 && x < 5 + w && y >= 5 && y < 5 + h;
          const std::uint32_t want = inside ? Pattern(i, x - 5, y - 5) : 0xFF000000u;
          ASSERT_EQ(frame.GetPixel(x, y), want)
              << "image " << i << " (" << w << "x" << h << ") at " << x << "," << y
              << (powerOfTwo ? " power of two" : "");
        }
    }
  }
}

TEST(TextureTable, ResourceTexturesAreMadeAgainAfterTheContextIsLost) {
  DeviceRun run;
  run.rt.display.onCreateTextures = [&] {
    MakeResourceTextures(run.rt.display.textures, run.rt.resources);
  };
  const int back =
      pxtest::AddBackground(run.rt, MakeImage(2, 2, [](int x, int y) { return Pattern(3, x, y); }));
  const int spr =
      pxtest::AddSprite(run.rt, {MakeImage(1, 1, [](int, int) { return 0xFF123456u; }),
                                 MakeImage(3, 3, [](int, int) { return 0xFF654321u; })});
  // As after the set-up: a lost context empties the table and the
  // resources get textures again, each its own.
  ASSERT_TRUE(run.rt.display.Setup(run.rt.settings, "test"));
  run.device().onTexturesLost();
  const CSprite& s = *run.rt.resources.sprites.get(spr);
  ASSERT_EQ(s.textures.size(), 2u);
  const int bt = run.rt.resources.backgrounds.get(back)->texture;
  EXPECT_TRUE(run.rt.display.textures.TextureExists(bt));
  EXPECT_NE(bt, s.textures[0]);
  EXPECT_NE(s.textures[0], s.textures[1]);
  EXPECT_EQ(run.rt.display.textures.Get(s.textures[1])->width, 3);
  EXPECT_EQ(run.rt.display.textures.Get(bt)->width, 2);
}
