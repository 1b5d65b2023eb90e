// Sprites and backgrounds at run time on a real device: a picture loaded
// and drawn, its precise mask in a collision, and images taken from the
// screen.
#include <gtest/gtest.h>

#include "graphics/Graphics_TestSupport.h"
#include "system/File_TestSupport.h"
#include "world/World_TestSupport.h"

namespace {

using namespace px;
using pxtest::Real;
using pxtest::Str;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlack = 0xFF000000;

// 8 × 8 white with a red 4 × 4 square at (2, 2); the bottom-left pixel is
// white, so loading it transparent leaves only the square.
void WriteSquarePng(const std::filesystem::path& file) {
  TBitmap32 image;
  image.SetSizeFilled(8, 8, kWhite);
  for (int y = 2; y < 6; ++y)
    for (int x = 2; x < 6; ++x) image.SetPixel(x, y, kRed);
  ASSERT_TRUE(image.SavePNG(file.string()));
}

double AddSquare(pxtest::TestRun& run, double transparent) {
  return pxtest::Call(run, "sprite_add",
                      {Str("square.png"), Real(1), Real(transparent), Real(0), Real(0), Real(0)})
      .real;
}

TEST(SpriteOnScreen, APictureLoadedAtRunTimeIsDrawnWithItsTransparency) {
  pxtest::InScratchDir dir;
  WriteSquarePng(dir.path() / "square.png");
  pxtest::DeviceRun run;
  const double s = AddSquare(run, 1);
  ASSERT_EQ(s, 0);
  run.device().ClearTarget(0x000000, 1);
  pxtest::CallReals(run, "draw_sprite", {s, 0, 10, 20});
  EXPECT_EQ(run.Pixel(13, 23), kRed);
  EXPECT_EQ(run.Pixel(15, 25), kRed);
  EXPECT_EQ(run.Pixel(10, 20), kBlack);  // transparent corner
  EXPECT_EQ(run.Pixel(16, 26), kBlack);

  // Replacing the sprite remakes its texture: now drawn opaque.
  pxtest::Call(run, "sprite_replace",
               {Real(s), Str("square.png"), Real(1), Real(0), Real(0), Real(0), Real(0)});
  pxtest::CallReals(run, "draw_sprite", {s, 0, 10, 20});
  EXPECT_EQ(run.Pixel(10, 20), kWhite);
}

TEST(SpriteOnScreen, ScreenFormsTakeTheBackBufferAndTheirOwnTransparencyRule) {
  pxtest::DeviceRun run;
  run.rt.settings.showErrors = false;
  run.device().ClearTarget(0x0000FF, 1);  // red everywhere
  run.Fill(4, 4, 8, 8, 0xFF00FF00);       // a green square at (4, 4)
  // Transparent 0.5 keeps the sprite opaque but makes the background
  // transparent: the bottom-left pixel (red) goes.
  const double s = pxtest::CallReals(run, "sprite_create_from_screen", {2, 2, 8, 8, 0.5, 0, 1, 2});
  const double b = pxtest::CallReals(run, "background_create_from_screen", {2, 2, 8, 8, 0.5, 0});
  const CSprite& sprite = *run.rt.resources.sprites.get(static_cast<int>(s));
  const CBackground& background = *run.rt.resources.backgrounds.get(static_cast<int>(b));
  ASSERT_EQ(sprite.images.size(), 1u);
  EXPECT_EQ(sprite.images[0].width(), 8);
  EXPECT_EQ(sprite.images[0].GetPixel(0, 0), kRed);
  EXPECT_EQ(sprite.images[0].GetPixel(3, 3), 0xFF00FF00u);
  EXPECT_EQ(sprite.xoffset, 1);
  EXPECT_EQ(sprite.yoffset, 2);
  EXPECT_EQ(background.image.GetPixel(0, 0) >> 24, 0u);
  EXPECT_EQ(background.image.GetPixel(3, 3), 0xFF00FF00u);

  // Added images take the sprite's size; a sprite that is missing is reported.
  pxtest::CallReals(run, "sprite_add_from_screen", {s, 0, 0, 20, 20, 0, 0});
  EXPECT_EQ(sprite.images.size(), 2u);
  EXPECT_EQ(sprite.images[1].width(), 8);
  EXPECT_EQ(sprite.images[1].height(), 8);
}

TEST(SpriteOnScreen, ThePreciseMaskOfALoadedSpriteDecidesCollisions) {
  pxtest::InScratchDir dir;
  WriteSquarePng(dir.path() / "square.png");
  pxtest::WorldRun w;
  const std::int32_t obj = w.AddObject("obj_block");
  ASSERT_TRUE(w.Start());
  const double s = AddSquare(w.run, 1);
  pxtest::CallReals(w.run, "object_set_sprite", {double(obj), s});
  CInstance& inst = w.Create(obj, 100, 100);
  const struct {
    double x, y;
    bool hit;
  } cases[] = {{103, 103, true}, {105, 105, true}, {101, 101, false}, {106, 103, false}};
  for (const auto& c : cases) {
    const double found = pxtest::CallReals(w.run, "collision_point", {c.x, c.y, double(obj), 1, 0});
    EXPECT_EQ(found, c.hit ? inst.id : -4) << c.x << "," << c.y;
  }
  // Deleting the sprite leaves the instance without a shape, safely.
  pxtest::CallReals(w.run, "sprite_delete", {s});
  EXPECT_EQ(pxtest::CallReals(w.run, "collision_point", {103, 103, double(obj), 1, 0}), -4);
}

}  // namespace
