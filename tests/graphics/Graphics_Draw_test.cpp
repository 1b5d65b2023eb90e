// Pixels of the textured quads, tiled drawing and the primitives, drawn
// headless and read back. Without filtering every pixel is exact; with
// filtering, within a stated tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "graphics/Graphics_TestSupport.h"
#include "resources/Path_Class.h"
#include "world/Instance_Class.h"

using namespace px;
using pxtest::CallReal;
using pxtest::DeviceRun;
using pxtest::MakeImage;
using pxtest::Near;
using pxtest::Pattern;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;

// What a screen pixel shows: a texel (x, y) of the 4 × 4 test image, or
// nothing (the black clear colour).
using Expect = std::function<std::optional<std::pair<int, int>>(int, int)>;

std::optional<std::pair<int, int>> In(int ix, int iy) {
  if (ix < 0 || iy < 0 || ix > 3 || iy > 3) return std::nullopt;
  return std::pair{ix, iy};
}

// A run with a 4 × 4 sprite (origin 1, 2) and a 4 × 4 background.
struct ImageRun : DeviceRun {
  int spr =
      pxtest::AddSprite(rt, {MakeImage(4, 4, [](int x, int y) { return Pattern(2, x, y); })}, 1, 2);
  int back =
      pxtest::AddBackground(rt, MakeImage(4, 4, [](int x, int y) { return Pattern(2, x, y); }));

  void ExpectFrame(const Expect& expect, const std::string& what) {
    const TBitmap32 frame = Frame();
    int wrong = 0;
    for (int y = 0; y < frame.height(); ++y)
      for (int x = 0; x < frame.width(); ++x) {
        const auto texel = expect(x, y);
        const std::uint32_t want = texel ? Pattern(2, texel->first, texel->second) : kBlack;
        if (frame.GetPixel(x, y) != want && ++wrong <= 3)
          ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex
                        << frame.GetPixel(x, y) << ", not " << want;
      }
  }
};

}  // namespace

