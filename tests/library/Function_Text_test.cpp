// The text measures, fonts made at run time from system fonts and from
// sprites, their errors, and the default font.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/Graphics_TestSupport.h"
#include "graphics/Graphics_Text.h"

using namespace px;
using pxtest::Call;
using pxtest::CallReal;
using pxtest::DeviceRun;
using pxtest::Real;
using pxtest::Str;
using pxtest::TestRun;

namespace {

// A sprite font of 'a', 'b', 'c' from images 3, 4 and 5 wide and 6 high,
// spaced by 1: advances 4, 5 and 6.
int SpriteFont(TestRun& run) {
  std::vector<TBitmap32> images;
  for (int w = 3; w <= 5; ++w) images.push_back(TBitmap32(w, 6));
  CSprite sprite;
  sprite.images = std::move(images);
  const int spr = run.rt.resources.sprites.add("letters", std::move(sprite));
  return static_cast<int>(CallReal(run, "font_add_sprite", {double(spr), 'a', 0, 1}));
}

const RGlyph& Glyph(TestRun& run, double font, char c) {
  return run.rt.resources.fonts.get(static_cast<int>(font))->glyphs[static_cast<std::uint8_t>(c)];
}

}  // namespace

TEST(TextFunctions, StringMeasures) {
  TestRun run;
  CallReal(run, "draw_set_font", {double(SpriteFont(run))});
  const struct {
    const char* name;
    std::string text;
    std::vector<double> more;
    double result;
  } cases[] = {
      {"string_width", "", {}, 1},
      {"string_height", "", {}, 1},
      {"string_width", "a", {}, 4},
      {"string_width", "ab", {}, 9},
      // The space is outside the range: it advances as 'a'.
      {"string_width", "a b", {}, 13},
      {"string_width", "ab#abc", {}, 15},
      {"string_width", "a\\#b", {}, 13},
      {"string_height", "a", {}, 6},
      {"string_height", "a#b", {}, 12},
      {"string_height", "a#", {}, 6},
      {"string_height", "a\r\nb\nc", {}, 18},
      {"string_width_ext", "ab ab", {-1, 10}, 13},
      {"string_height_ext", "ab ab", {10, 10}, 16},
      {"string_height_ext", "ab ab", {10, -1}, 6},
      {"string_height_ext", "a#b#c", {3, -1}, 12},
      {"string_width_ext", "", {5, 5}, 1},
  };
  for (const auto& c : cases) {
    std::vector<RValue> args{Str(c.text.c_str())};
    for (const double m : c.more) args.push_back(Real(m));
    EXPECT_EQ(pxtest::CallWith(run, c.name, args).real, c.result)
        << c.name << " \"" << c.text << '"';
  }
}

TEST(TextFunctions, SpriteFontMetrics) {
  TestRun run;
  // Columns 1 and 2 of a 5-wide image visible; another image blank.
  TBitmap32 part(5, 3), blank(5, 3);
  for (int y = 0; y < 3; ++y) part.row(y)[1] = part.row(y)[2] = 0xFF000000;
  part.row(0)[4] = 0x00FFFFFF;  // no alpha: not visible
  CSprite sprite;
  sprite.images = {part, blank};
  const int spr = run.rt.resources.sprites.add("s", std::move(sprite));
  const double prop = CallReal(run, "font_add_sprite", {double(spr), 254, 1, 2});
  const double fixed = CallReal(run, "font_add_sprite", {double(spr), -5, 0, 2});
  EXPECT_EQ(run.rt.resources.fonts.name(static_cast<int>(prop)),
            "__newfont" + std::to_string(static_cast<int>(prop)));
  const CFont& p = *run.rt.resources.fonts.get(static_cast<int>(prop));
  EXPECT_EQ(p.first, 254);
  EXPECT_EQ(p.last, 255);
  EXPECT_EQ(p.sprite, spr);
  EXPECT_EQ(p.name, "");
  EXPECT_EQ(p.texture, -1);
  EXPECT_EQ(Glyph(run, prop, char(254)).advance, 2 + 2 - 1);
  EXPECT_EQ(Glyph(run, prop, char(254)).offset, -1);
  EXPECT_EQ(Glyph(run, prop, char(254)).h, 3);
  // A blank image measures from the last column back to the first.
  EXPECT_EQ(Glyph(run, prop, char(255)).advance, 0 + 2 - 4);
  EXPECT_EQ(Glyph(run, prop, char(255)).offset, -4);
  EXPECT_EQ(run.rt.resources.fonts.get(static_cast<int>(fixed))->first, 0);
  EXPECT_EQ(run.rt.resources.fonts.get(static_cast<int>(fixed))->last, 1);
  EXPECT_EQ(Glyph(run, fixed, char(0)).advance, 7);
  EXPECT_EQ(Glyph(run, fixed, char(0)).offset, 0);
}

