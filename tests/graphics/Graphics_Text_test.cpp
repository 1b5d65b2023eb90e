// Text drawn headless and read back: alignment, line breaks, wrapping at
// the region's edge, scale and rotation, colour gradients, reals as text,
// and the text actions, in a font of solid blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Graphics_Font.h"
#include "graphics/Graphics_TestSupport.h"

using namespace px;
using pxtest::CallReal;
using pxtest::DeviceRun;
using pxtest::Real;
using pxtest::Str;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

// Solid blocks 5 high: 'A' 3 wide advancing 4, 'B' 2 wide advancing 3,
// every digit 1 wide advancing 2; the space advances 2 and '.' 1 without
// ink.
CFont BlockFont() {
  CFont f;
  f.first = 32;
  f.last = 66;
  for (int c = f.first; c <= f.last; ++c) f.glyphs[c] = {15, 0, 0, 5, 0, 0};
  f.glyphs[' '].advance = 2;
  f.glyphs['.'].advance = 1;
  for (int c = '0'; c <= '9'; ++c) f.glyphs[c] = {7, 0, 1, 5, 2, 0};
  f.glyphs['A'] = {0, 0, 3, 5, 4, 0};
  f.glyphs['B'] = {4, 0, 2, 5, 3, 0};
  f.page_width = 16;
  f.page_height = 5;
  f.page_alpha.assign(16 * 5, 0);
  for (int y = 0; y < 5; ++y)
    for (const int x : {0, 1, 2, 4, 5, 7}) f.page_alpha[y * 16 + x] = 255;
  return f;
}

struct Box {
  int x, y, w, h;
};

struct TextRun : DeviceRun {
  int font = -1;
  TextRun() {
    font = rt.resources.fonts.add("blocks", BlockFont());
    MakeTextures(rt.display.textures, *rt.resources.fonts.get(font));
    CallReal(*this, "draw_set_font", {double(font)});
    CallReal(*this, "draw_set_color", {0xFFFFFF});
  }
  void Clear() { Fill(0, 0, 64, 48, kBlack); }
  // The frame is white inside the boxes and black elsewhere.
  void ExpectBoxes(const std::vector<Box>& boxes, const std::string& what) {
    const TBitmap32 frame = Frame();
    int wrong = 0;
    for (int y = 0; y < frame.height(); ++y)
      for (int x = 0; x < frame.width(); ++x) {
        bool inside = false;
        for (const Box& b : boxes) inside |= x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h;
        const std::uint32_t want = inside ? kWhite : kBlack;
        if (frame.GetPixel(x, y) != want && ++wrong <= 3)
          ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex
                        << frame.GetPixel(x, y) << ", not " << want;
      }
  }
};

}  // namespace

TEST(TextDrawing, AlignmentPlacesEachLine) {
  TextRun run;
  // "AB" is 7 wide, "B" 3; lines are 5 apart.
  const struct {
    int halign, valign;
    std::vector<Box> boxes;
  } cases[] = {
      {0, 0, {{30, 20, 3, 5}, {34, 20, 2, 5}, {30, 25, 2, 5}}},
      {1, 0, {{27, 20, 3, 5}, {31, 20, 2, 5}, {29, 25, 2, 5}}},
      {2, 0, {{23, 20, 3, 5}, {27, 20, 2, 5}, {27, 25, 2, 5}}},
      {0, 1, {{30, 15, 3, 5}, {34, 15, 2, 5}, {30, 20, 2, 5}}},
      {1, 2, {{27, 10, 3, 5}, {31, 10, 2, 5}, {29, 15, 2, 5}}},
      // Other values align left and top.
      {5, -1, {{30, 20, 3, 5}, {34, 20, 2, 5}, {30, 25, 2, 5}}},
  };
  for (const auto& c : cases) {
    run.Clear();
    CallReal(run, "draw_set_halign", {double(c.halign)});
    CallReal(run, "draw_set_valign", {double(c.valign)});
    pxtest::Call(run, "draw_text", {Real(30), Real(20), Str("AB#B")});
    run.ExpectBoxes(c.boxes, "align " + std::to_string(c.halign) + "," + std::to_string(c.valign));
  }
}