TEST(QuadDrawing, SpriteAndBackgroundVariantsPlaceEveryTexel) {
  ImageRun run;
  const double s = run.spr, b = run.back;
  struct Case {
    const char* name;
    std::vector<double> args;
    Expect expect;
  } cases[] = {
      // The origin (1, 2) lands on (10, 10).
      {"draw_sprite", {s, 0, 10, 10}, [](int x, int y) { return In(x - 9, y - 8); }},
      {"draw_sprite_ext",
       {s, 0, 20, 20, 2, 2, 0, 0xFFFFFF, 1},
       [](int x, int y) {
         if (x < 18 || y < 16) return std::optional<std::pair<int, int>>();
         return In((x - 18) / 2, (y - 16) / 2);
       }},
      // Mirrored about the origin.
      {"draw_sprite_ext",
       {s, 0, 20, 20, -1, 1, 0, 0xFFFFFF, 1},
       [](int x, int y) { return In(20 - x, y - 18); }},
      // A quarter turn counter-clockwise about the origin.
      {"draw_sprite_ext",
       {s, 0, 30, 20, 1, 1, 90, 0xFFFFFF, 1},
       [](int x, int y) { return In(21 - y, x - 28); }},
      {"draw_sprite_part",
       {s, 0, 1, 1, 2, 3, 40, 5},
       [](int x, int y) {
         if (x < 40 || x > 41 || y < 5 || y > 7) return std::optional<std::pair<int, int>>();
         return In(x - 39, y - 4);
       }},
      {"draw_sprite_part_ext",
       {s, 0, 2, 0, 2, 2, 40, 5, 2, 1, 0xFFFFFF, 1},
       [](int x, int y) {
         if (x < 40 || x > 43 || y < 5 || y > 6) return std::optional<std::pair<int, int>>();
         return In(2 + (x - 40) / 2, y - 5);
       }},
      {"draw_sprite_stretched",
       {s, 0, 2, 30, 8, 4},
       [](int x, int y) {
         if (x < 2) return std::optional<std::pair<int, int>>();
         return In((x - 2) / 2, y - 30);
       }},
      // Turned about the part's top-left corner.
      {"draw_sprite_general",
       {s, 0, 0, 0, 2, 2, 50, 30, 1, 1, 90, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 1},
       [](int x, int y) {
         if (x < 50 || x > 51 || y < 29 || y > 30) return std::optional<std::pair<int, int>>();
         return In(30 - y, x - 50);
       }},
      {"draw_background", {b, 10, 10}, [](int x, int y) { return In(x - 10, y - 10); }},
      {"draw_background_ext",
       {b, 10, 10, 1, 1, 180, 0xFFFFFF, 1},
       [](int x, int y) { return In(10 - x, 10 - y); }},
      {"draw_background_stretched",
       {b, 3, 3, 4, 12},
       [](int x, int y) {
         if (y < 3) return std::optional<std::pair<int, int>>();
         return In(x - 3, (y - 3) / 3);
       }},
      {"draw_background_part",
       {b, 1, 2, 3, 2, 0, 0},
       [](int x, int y) {
         if (x > 2 || y > 1) return std::optional<std::pair<int, int>>();
         return In(x + 1, y + 2);
       }},
      {"draw_background_general",
       {b, 0, 0, 4, 4, 10, 10, 1, 1, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 1},
       [](int x, int y) { return In(x - 10, y - 10); }},
      // Tiled over the whole region (there is no room), one copy at (1, 2).
      {"draw_background_tiled",
       {b, 1, 2},
       [](int x, int y) { return In(((x - 1) % 4 + 4) % 4, ((y - 2) % 4 + 4) % 4); }},
      {"draw_sprite_tiled", {s, 0, 1, 2}, [](int x, int y) { return In(x % 4, y % 4); }},
      {"draw_background_tiled_ext",
       {b, 0, 0, 2, 1, 0xFFFFFF, 1},
       [](int x, int y) { return In(x / 2 % 4, y % 4); }},
      {"draw_sprite_tiled_ext",
       {s, 0, 0, 0, -1, 1, 0xFFFFFF, 1},
       [](int, int) { return std::optional<std::pair<int, int>>(); }},
      {"draw_sprite_stretched",
       {s, 0, 2, 30, 0, 4},
       [](int, int) { return std::optional<std::pair<int, int>>(); }},
  };
  for (const Case& c : cases) {
    run.device().ClearTarget(0, 1);
    pxtest::CallReals(run, c.name, c.args);
    std::string what = c.name;
    for (const double a : c.args) what += " " + std::to_string(a);
    run.ExpectFrame(c.expect, what);
  }
}

TEST(QuadDrawing, TiledDrawingCoversTheRoom) {
  ImageRun run;
  LiveRoom room;
  room.data.width = 20;
  room.data.height = 10;
  run.rt.rooms.current = &room;
  run.device().ClearTarget(0, 1);
  CallReal(run, "draw_background_tiled", {double(run.back), 0, 0});
  run.rt.rooms.current = nullptr;
  // Cells start while they begin inside the room.
  run.ExpectFrame(
      [](int x, int y) {
        if (x >= 20 || y >= 12) return std::optional<std::pair<int, int>>();
        return In(x % 4, y % 4);
      },
      "room 20 x 10");
}

TEST(QuadDrawing, ImageIndexWrapsAndFollowsTheInstance) {
  DeviceRun run;
  std::vector<TBitmap32> images;
  for (int i = 0; i < 4; ++i)
    images.push_back(MakeImage(1, 1, [i](int, int) { return Pattern(i, 0, 0); }));
  const int spr = pxtest::AddSprite(run.rt, images);
  struct Case {
    double image;
    double instanceImage;
    int shown;
  } cases[] = {{0, 0, 0}, {5, 0, 1}, {2.6, 0, 3}, {-1, 2.7, 2}, {-1, -3, 1}, {-5, 6.2, 2}};
  for (const Case& c : cases) {
    CInstance self(run.rt.resources, 100001, -1, 0, 0);
    self.image_index = c.instanceImage;
    run.device().ClearTarget(0, 1);
    pxtest::CallFor(run, &self, "draw_sprite", {double(spr), c.image, 3, 3});
    EXPECT_EQ(run.Pixel(3, 3), Pattern(c.shown, 0, 0)) << c.image << " " << c.instanceImage;
  }
}