TEST(TextFunctions, FontErrors) {
  TestRun run;
  const int font = SpriteFont(run);
  const struct {
    const char* name;
    std::vector<RValue> args;
    const char* message;
    double result;
  } cases[] = {
      {"font_add_sprite",
       {Real(9), Real(32), Real(0), Real(0)},
       "Trying to create font from non-existing sprite.",
       -1},
      {"font_replace_sprite",
       {Real(font + 1), Real(0), Real(32), Real(0), Real(0)},
       "Trying to replace non-existing font.",
       0},
      {"font_replace_sprite",
       {Real(font), Real(9), Real(32), Real(0), Real(0)},
       "Trying to replace font from non-existing sprite.",
       0},
      {"font_replace",
       {Real(-1), Str("Arial"), Real(12), Real(0), Real(0), Real(32), Real(127)},
       "Trying to replace non-existing font.",
       0},
      {"font_delete", {Real(font + 1)}, "Trying to delete non-existing font.", 0},
  };
  for (const auto& c : cases) {
    run.rt.code.report.last.clear();
    EXPECT_EQ(pxtest::CallWith(run, c.name, c.args).real, c.result) << c.name;
    EXPECT_NE(run.rt.code.report.last.find(c.message), std::string::npos) << c.name;
  }
  EXPECT_EQ(run.rt.resources.fonts.count(), font + 1);
}

TEST(TextFunctions, DeletedFontFallsBackToTheDefault) {
  DeviceRun run;
  const int font = SpriteFont(run);
  CallReal(run, "draw_set_font", {double(font)});
  EXPECT_EQ(Call(run, "string_width", {Str("ab")}).real, 9);
  EXPECT_EQ(CallReal(run, "font_delete", {double(font)}), 1);
  EXPECT_FALSE(run.rt.resources.fonts.exists(font));
  // The index is kept and tested at each call.
  EXPECT_EQ(run.rt.display.text.font, font);
  const double w = Call(run, "string_width", {Str("ab")}).real;
  EXPECT_GT(w, 2);
  ASSERT_TRUE(run.rt.display.text.defaultFont);
  EXPECT_EQ(run.rt.display.text.defaultFont->name, "Arial");
  EXPECT_EQ(run.rt.display.text.defaultFont->last, 127);
  EXPECT_TRUE(run.rt.display.textures.TextureExists(run.rt.display.text.defaultFont->texture));
  // Text in the default font reaches the screen.
  CallReal(run, "draw_set_color", {0xFFFFFF});
  Call(run, "draw_text", {Real(2), Real(2), Str("WW")});
  const TBitmap32 frame = run.Frame();
  int lit = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) lit += (frame.GetPixel(x, y) & 0xFF) > 128;
  EXPECT_GT(lit, 10);
}

