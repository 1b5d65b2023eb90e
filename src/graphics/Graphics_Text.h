// Text: the metrics of a font's characters, the layout of a text into
// lines (line breaks, '#', wrapping) and the drawing of laid-out text with
// alignment, separation, scale, rotation and colour gradients. Layout and
// drawing reuse their buffers; nothing is allocated per glyph.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace px {

class CFont;
class CSprite;
class Drawing;
class TBitmap32;

// How far the pen moves over a character: its advance within the font's
// range, else the space's (or the first character's when the space is
// outside the range).
int CharAdvance(const CFont& font, std::uint8_t c);
// The sum of the advances of the line's characters.
int TextWidth(const CFont& font, std::string_view line);
// The height of the font's first character.
int LineHeight(const CFont& font);

class TextLayout {
 public:
  // Lays the text out into lines, wrapped at `width` (none when negative).
  // The lines stay valid until the next call.
  std::span<const std::string_view> Layout(std::string_view text, const CFont& font, double width);
  std::span<const std::string_view> lines() const { return lines_; }

 private:
  void Wrap(std::string_view paragraph, const CFont& font, double width);

  std::string text_;
  std::vector<std::string_view> lines_;
};

// The widest line (at least 1) and the height of a laid-out text; `sep`
// below 0 is the font's line height.
struct TextExtent {
  int width = 1;
  int height = 1;
};
TextExtent MeasureText(TextLayout& layout, std::string_view text, const CFont& font, double sep,
                       double width);

// How a text is drawn. `transformed` places lines and glyphs by scale and
// angle (degrees) with rounding; `colored` spreads the four corner colours
// (top-left, top-right, bottom-right, bottom-left, 0xBBGGRR) across each
// line; otherwise glyphs take the drawing colour and alpha.
struct TextStyle {
  int halign = 0;  // 0 left, 1 centre, 2 right
  int valign = 0;  // 0 top, 1 middle, 2 bottom
  double sep = -1;
  double width = -1;
  bool transformed = false;
  double xscale = 1;
  double yscale = 1;
  double angle = 0;
  bool colored = false;
  std::uint32_t colors[4] = {0, 0, 0, 0};
  double alpha = 1;
};

// Draws the text at (x, y). `sprite` is the font's sprite for a sprite
// font; a font with neither page texture nor sprite draws nothing.
void DrawText(Drawing& draw, TextLayout& layout, const CFont& font, const CSprite* sprite, double x,
              double y, std::string_view text, const TextStyle& style);

// Writes one line of a font with a glyph page into an image without the
// device: each glyph's alpha blends `rgb` (0xRRGGBB) over the pixels inside
// the clip box [left, right) x [top, bottom).
struct ClipBox {
  int left, top, right, bottom;
};
void DrawTextLine(TBitmap32& target, const CFont& font, int x, int y, std::string_view line,
                  std::uint32_t rgb, ClipBox clip);

// The text state of the display: the font and alignment set by game code,
// those of the drawing actions, and the default font made on first need.
struct TextState {
  int font = -1;
  int halign = 0;
  int valign = 0;
  int actionFont = -1;
  int actionAlign = 0;
  std::unique_ptr<CFont> defaultFont;
  TextLayout layout;

  TextState();
  ~TextState();
  TextState(const TextState&) = delete;
  TextState& operator=(const TextState&) = delete;
};

// An alignment argument: 1 and 2 stay, anything else is 0.
int AlignmentOf(int value);

}  // namespace px