TEST(QuadDrawing, ColourAndAlphaTintTheImage) {
  DeviceRun run;
  const int spr =
      pxtest::AddSprite(run.rt, {MakeImage(2, 2, [](int, int) { return 0xFFFFFFFFu; })});
  run.device().ClearTarget(0, 1);
  CallReal(run, "draw_sprite_ext", {double(spr), 0, 0, 0, 1, 1, 0, 0x0000FF, 0.5});
  EXPECT_TRUE(Near(run.Pixel(1, 1), 0xFF800000, 1));
  // Corner colours of the general form, each at its own corner.
  run.device().ClearTarget(0, 1);
  CallReal(
      run, "draw_sprite_general",
      {double(spr), 0, 0, 0, 2, 2, 10, 10, 8, 8, 0, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 1});
  EXPECT_TRUE(Near(run.Pixel(10, 10), 0xFFF00F00, 16));
  EXPECT_TRUE(Near(run.Pixel(25, 10), 0xFF0FF000, 16));
  EXPECT_TRUE(Near(run.Pixel(25, 25), 0xFF0000F0, 24));
  EXPECT_TRUE(Near(run.Pixel(10, 25), 0xFFF0F0F0, 16));
}

TEST(QuadDrawing, FilteringBlendsNeighbouringTexels) {
  // Two texels, black and white, stretched over eight pixels: linear
  // filtering ramps between the texel centres; within 2 per channel.
  DeviceRun run;
  const int spr = pxtest::AddSprite(
      run.rt, {MakeImage(2, 1, [](int x, int) { return x ? 0xFFFFFFFFu : 0xFF000000u; })});
  CallReal(run, "texture_set_interpolation", {1});
  run.device().ClearTarget(0x0000FF, 1);
  CallReal(run, "draw_sprite_stretched", {double(spr), 0, 0, 0, 8, 1});
  const int ramp[8] = {0, 0, 32, 96, 159, 223, 255, 255};
  for (int x = 0; x < 8; ++x) {
    const auto v = static_cast<std::uint32_t>(ramp[x]);
    EXPECT_TRUE(Near(run.Pixel(x, 0), 0xFF000000 | v << 16 | v << 8 | v, 2)) << x;
  }
}

TEST(QuadDrawing, QuadsOfOneTextureKeepTheirOrderWithOtherDrawing) {
  // Quads wait to be drawn together; a primitive in between still lands
  // between them.
  DeviceRun run;
  const int red =
      pxtest::AddSprite(run.rt, {MakeImage(4, 4, [](int, int) { return 0xFFFF0000u; })});
  const int blue =
      pxtest::AddSprite(run.rt, {MakeImage(4, 4, [](int, int) { return 0xFF0000FFu; })});
  run.device().ClearTarget(0, 1);
  CallReal(run, "draw_sprite", {double(red), 0, 0, 0});
  CallReal(run, "draw_set_color", {0x00FF00});
  CallReal(run, "draw_rectangle", {2, 0, 5, 3, 0});
  CallReal(run, "draw_sprite", {double(red), 0, 4, 0});
  CallReal(run, "draw_sprite", {double(blue), 0, 6, 0});
  EXPECT_EQ(run.Pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(run.Pixel(3, 1), 0xFF00FF00u);
  EXPECT_EQ(run.Pixel(5, 1), 0xFFFF0000u);
  EXPECT_EQ(run.Pixel(7, 1), 0xFF0000FFu);
}

// ---- Primitives ----

namespace {

// Draws with the functions (drawing colour white) and gives the frame.
struct PrimitiveRun : DeviceRun {
  PrimitiveRun() {
    device().ClearTarget(0, 1);
    CallReal(*this, "draw_set_color", {0xFFFFFF});
  }
  bool Lit(int x, int y) { return Pixel(x, y) != kBlack; }
};

// The lit pixels of a frame as rows of '#' and '.', w × h from (0, 0).
std::string Picture(const TBitmap32& frame, int w, int h) {
  std::string text;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) text += frame.GetPixel(x, y) != kBlack ? '#' : '.';
    text += '\n';
  }
  return text;
}

}  // namespace

