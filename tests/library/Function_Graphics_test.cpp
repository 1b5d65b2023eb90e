// Colour functions, the drawing colour and alpha, the errors of the
// drawing functions, and the drawing actions.
#include "library/Function_Graphics.h"

#include <gtest/gtest.h>

#include "graphics/Graphics_TestSupport.h"
#include "world/Instance_Class.h"

using namespace px;
using pxtest::Call;
using pxtest::CallReal;
using pxtest::DeviceRun;
using pxtest::TestRun;

TEST(ColourFunctions, Values) {
  TestRun run;
  const struct {
    const char* name;
    std::vector<double> args;
    double value;
  } cases[] = {
      {"make_color", {255, 128, 1}, 0x0180FF},
      {"make_color_rgb", {0.6, 1.5, 2.5}, 1 + 2 * 256 + 2 * 65536},
      {"make_color", {300, 0, 0}, 300},                // not held to a byte
      {"make_color", {0, 0, 40000}, 40000.0 * 65536},  // nor cut to 32 bits
      {"make_color_hsv", {0, 0, 255}, 0xFFFFFF},
      {"make_color_hsv", {255, 255, 255}, 0x0000FF},  // a full turn is red
      {"make_color_hsv", {85, 255, 255}, 0x00FF00},
      {"make_color_hsv", {170, 255, 255}, 0xFF0000},
      {"make_color_hsv", {256 + 85, 255, 255}, 0x00FF00},  // low byte only
      {"make_color_hsv", {0, 0, 0}, 0},
      {"color_get_red", {0x123456}, 0x56},
      {"color_get_green", {0x123456}, 0x34},
      {"color_get_blue", {0x123456}, 0x12},
      {"color_get_blue", {0x7F123456}, 0x12},
      {"color_get_hue", {0x00FF00}, 85},
      {"color_get_hue", {0xFF0000}, 170},
      {"color_get_hue", {0xFF00FF}, 212},  // 300 degrees
      {"color_get_saturation", {0x8080FF}, 127},
      {"color_get_value", {0x8080FF}, 255},
      {"color_get_hue", {0x808080}, 0},
      {"color_get_saturation", {0x808080}, 0},
      {"merge_color", {0x0000FF, 0xFF0000, 0.5}, 0x800080},
      {"merge_color", {0x000000, 0xFFFFFF, 0.25}, 0x404040},
      {"merge_color", {0x102030, 0x102030, 0.7}, 0x102030},
      {"merge_color", {0x000000, 0x0000FF, 2}, 0x0000FF},  // held to a byte
  };
  for (const auto& c : cases)
    EXPECT_EQ(pxtest::CallReals(run, c.name, c.args), c.value) << c.name << "(" << c.args[0] << ")";
}

TEST(ColourFunctions, DrawingColourCarriesTheAlpha) {
  TestRun run;
  EXPECT_EQ(CallReal(run, "draw_get_color", {}), 0);
  EXPECT_EQ(CallReal(run, "draw_get_alpha", {}), 1);
  EXPECT_EQ(run.rt.display.draw.color(), 0xFF000000u);
  CallReal(run, "draw_set_color", {0x336699});
  EXPECT_EQ(CallReal(run, "draw_get_color", {}), 0x336699);
  EXPECT_EQ(run.rt.display.draw.color(), 0xFF996633u);
  CallReal(run, "draw_set_alpha", {0.5});
  EXPECT_EQ(run.rt.display.draw.color(), 0x80996633u);
  CallReal(run, "draw_set_alpha", {7});
  EXPECT_EQ(CallReal(run, "draw_get_alpha", {}), 1);
  CallReal(run, "draw_set_alpha", {-1});
  EXPECT_EQ(CallReal(run, "draw_get_alpha", {}), 0);
  CallReal(run, "draw_set_color", {0x0000FF});
  EXPECT_EQ(run.rt.display.draw.color(), 0x00FF0000u);
}