TEST(TextDrawing, LineBreakInsideAWordWrappedAtTheRegionEdge) {
  TextRun run;
  run.Clear();
  // From x 48 to the region's right edge is 16: "BA " (9) fits, "ABA" (11)
  // would not.
  pxtest::Call(run, "draw_text_ext", {Real(48), Real(0), Str("AB#BA ABA"), Real(-1), Real(16)});
  run.ExpectBoxes({{48, 0, 3, 5},
                   {52, 0, 2, 5},
                   {48, 5, 2, 5},
                   {51, 5, 3, 5},
                   {48, 10, 3, 5},
                   {52, 10, 2, 5},
                   {55, 10, 3, 5}},
                  "wrapped");
  run.Clear();
  // With a separation of 8 and the escaped '#' drawn as nothing.
  pxtest::Call(run, "draw_text_ext", {Real(0), Real(0), Str("A\\#B#B"), Real(8), Real(-1)});
  run.ExpectBoxes({{0, 0, 3, 5}, {4, 0, 2, 5}, {0, 8, 2, 5}}, "separated");
}

TEST(TextDrawing, ScaledAndRotated) {
  TextRun run;
  const struct {
    int halign;
    double xscale, yscale, angle;
    std::vector<Box> boxes;
  } cases[] = {
      {0, 2, 1, 0, {{20, 20, 6, 5}, {28, 20, 4, 5}}},
      {0, 1, 2, 0, {{20, 20, 3, 10}, {24, 20, 2, 10}}},
      // Centred: 7 x 2 / 2 to the left.
      {1, 2, 1, 0, {{13, 20, 6, 5}, {21, 20, 4, 5}}},
      // A quarter turn counter-clockwise: the line runs upwards.
      {0, 1, 1, 90, {{20, 18, 5, 3}, {20, 15, 5, 2}}},
      {0, 1, 1, 180, {{18, 16, 3, 5}, {15, 16, 2, 5}}},
  };
  for (const auto& c : cases) {
    run.Clear();
    CallReal(run, "draw_set_halign", {double(c.halign)});
    pxtest::Call(run, "draw_text_transformed",
                 {Real(20), Real(20), Str("AB"), Real(c.xscale), Real(c.yscale), Real(c.angle)});
    run.ExpectBoxes(c.boxes, "scale " + std::to_string(c.xscale) + "," + std::to_string(c.yscale) +
                                 " angle " + std::to_string(c.angle));
  }
}

TEST(TextDrawing, RealsAreWrittenAsGameCodeWritesThem) {
  TextRun run;
  const struct {
    double value;
    std::vector<Box> boxes;
  } cases[] = {
      {12, {{10, 10, 1, 5}, {12, 10, 1, 5}}},
      {1.5, {{10, 10, 1, 5}, {13, 10, 1, 5}, {15, 10, 1, 5}}},  // "1.50"
  };
  for (const auto& c : cases) {
    run.Clear();
    pxtest::Call(run, "draw_text", {Real(10), Real(10), Real(c.value)});
    run.ExpectBoxes(c.boxes, std::to_string(c.value));
  }
}