TEST(Primitives, ExactShapes) {
  struct Case {
    const char* name;
    std::vector<double> args;
    const char* picture;  // 8 × 6 from the top-left
  } cases[] = {
      {"draw_point", {3, 2}, "........\n........\n...#....\n........\n........\n........\n"},
      {"draw_line", {1, 1, 6, 1}, "........\n.#####..\n........\n........\n........\n........\n"},
      // Whole far sides move out by 0.01, so they cover their pixels.
      {"draw_rectangle",
       {2, 1, 5, 3, 0},
       "........\n..####..\n..####..\n..####..\n........\n........\n"},
      {"draw_rectangle",
       {5, 3, 2, 1, 0},
       "........\n..####..\n..####..\n..####..\n........\n........\n"},
      {"draw_rectangle",
       {2, 1, 5.5, 3.5, 0},
       "........\n..####..\n..####..\n..####..\n........\n........\n"},
      {"draw_rectangle",
       {1, 1, 6, 4, 1},
       "........\n.######.\n.#....#.\n.#....#.\n.######.\n........\n"},
      {"draw_line_width",
       {1, 3, 7, 3, 4},
       "........\n.######.\n.######.\n.######.\n.######.\n........\n"},
      {"draw_triangle",
       {0, 0, 6, 0, 0, 6, 0},
       "######..\n#####...\n####....\n###.....\n##......\n#.......\n"},
  };
  for (const Case& c : cases) {
    PrimitiveRun run;
    pxtest::CallReals(run, c.name, c.args);
    EXPECT_EQ(Picture(run.Frame(), 8, 6), c.picture) << c.name << " " << c.args[0];
  }
}

TEST(Primitives, RoundShapesStayInsideTheirBoxes) {
  struct Case {
    const char* name;
    std::vector<double> args;
    std::vector<std::pair<int, int>> lit, dark;
  } cases[] = {
      {"draw_circle",
       {20, 20, 5, 0},
       {{20, 20}, {16, 20}, {20, 24}, {23, 17}},
       {{20, 26}, {24, 24}, {26, 20}}},
      {"draw_circle",
       {20, 20, 5, 1},
       {{25, 20}, {15, 21}, {20, 25}, {20, 15}},
       {{20, 20}, {23, 17}, {27, 20}}},
      {"draw_ellipse",
       {10, 10, 30, 20, 0},
       {{12, 15}, {20, 11}, {28, 15}},
       {{20, 21}, {10, 10}, {11, 11}}},
      {"draw_roundrect",
       {0, 0, 30, 20, 0},
       {{15, 1}, {15, 10}, {29, 10}, {2, 2}},
       {{0, 0}, {30, 0}, {0, 20}, {31, 10}}},
      {"draw_roundrect",
       {0, 0, 30, 20, 1},
       {{15, 0}, {0, 10}, {30, 10}, {15, 20}},
       {{15, 10}, {0, 0}}},
      {"draw_arrow",
       {10, 30, 40, 30, 10},
       {{15, 30}, {32, 32}, {32, 28}, {39, 30}},
       {{38, 33}, {28, 32}, {41, 30}}},
      {"draw_ellipse_color", {0, 0, 10, 10, 0xFFFFFF, 0xFFFFFF, 0}, {{5, 5}}, {{0, 0}}},
  };
  for (const Case& c : cases) {
    PrimitiveRun run;
    pxtest::CallReals(run, c.name, c.args);
    for (const auto& [x, y] : c.lit) EXPECT_TRUE(run.Lit(x, y)) << c.name << " " << x << "," << y;
    for (const auto& [x, y] : c.dark) EXPECT_FALSE(run.Lit(x, y)) << c.name << " " << x << "," << y;
  }
}

