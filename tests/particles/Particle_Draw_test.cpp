// Drawing particles headless: shapes, colours over life, additive
// blending, sprite particles, and systems drawn at their depth between
// instances in the room draw.
#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/Graphics_Color.h"
#include "graphics/Graphics_TestSupport.h"
#include "particles/Particle_Main.h"
#include "run/Room_Draw.h"
#include "run/Run_Room.h"
#include "world/World_TestSupport.h"

using namespace px;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000, kYellow = 0xFFFFFF00, kBlack = 0xFF000000;

TBitmap32 Plain(int w, int h, std::uint32_t argb) {
  return pxtest::MakeImage(w, h, [argb](int, int) { return argb; });
}

// A started world in a 64 × 48 black room with a headless device.
class ParticleDrawTest : public ::testing::Test {
 protected:
  ParticleDrawTest() {
    w.rt.settings.showErrors = false;
    w.UseDevice(64, 48);
    obj = w.AddObject("obj");
    CRoom room;
    room.width = 64;
    room.height = 48;
    room.background_color = 0;
    w.rt.resources.rooms.add("rm", room);
    w.rt.resources.roomOrder = {0};
  }
  void SetUp() override {
    ASSERT_TRUE(w.Start());
    GameStart(w.rt);
    ps = Call("part_system_create", {});
  }
  double Call(std::string_view name, std::initializer_list<double> args) {
    return pxtest::CallReal(w.run, name, args);
  }
  // A type of the shape that stays put for a long life.
  double Type(double shape, double size, std::uint32_t color) {
    const double t = Call("part_type_create", {});
    Call("part_type_shape", {t, shape});
    Call("part_type_size", {t, size, size, 0, 0});
    Call("part_type_color1", {t, double(color)});
    return t;
  }
  std::uint32_t Pixel(int x, int y) { return w.Pixel(x, y); }

  pxtest::WorldRun w;
  std::int32_t obj = -1;
  double ps = -1;
};

TEST_F(ParticleDrawTest, ShapesDrawTheirMasks) {
  // At half size a shape covers 32 × 32 pixels around the particle; the
  // texel (8, 8) is inside the square and outside the disk.
  const double square = Type(2, 0.5, 0xFF0000);  // blue
  const double disk = Type(1, 0.5, 0x00FF00);    // green
  Call("part_particles_create", {ps, 16, 24, square, 1});
  Call("part_particles_create", {ps, 48, 24, disk, 1});
  DrawRoom(w.rt);
  EXPECT_EQ(Pixel(16, 24), 0xFF0000FFu);
  EXPECT_EQ(Pixel(16 - 12, 24 - 12), 0xFF0000FFu);
  EXPECT_EQ(Pixel(48, 24), 0xFF00FF00u);
  EXPECT_EQ(Pixel(48 - 12, 24 - 12), kBlack);
  EXPECT_EQ(Pixel(48, 4), kBlack);  // above the quad
}

TEST_F(ParticleDrawTest, ColourOverLifeAdditiveBlendAndDrawOrder) {
  const double fading = Type(2, 0.25, 0);
  Call("part_type_color2", {fading, 0x0000FF, 0xFF0000});
  Call("part_type_life", {fading, 4, 4});
  Call("part_particles_create", {ps, 10, 10, fading, 1});
  // Green added over red gives yellow.
  const double red = Type(2, 0.25, 0x0000FF);
  const double green = Type(2, 0.25, 0x00FF00);
  Call("part_type_blend", {green, 1});
  Call("part_particles_create", {ps, 40, 10, red, 1});
  Call("part_particles_create", {ps, 40, 10, green, 1});
  // Two opaque particles in one place: the newer one covers the older one
  // unless the order is turned round.
  const double blue = Type(2, 0.25, 0xFF0000);
  Call("part_particles_create", {ps, 40, 36, red, 1});
  Call("part_particles_create", {ps, 40, 36, blue, 1});
  Call("part_system_update", {ps});
  Call("part_system_update", {ps});

  DrawRoom(w.rt);
  const std::uint32_t half = MergeColor(0x0000FF, 0xFF0000, 0.5);
  EXPECT_EQ(Pixel(10, 10), VertexColor(half, 1));
  EXPECT_EQ(Pixel(40, 10), kYellow);
  EXPECT_EQ(Pixel(40, 36), 0xFF0000FFu);
  // The blend mode is normal again afterwards.
  EXPECT_EQ(w.rt.display.device.states().blendSrc, kBlendSrcAlpha);
  EXPECT_EQ(w.rt.display.device.states().blendDest, kBlendInvSrcAlpha);

  Call("part_system_draw_order", {ps, 0});
  DrawRoom(w.rt);
  EXPECT_EQ(Pixel(40, 36), kRed);
}