TEST(TextDrawing, ColoursRunAcrossTheLine) {
  TextRun run;
  run.Clear();
  // Red on the left, blue on the right, over the 11 of "AAB".
  const double red = 0x0000FF, blue = 0xFF0000;
  pxtest::Call(
      run, "draw_text_color",
      {Real(10), Real(10), Str("AAB"), Real(red), Real(blue), Real(blue), Real(red), Real(1)});
  const std::uint32_t left = run.Pixel(10, 12), right = run.Pixel(19, 12);
  EXPECT_GT((left >> 16) & 0xFF, 200u);
  EXPECT_LT(left & 0xFF, 50u);
  EXPECT_GT(right & 0xFF, 150u);
  EXPECT_LT((right >> 16) & 0xFF, 100u);
  // The middle glyph spans 4/11 .. 8/11 of the way.
  const std::uint32_t middle = run.Pixel(15, 12);
  EXPECT_TRUE(pxtest::Near(middle, 0xFF000000 | 0x7F0000 | 0x7F, 40)) << std::hex << middle;
  // The alpha of the call, not the drawing alpha.
  run.Clear();
  pxtest::Call(run, "draw_text_ext_transformed_color",
               {Real(10), Real(10), Str("A"), Real(-1), Real(-1), Real(1), Real(1), Real(0),
                Real(0xFFFFFF), Real(0xFFFFFF), Real(0xFFFFFF), Real(0xFFFFFF), Real(0.5)});
  EXPECT_TRUE(pxtest::Near(run.Pixel(11, 12) | kBlack, 0xFF808080, 2))
      << std::hex << run.Pixel(11, 12);
}

TEST(TextDrawing, SpriteFontsDrawTheImagesAtTheirOrigin) {
  TextRun run;
  // Three 4 x 4 images, the middle one visible in columns 1 and 2 only;
  // origin (1, 0).
  std::vector<TBitmap32> images;
  for (int i = 0; i < 3; ++i)
    images.push_back(pxtest::MakeImage(
        4, 4, [i](int x, int) { return i == 1 && (x == 0 || x == 3) ? 0u : kWhite; }));
  const int spr = pxtest::AddSprite(run.rt, images, 1, 0);
  const double font = CallReal(run, "font_add_sprite", {double(spr), 'a', 1, 1});
  CallReal(run, "draw_set_font", {font});
  run.Clear();
  pxtest::Call(run, "draw_text", {Real(20), Real(10), Str("aba")});
  // Advances 4, 2, 4; the middle image moves left by its blank column.
  run.ExpectBoxes({{19, 10, 4, 4}, {23, 10, 2, 4}, {25, 10, 4, 4}}, "proportional");
}

TEST(TextDrawing, Actions) {
  TextRun run;
  run.Clear();
  // The action font and alignment are their own, apart from draw_set_*.
  CallReal(run, "draw_set_halign", {2});
  CallReal(run, "action_font", {double(run.font), 1});
  pxtest::Call(run, "action_draw_text", {Str("AB"), Real(30), Real(20)});
  run.ExpectBoxes({{27, 20, 3, 5}, {31, 20, 2, 5}}, "action_draw_text");
  run.Clear();
  CallReal(run, "action_font", {double(run.font), 0});
  run.rt.world.score = 12;
  pxtest::Call(run, "action_draw_score", {Real(10), Real(10), Str("A")});
  run.ExpectBoxes({{10, 10, 3, 5}, {14, 10, 1, 5}, {16, 10, 1, 5}}, "action_draw_score");
  run.Clear();
  pxtest::Call(run, "action_draw_variable", {Real(1.5), Real(10), Real(10)});
  run.ExpectBoxes({{10, 10, 1, 5}, {13, 10, 1, 5}, {15, 10, 1, 5}}, "action_draw_variable");
  run.Clear();
  pxtest::Call(run, "action_draw_text_transformed",
               {Str("A"), Real(10), Real(10), Real(2), Real(2), Real(0)});
  run.ExpectBoxes({{10, 10, 6, 10}}, "action_draw_text_transformed");
}

TEST(TextDrawing, ALineOfNoWidthTakesTheLeftColours) {
  TextRun run;
  // 'B' drawn but not advancing: the line is 0 wide.
  run.rt.resources.fonts.get(run.font)->glyphs['B'].advance = 0;
  run.Clear();
  const double red = 0x0000FF, blue = 0xFF0000;
  pxtest::Call(
      run, "draw_text_color",
      {Real(10), Real(10), Str("B"), Real(red), Real(blue), Real(blue), Real(red), Real(1)});
  EXPECT_EQ(run.Pixel(11, 12), 0xFFFF0000u);
}