TEST(Primitives, CircleOutlineIsClosedAndOnTheRim) {
  for (const int precision : {4, 24, 64}) {
    PrimitiveRun run;
    CallReal(run, "draw_set_circle_precision", {double(precision)});
    CallReal(run, "draw_circle", {30, 20, 12, 1});
    const TBitmap32 frame = run.Frame();
    // Every lit pixel lies near the rim (the polygon's sides cut inside it
    // by at most r (1 - cos(pi / n))) and every quarter of the rim is lit.
    const double inner = 12 * std::cos(std::numbers::pi / precision) - 1.5;
    int quarters[4] = {};
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) {
        if (frame.GetPixel(x, y) == kBlack) continue;
        const double d = std::hypot(x - 30, y - 20);
        EXPECT_TRUE(d >= inner && d <= 13.5) << precision << ": " << x << "," << y;
        ++quarters[(x >= 30 ? 1 : 0) + (y >= 20 ? 2 : 0)];
      }
    for (int q = 0; q < 4; ++q) EXPECT_GT(quarters[q], 3) << precision << " quarter " << q;
    // The segment that closes the rim, just above the start at angle 0.
    if (precision == 64) {
      EXPECT_TRUE(run.Lit(42, 19));
    }
  }
}

TEST(Primitives, CirclePrecisionIsAMultipleOfFourInRange) {
  DeviceRun run;
  const struct {
    double set;
    int got;
  } cases[] = {{30, 28}, {2, 4}, {100, 64}, {24, 24}, {7, 4}, {63.6, 64}};
  for (const auto& c : cases) {
    CallReal(run, "draw_set_circle_precision", {c.set});
    EXPECT_EQ(run.rt.display.draw.circlePrecision(), c.got) << c.set;
  }
}

TEST(Primitives, ColouredVariantsAndAlpha) {
  PrimitiveRun run;
  CallReal(run, "draw_set_alpha", {0.5});
  CallReal(run, "draw_rectangle", {0, 0, 3, 3, 0});
  EXPECT_TRUE(Near(run.Pixel(1, 1), 0xFF808080, 1));
  // Each corner its colour, the drawing alpha over all.
  CallReal(run, "draw_set_alpha", {1});
  CallReal(run, "draw_rectangle_color",
           {10, 10, 30, 30, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0});
  EXPECT_TRUE(Near(run.Pixel(10, 10), 0xFFFF0000, 24));
  EXPECT_TRUE(Near(run.Pixel(30, 10), 0xFF00FF00, 24));
  EXPECT_TRUE(Near(run.Pixel(30, 30), 0xFF0000FF, 24));
  EXPECT_TRUE(Near(run.Pixel(10, 30), 0xFFFFFFFF, 24));
  CallReal(run, "draw_line_color", {40, 2, 60, 2, 0x0000FF, 0xFF0000});
  EXPECT_TRUE(Near(run.Pixel(40, 2), 0xFFFF0000, 16));
  EXPECT_TRUE(Near(run.Pixel(59, 2), 0xFF0000FF, 16));
  CallReal(run, "draw_point_color", {50, 40, 0x00FF00});
  EXPECT_EQ(run.Pixel(50, 40), 0xFF00FF00u);
  CallReal(run, "draw_circle_color", {50, 20, 6, 0x0000FF, 0x00FF00, 0});
  EXPECT_TRUE(Near(run.Pixel(50, 20), 0xFFFF0000, 48));
}