TEST_F(ParticleDrawTest, SystemsDrawAtTheirDepthBetweenInstances) {
  const int red = pxtest::AddSprite(w.rt, {Plain(16, 16, kRed)});
  const int yellow = pxtest::AddSprite(w.rt, {Plain(8, 8, kYellow)});
  CInstance& deep = w.Create(obj, 0, 0);
  deep.sprite_index = red;
  deep.depth = 10;
  CInstance& shallow = w.Create(obj, 0, 0);
  shallow.sprite_index = yellow;
  shallow.depth = -10;
  // A blue square over the whole red one, under the yellow one.
  const double blue = Type(2, 0.5, 0xFF0000);
  Call("part_particles_create", {ps, 8, 8, blue, 1});
  Call("part_system_depth", {ps, 0});
  DrawRoom(w.rt);
  EXPECT_EQ(Pixel(4, 4), kYellow);
  EXPECT_EQ(Pixel(12, 12), 0xFF0000FFu);

  // Deeper than both instances, it is covered by them; drawn by hand only
  // when automatic drawing is off.
  Call("part_system_depth", {ps, 20});
  DrawRoom(w.rt);
  EXPECT_EQ(Pixel(12, 12), kRed);
  Call("part_system_depth", {ps, 0});
  Call("part_system_automatic_draw", {ps, 0});
  DrawRoom(w.rt);
  EXPECT_EQ(Pixel(12, 12), kRed);
  Call("part_system_drawit", {ps});
  EXPECT_EQ(Pixel(4, 4), 0xFF0000FFu);
}

TEST_F(ParticleDrawTest, SystemsWithinAHundredthOfADepthDrawTogether) {
  Particles& p = w.rt.particles.particles;
  const double second = Call("part_system_create", {});
  Call("part_system_depth", {ps, 5});
  Call("part_system_depth", {second, 5.005});
  EXPECT_DOUBLE_EQ(p.HighestDepth(), 5.005);
  EXPECT_DOUBLE_EQ(p.NextDepthBelow(5.005), 5);
  // Drawing at 5.005 draws both: the later system's particle is on top.
  const double red = Type(2, 0.25, 0x0000FF);
  const double blue = Type(2, 0.25, 0xFF0000);
  Call("part_particles_create", {second, 20, 20, red, 1});
  Call("part_particles_create", {ps, 20, 20, blue, 1});
  p.DrawAtDepth(5.005, w.rt.resources.sprites, w.rt.display.draw, w.rt.display.device);
  EXPECT_EQ(Pixel(20, 20), kRed);
}

TEST_F(ParticleDrawTest, SpriteParticlesAnimateOverTheirLife) {
  const int sprite = pxtest::AddSprite(w.rt, {Plain(8, 8, kRed), Plain(8, 8, kYellow)}, 4, 4);
  const double t = Call("part_type_create", {});
  Call("part_type_sprite", {t, double(sprite), 1, 1, 0});
  Call("part_type_life", {t, 4, 4});
  Call("part_particles_create", {ps, 20, 20, t, 1});
  DrawRoom(w.rt);
  EXPECT_EQ(Pixel(20, 20), kRed);
  Call("part_system_update", {ps});
  Call("part_system_update", {ps});  // half its life: the second image
  DrawRoom(w.rt);
  EXPECT_EQ(Pixel(20, 20), kYellow);
}

}  // namespace