TEST(SystemFonts, PageLayoutAndMetrics) {
  DeviceRun run;
  const double regular =
      Call(run, "font_add", {Str("Arial"), Real(12), Real(0), Real(0), Real(-4), Real(300)}).real;
  const CFont& f = *run.rt.resources.fonts.get(static_cast<int>(regular));
  EXPECT_EQ(f.first, 0);
  EXPECT_EQ(f.last, 255);
  EXPECT_EQ(f.name, "Arial");
  EXPECT_TRUE(run.rt.display.textures.TextureExists(f.texture));
  // The page is 128 doubled until it is at least as wide as high.
  EXPECT_GE(f.page_width, f.page_height);
  EXPECT_EQ(f.page_width % 128, 0);
  EXPECT_EQ(f.page_width & (f.page_width - 1), 0);
  EXPECT_EQ(f.page_alpha.size(), std::size_t(f.page_width) * f.page_height);
  const int lh = f.glyphs[0].h;
  EXPECT_GT(lh, 10);
  // Every glyph in the page, one line high, its box apart from the next one's.
  for (int c = f.first; c <= f.last; ++c) {
    const RGlyph& g = f.glyphs[c];
    EXPECT_EQ(g.h, lh) << c;
    EXPECT_GE(g.w, 1) << c;
    EXPECT_LE(g.x + g.w, f.page_width) << c;
    EXPECT_LE(g.y + g.h, f.page_height) << c;
    if (c < f.last && f.glyphs[c + 1].y == g.y) {
      EXPECT_EQ(f.glyphs[c + 1].x, g.x + g.w + 1) << c;
    }
  }
  const RGlyph& w = f.glyphs['W'];
  EXPECT_GT(w.advance, f.glyphs['i'].advance);
  // Ink inside the box of 'W', none in the gap after it.
  int ink = 0, gap = 0;
  for (int y = w.y; y < w.y + w.h; ++y) {
    for (int x = w.x; x < w.x + w.w; ++x)
      ink = std::max<int>(ink, f.page_alpha[y * f.page_width + x]);
    gap = std::max<int>(gap, f.page_alpha[y * f.page_width + w.x + w.w]);
  }
  EXPECT_GT(ink, 200);
  EXPECT_EQ(gap, 0);

  // Bold is wider; a family that is not installed falls back to another.
  const double bold =
      Call(run, "font_add", {Str("Arial"), Real(12), Real(1), Real(0), Real(32), Real(127)}).real;
  EXPECT_GE(Glyph(run, bold, 'W').advance, w.advance);
  const double missing =
      Call(run, "font_add",
           {Str("No Such Family Anywhere"), Real(12), Real(0), Real(1), Real(32), Real(127)})
          .real;
  EXPECT_GT(Glyph(run, missing, 'W').advance, 5);
  EXPECT_EQ(run.rt.resources.fonts.get(static_cast<int>(missing))->name, "No Such Family Anywhere");
  // Replacing keeps the slot's name and frees the old page texture.
  EXPECT_EQ(Call(run, "font_replace",
                 {Real(regular), Str("Arial"), Real(24), Real(0), Real(0), Real(65), Real(90)})
                .real,
            1);
  EXPECT_EQ(run.rt.resources.fonts.name(static_cast<int>(regular)),
            "__newfont" + std::to_string(static_cast<int>(regular)));
  EXPECT_EQ(f.size, 24);
  EXPECT_GT(f.glyphs['A'].h, lh);
  EXPECT_TRUE(run.rt.display.textures.TextureExists(f.texture));
  EXPECT_EQ(run.rt.display.textures.Get(f.texture)->width, f.page_width);
}

TEST(TextFunctions, GameFontsGetPageTexturesWithTheOtherResources) {
  DeviceRun run;
  CFont page;
  page.page_width = 8;
  page.page_height = 2;
  page.page_alpha.assign(16, 255);
  CFont broken = page;
  broken.page_alpha.resize(3);  // fewer bytes than the page holds
  const int withPage = run.rt.resources.fonts.add("page", page);
  const int without = run.rt.resources.fonts.add("broken", broken);
  const int sprite = SpriteFont(run);
  MakeResourceTextures(run.rt.display.textures, run.rt.resources);
  const RTexture* t = run.rt.display.textures.Get(run.rt.resources.fonts.get(withPage)->texture);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->width, 8);
  EXPECT_EQ(t->height, 2);
  EXPECT_EQ(run.rt.resources.fonts.get(without)->texture, -1);
  EXPECT_EQ(run.rt.resources.fonts.get(sprite)->texture, -1);
  // A font without a page measures but draws nothing.
  CallReal(run, "draw_set_font", {double(without)});
  EXPECT_EQ(Call(run, "string_width", {Str("x")}).real, 1);
  Call(run, "draw_text", {Real(0), Real(0), Str("x")});
}