TEST(DrawingFunctions, MissingResourcesAreReported) {
  DeviceRun run;
  const struct {
    const char* name;
    std::vector<double> args;
    const char* message;
    double result;
  } cases[] = {
      {"draw_sprite", {3, 0, 0, 0}, "Trying to draw non-existing sprite.", 0},
      {"draw_sprite_ext", {3, 0, 0, 0, 1, 1, 0, 0, 1}, "Trying to draw non-existing sprite.", 0},
      {"draw_sprite_tiled", {-1, 0, 0, 0}, "Trying to draw non-existing sprite.", 0},
      {"draw_background", {0, 0, 0}, "Trying to draw non-existing background.", 0},
      {"draw_background_part", {0, 0, 0, 1, 1, 0, 0}, "Trying to draw non-existing background.", 0},
      {"sprite_get_texture", {3, 0}, "Trying to get texture from non-existing sprite.", -1},
      {"background_get_texture", {3}, "Trying to get texture from non-existing background.", -1},
      {"draw_path", {0, 0, 0, 1}, "Trying to drawn non-existing path.", 0},
  };
  for (const auto& c : cases) {
    run.rt.code.report.last.clear();
    EXPECT_EQ(pxtest::CallReals(run, c.name, c.args), c.result) << c.name;
    EXPECT_NE(run.rt.code.report.last.find(c.message), std::string::npos) << c.name;
  }
}

TEST(DrawingFunctions, TextureFunctions) {
  DeviceRun run;
  run.rt.display.textures.powerOfTwo = true;
  const int back = pxtest::AddBackground(run.rt, TBitmap32(20, 3));
  const double tex = CallReal(run, "background_get_texture", {double(back)});
  EXPECT_EQ(CallReal(run, "texture_exists", {tex}), 1);
  EXPECT_EQ(CallReal(run, "texture_get_width", {tex}), 20.0 / 32);
  EXPECT_EQ(CallReal(run, "texture_get_height", {tex}), 3.0 / 4);
  CallReal(run, "texture_preload", {tex});
  CallReal(run, "texture_set_priority", {tex, 0.5});
  EXPECT_EQ(CallReal(run, "texture_exists", {tex + 1}), 0);
  EXPECT_EQ(CallReal(run, "texture_get_width", {tex + 1}), 1);
  CallReal(run, "texture_preload", {tex + 1});  // nothing to do
  // A sprite without images has no texture to give.
  CSprite empty;
  const int spr = run.rt.resources.sprites.add("empty", empty);
  EXPECT_EQ(CallReal(run, "sprite_get_texture", {double(spr), 0}), -1);
  CallReal(run, "draw_sprite", {double(spr), 0, 0, 0});
}

namespace {

// Calls an action function for an instance, relative or not.
RValue Act(TestRun& run, CInstance& self, std::string_view name, std::vector<double> args,
           bool relative) {
  run.rt.vars.argumentRelative = relative;
  const RValue result = pxtest::CallFor(run, &self, name, args);
  run.rt.vars.argumentRelative = false;
  return result;
}

}  // namespace

TEST(DrawActions, ShapesAtPlacesRelativeToTheInstance) {
  struct Case {
    const char* name;
    std::vector<double> args;
    bool relative;
    std::pair<int, int> lit;
    std::uint32_t colour;
    std::pair<int, int> dark;
  } cases[] = {
      {"action_draw_rectangle", {1, 1, 5, 5, 1}, false, {3, 3}, 0xFFFF0000, {7, 3}},
      {"action_draw_rectangle", {1, 1, 5, 5, 1}, true, {13, 23}, 0xFFFF0000, {3, 3}},
      {"action_draw_rectangle", {1, 1, 5, 5, 0}, false, {1, 3}, 0xFFFF0000, {3, 3}},
      {"action_draw_ellipse", {0, 0, 10, 10, 1}, true, {15, 25}, 0xFFFF0000, {10, 20}},
      {"action_draw_line", {0, 0, 8, 0}, true, {14, 20}, 0xFFFF0000, {14, 21}},
      {"action_draw_arrow", {0, 0, 20, 0, 6}, true, {26, 21}, 0xFFFF0000, {28, 24}},
      {"action_draw_gradient_hor",
       {0, 0, 20, 4, 0x00FF00, 0x00FF00},
       false,
       {10, 2},
       0xFF00FF00,
       {10, 6}},
      {"action_draw_gradient_vert",
       {0, 0, 20, 4, 0x00FF00, 0x00FF00},
       true,
       {20, 22},
       0xFF00FF00,
       {10, 2}},
      {"action_draw_ellipse_gradient",
       {0, 0, 10, 10, 0x00FF00, 0x00FF00},
       false,
       {5, 5},
       0xFF00FF00,
       {0, 0}},
  };
  for (const Case& c : cases) {
    DeviceRun run;
    CInstance self(run.rt.resources, 100001, -1, 10, 20);
    run.device().ClearTarget(0, 1);
    Act(run, self, "action_color", {0x0000FF}, false);
    Act(run, self, c.name, c.args, c.relative);
    EXPECT_EQ(run.Pixel(c.lit.first, c.lit.second), c.colour) << c.name << " " << c.relative;
    EXPECT_EQ(run.Pixel(c.dark.first, c.dark.second), 0xFF000000u) << c.name << " " << c.relative;
  }
}

