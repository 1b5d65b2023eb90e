// Laying text out into lines: line breaks, '#' and its escape, wrapping
// at spaces and hyphens, and the character metrics behind the widths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Graphics_Text.h"
#include "resources/Font_Class.h"

using namespace px;

namespace {

// Every character of a..z advances 1, the space 1 and the hyphen 1.
CFont UnitFont() {
  CFont f;
  f.first = 32;
  f.last = 127;
  for (int c = f.first; c <= f.last; ++c) f.glyphs[c] = {0, 0, 1, 5, 1, 0};
  return f;
}

std::vector<std::string> Lines(const std::string& text, double width, const CFont& font) {
  TextLayout layout;
  std::vector<std::string> out;
  for (const std::string_view line : layout.Layout(text, font, width)) out.emplace_back(line);
  return out;
}

}  // namespace

TEST(TextLayout, BreaksAndWrapping) {
  const CFont font = UnitFont();
  using V = std::vector<std::string>;
  const struct {
    std::string text;
    double width;
    V lines;
  } cases[] = {
      {"", -1, {}},
      {"ab", -1, {"ab"}},
      {"a#b", -1, {"a", "b"}},
      {"a\\#b", -1, {"a#b"}},
      {"ab#", -1, {"ab"}},
      {"#", -1, {""}},
      {"a##b", -1, {"a", "", "b"}},
      {"a\r\nb", -1, {"a", "b"}},
      {"a\nb\rc", -1, {"a", "b", "c"}},
      {"a\n\nb", -1, {"a", "", "b"}},
      {"a\r\rb", -1, {"a", "", "b"}},
      {"a#\nb", -1, {"a", "b"}},
      {"a\\\n#b", -1, {"a\\", "", "b"}},
      // Wrapped between the first word with its space (4) and the whole (7).
      {"abc def", 5, {"abc ", "def"}},
      {"abc def", 7, {"abc def"}},
      {"ab-cd", 3, {"ab-", "cd"}},
      // A word wider than the width gets a line of its own.
      {"abcdefgh ij", 3, {"abcdefgh ", "ij"}},
      {"ab cd", 0, {"ab ", "cd"}},
      // A line break inside a word ends the paragraph before wrapping.
      {"xx abc#def yy", 6, {"xx abc", "def yy"}},
      {"xx ab#cd yy zz", 5, {"xx ab", "cd ", "yy zz"}},
      // Empty paragraphs are kept when wrapping.
      {"a##b", 4, {"a", "", "b"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Lines(c.text, c.width, font), c.lines) << '"' << c.text << "\" at " << c.width;
}

TEST(TextLayout, AdvancesOutsideTheRange) {
  CFont font;
  font.first = 65;  // 'A'
  font.last = 66;
  font.glyphs[65] = {0, 0, 3, 7, 4, 0};
  font.glyphs[66] = {0, 0, 2, 5, 3, 0};
  // Without the space, characters outside the range advance as the first.
  EXPECT_EQ(CharAdvance(font, ' '), 4);
  EXPECT_EQ(TextWidth(font, "A B"), 11);
  EXPECT_EQ(LineHeight(font), 7);
  font.first = 32;
  font.glyphs[32] = {0, 0, 1, 6, 2, 0};
  EXPECT_EQ(CharAdvance(font, 20), 2);
  EXPECT_EQ(CharAdvance(font, 200), 2);
  EXPECT_EQ(LineHeight(font), 6);
}

TEST(TextLayout, Measures) {
  const CFont font = UnitFont();
  TextLayout layout;
  const struct {
    std::string text;
    double sep, width;
    int w, h;
  } cases[] = {
      {"", -1, -1, 1, 1},     {"abc", -1, -1, 3, 5}, {"a#bcd#", -1, -1, 3, 10},
      {"a#b#c", 2, -1, 1, 9}, {"ab cd", 3, 3, 3, 8},
  };
  for (const auto& c : cases) {
    const TextExtent e = MeasureText(layout, c.text, font, c.sep, c.width);
    EXPECT_EQ(e.width, c.w) << c.text;
    EXPECT_EQ(e.height, c.h) << c.text;
  }
}