TEST(Primitives, ButtonIsBevelledAroundTheDrawingColour) {
  for (const bool up : {true, false}) {
    PrimitiveRun run;
    CallReal(run, "draw_set_color", {0x0000FF});
    CallReal(run, "draw_button", {0, 0, 20, 20, up ? 1.0 : 0.0});
    const std::uint32_t light = up ? 0xFFFFFFFF : 0xFF808080, dark = up ? 0xFF808080 : 0xFFFFFFFF;
    EXPECT_EQ(run.Pixel(1, 1), light) << up;
    EXPECT_EQ(run.Pixel(18, 0), light) << up;
    EXPECT_EQ(run.Pixel(19, 19), dark) << up;
    EXPECT_EQ(run.Pixel(19, 3), dark) << up;
    EXPECT_EQ(run.Pixel(10, 10), 0xFFFF0000u) << up;
  }
}

TEST(Primitives, HealthBarGrowsFromItsSideInTheMixedColour) {
  struct Case {
    double amount;
    int direction;
    std::pair<int, int> bar, back;
    std::uint32_t colour;
  } cases[] = {
      {50, 0, {10, 5}, {30, 5}, 0xFF800080},  // exactly the middle colour
      {50, 1, {30, 5}, {10, 5}, 0xFF800080},  {50, 2, {20, 2}, {20, 8}, 0xFF800080},
      {50, 3, {20, 8}, {20, 2}, 0xFF800080},  {100, 0, {38, 5}, {60, 5}, 0xFF0000FF},
      {150, 0, {38, 5}, {60, 5}, 0xFF0000FF},  // held to 100
      {25, 0, {5, 5}, {15, 5}, 0xFFC00040},
  };
  for (const Case& c : cases) {
    PrimitiveRun run;
    CallReal(run, "draw_healthbar",
             {0, 0, 40, 10, c.amount, 0x00FF00, 0x0000FF, 0xFF0000, double(c.direction), 1, 0});
    EXPECT_EQ(run.Pixel(c.bar.first, c.bar.second), c.colour) << c.amount << " " << c.direction;
    const std::uint32_t back = c.back.first > 40 ? kBlack : 0xFF00FF00;
    EXPECT_EQ(run.Pixel(c.back.first, c.back.second), back) << c.amount << " " << c.direction;
  }
  PrimitiveRun run;
  CallReal(run, "draw_healthbar", {0, 0, 40, 10, 50, 0x00FF00, 0x0000FF, 0xFF0000, 0, 1, 1});
  EXPECT_EQ(run.Pixel(0, 5), kBlack);  // border
  EXPECT_EQ(run.Pixel(40, 5), kBlack);
  EXPECT_EQ(run.Pixel(30, 0), kBlack);
  EXPECT_EQ(run.Pixel(30, 5), 0xFF00FF00u);
  PrimitiveRun noBack;
  CallReal(noBack, "draw_healthbar", {0, 0, 40, 10, 50, 0x00FF00, 0x0000FF, 0xFF0000, 0, 0, 0});
  EXPECT_EQ(noBack.Pixel(30, 5), kBlack);
}