TEST(DrawActions, GradientsRunAcrossAndDown) {
  DeviceRun run;
  CInstance self(run.rt.resources, 100001, -1, 0, 0);
  run.device().ClearTarget(0, 1);
  Act(run, self, "action_draw_gradient_hor", {0, 0, 40, 10, 0x0000FF, 0xFF0000}, false);
  Act(run, self, "action_draw_gradient_vert", {0, 20, 10, 40, 0x0000FF, 0xFF0000}, false);
  const auto red = [](std::uint32_t p) { return (p >> 16) & 0xFF; };
  EXPECT_GT(red(run.Pixel(1, 5)), 240u);
  EXPECT_LT(red(run.Pixel(39, 5)), 15u);
  EXPECT_GT(red(run.Pixel(5, 21)), 240u);
  EXPECT_LT(red(run.Pixel(5, 39)), 15u);
}

TEST(DrawActions, SpritesBackgroundsAndLives) {
  DeviceRun run;
  const int spr = pxtest::AddSprite(
      run.rt, {pxtest::MakeImage(3, 2, [](int, int) { return 0xFF00FF00u; })}, 1, 0);
  const int back =
      pxtest::AddBackground(run.rt, pxtest::MakeImage(2, 2, [](int, int) { return 0xFFFF0000u; }));
  CInstance self(run.rt.resources, 100001, -1, 10, 20);
  run.device().ClearTarget(0, 1);
  Act(run, self, "action_draw_sprite", {double(spr), 5, 5, 0}, true);
  EXPECT_EQ(run.Pixel(14, 25), 0xFF00FF00u);
  EXPECT_EQ(run.Pixel(17, 25), 0xFF000000u);
  Act(run, self, "action_draw_background", {double(back), 1, 1, 1}, false);  // tiled
  EXPECT_EQ(run.Pixel(63, 47), 0xFFFF0000u);
  run.device().ClearTarget(0, 1);
  run.rt.world.lives = 3;
  Act(run, self, "action_draw_life_images", {1, 1, double(spr)}, false);
  EXPECT_EQ(run.Pixel(0, 1), 0xFF00FF00u);
  EXPECT_EQ(run.Pixel(8, 2), 0xFF00FF00u);
  EXPECT_EQ(run.Pixel(9, 1), 0xFF000000u);

  run.rt.code.report.last.clear();
  Act(run, self, "action_draw_sprite", {9, 0, 0, 0}, false);
  EXPECT_NE(run.rt.code.report.last.find("Trying to draw a non-existing sprite."),
            std::string::npos);
  run.rt.code.report.last.clear();
  Act(run, self, "action_draw_background", {9, 0, 0, 0}, false);
  EXPECT_NE(run.rt.code.report.last.find("Trying to draw a non-existing background."),
            std::string::npos);
}

TEST(DrawActions, HealthFollowsTheGameHealth) {
  DeviceRun run;
  CInstance self(run.rt.resources, 100001, -1, 0, 0);
  const struct {
    double health;
    double back, bar;
    std::uint32_t barColour, backColour;
  } cases[] = {
      {100, 0, 0, 0xFF00FF00, 0xFF000000},  // red to lime: full is lime
      {0, 4, 0, 0xFFFFFFFF, 0xFFFFFFFF},    // nothing of the bar, white back
      {50, 11, 1, 0xFF808080, 0xFFFF0000},  // black to white: half is gray
      {50, 1, 14, 0xFFFFFF00, 0xFF000000},  // yellow
  };
  for (const auto& c : cases) {
    run.device().ClearTarget(0, 1);
    run.rt.world.health = c.health;
    Act(run, self, "action_draw_health", {0, 0, 40, 10, c.back, c.bar}, false);
    if (c.health > 0) {
      EXPECT_EQ(run.Pixel(5, 5), c.barColour) << c.health << " " << c.bar;
    }
    EXPECT_EQ(run.Pixel(35, 5), c.health == 100 ? c.barColour : c.backColour) << c.back;
    EXPECT_EQ(run.Pixel(0, 5), 0xFF000000u);  // the border
  }
}