TEST(Primitives, FreePrimitives) {
  PrimitiveRun run;
  CallReal(run, "draw_primitive_begin", {4});
  CallReal(run, "draw_vertex", {0, 0});
  CallReal(run, "draw_vertex_color", {6, 0, 0x0000FF, 1});
  CallReal(run, "draw_vertex", {0, 6});
  CallReal(run, "draw_vertex", {20, 20});  // not a whole triangle
  CallReal(run, "draw_primitive_end", {});
  EXPECT_EQ(run.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_TRUE(run.Lit(2, 2));
  EXPECT_FALSE(run.Lit(5, 5));
  EXPECT_FALSE(run.Lit(20, 20));
  // The buffer stays after the end: a second end draws it again.
  CallReal(run, "draw_clear", {0});
  CallReal(run, "draw_primitive_end", {});
  EXPECT_TRUE(run.Lit(2, 2));

  // Points beyond the buffer's 1001 are dropped.
  CallReal(run, "draw_clear", {0});
  CallReal(run, "draw_primitive_begin", {1});
  for (int i = 0; i < 1500; ++i) CallReal(run, "draw_vertex", {double(i % 64), double(i / 64)});
  CallReal(run, "draw_primitive_end", {});
  EXPECT_EQ(run.rt.display.draw.primitiveVertexCount(), 1001);
  EXPECT_TRUE(run.Lit(1000 % 64, 1000 / 64));
  EXPECT_FALSE(run.Lit(1001 % 64, 1001 / 64));

  // A kind outside 1..6 draws nothing.
  CallReal(run, "draw_clear", {0});
  CallReal(run, "draw_primitive_begin", {7});
  for (const double y : {0, 9}) CallReal(run, "draw_vertex", {0, y});
  CallReal(run, "draw_primitive_end", {});
  EXPECT_FALSE(run.Lit(0, 4));
}

TEST(Primitives, TexturedFreePrimitiveAddressesTheWholeTexture) {
  for (const bool powerOfTwo : {false, true}) {
    PrimitiveRun run;
    run.rt.display.textures.powerOfTwo = powerOfTwo;
    const int spr =
        pxtest::AddSprite(run.rt, {MakeImage(3, 3, [](int x, int y) { return Pattern(4, x, y); })});
    const double tex = CallReal(run, "sprite_get_texture", {double(spr), 0});
    const double u = CallReal(run, "texture_get_width", {tex});
    const double v = CallReal(run, "texture_get_height", {tex});
    EXPECT_EQ(u, powerOfTwo ? 0.75 : 1.0);
    CallReal(run, "draw_primitive_begin_texture", {5, tex});
    CallReal(run, "draw_vertex_texture", {-0.5, -0.5, 0, 0});
    CallReal(run, "draw_vertex_texture", {2.5, -0.5, u, 0});
    CallReal(run, "draw_vertex_texture", {-0.5, 2.5, 0, v});
    CallReal(run, "draw_vertex_texture_color", {2.5, 2.5, u, v, 0xFFFFFF, 1});
    CallReal(run, "draw_primitive_end", {});
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        EXPECT_EQ(run.Pixel(x, y), x < 3 && y < 3 ? Pattern(4, x, y) : kBlack) << x << "," << y;
  }
}

TEST(Primitives, PathIsDrawnAtItsPlaceOrMoved) {
  PrimitiveRun run;
  CPath path;
  path.kind = 0;
  path.closed = false;
  path.points = {{10, 40, 100}, {50, 40, 100}};
  path.GeometryChanged();
  run.rt.resources.paths.add("path", path);
  CallReal(run, "draw_path", {0, 0, 0, 1});
  EXPECT_TRUE(run.Lit(11, 40));
  EXPECT_TRUE(run.Lit(30, 40));
  EXPECT_TRUE(run.Lit(48, 40));
  EXPECT_FALSE(run.Lit(30, 41));
  CallReal(run, "draw_path", {0, 5, 10, 0});
  EXPECT_TRUE(run.Lit(20, 10));
  EXPECT_FALSE(run.Lit(20, 11));
  // Long paths go through the buffer in pieces of 500 lines; the way back
  // along y = 40 lies in the second and third pieces.
  CPath longPath;
  longPath.kind = 0;
  longPath.closed = false;
  longPath.points = {{2, 30, 100}, {2002, 30, 100}, {2002, 25, 100}, {2, 25, 100}};
  longPath.GeometryChanged();
  run.rt.resources.paths.add("long", longPath);
  CallReal(run, "draw_path", {1, 0, 0, 1});
  EXPECT_EQ(run.rt.display.draw.primitiveVertexCount(), 2);
  for (int x = 4; x < 64; x += 7) EXPECT_TRUE(run.Lit(x, 25)) << x;
}
