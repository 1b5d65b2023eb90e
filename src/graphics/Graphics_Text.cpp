#include "graphics/Graphics_Text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/BM32_Bitmap.h"
#include "graphics/Graphics_Color.h"
#include "graphics/Graphics_Draw.h"
#include "resources/Font_Class.h"
#include "resources/Sprite_Class.h"

namespace px {

int CharAdvance(const CFont& font, std::uint8_t c) {
  if (c >= font.first && c <= font.last) return font.glyphs[c].advance;
  if (font.first <= 32 && 32 <= font.last) return font.glyphs[32].advance;
  return font.first >= 0 && font.first <= 255 ? font.glyphs[font.first].advance : 0;
}

int TextWidth(const CFont& font, std::string_view line) {
  int width = 0;
  for (const char ch : line) width += CharAdvance(font, static_cast<std::uint8_t>(ch));
  return width;
}

int LineHeight(const CFont& font) {
  return font.first >= 0 && font.first <= 255 ? font.glyphs[font.first].h : 0;
}

TextState::TextState() = default;
TextState::~TextState() = default;

int AlignmentOf(int value) {
  return value == 1 || value == 2 ? value : 0;
}

// ---- Layout ----

std::span<const std::string_view> TextLayout::Layout(std::string_view text, const CFont& font,
                                                     double width) {
  // '#' breaks the line unless a backslash comes right before it: then the
  // pair stands for a '#'. Line feeds become carriage returns, those after
  // a carriage return vanish; carriage returns end paragraphs.
  text_.clear();
  char previous = 0;
  bool afterReturn = false;  // the last break came from '#' or a carriage return
  for (const char ch : text) {
    const bool wasAfterReturn = afterReturn;
    afterReturn = false;
    if (ch == '#' && previous == '\\') {
      text_.back() = '#';
    } else if (ch == '#' || ch == '\r') {
      text_ += '\r';
      afterReturn = true;
    } else if (ch == '\n') {
      if (!wasAfterReturn) text_ += '\r';
    } else {
      text_ += ch;
    }
    previous = ch;
  }
  lines_.clear();
  std::string_view rest = text_;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\r');
    const std::string_view paragraph = rest.substr(0, end);
    if (width < 0 || paragraph.empty())
      lines_.push_back(paragraph);
    else
      Wrap(paragraph, font, width);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  return lines_;
}

namespace {

// The next word: up to and including the next space or hyphen, or the rest.
std::size_t WordLength(std::string_view text) {
  const std::size_t end = text.find_first_of(" -");
  return end == std::string_view::npos ? text.size() : end + 1;
}

}  // namespace

void TextLayout::Wrap(std::string_view paragraph, const CFont& font, double width) {
  while (!paragraph.empty()) {
    std::size_t length = WordLength(paragraph);
    int lineWidth = TextWidth(font, paragraph.substr(0, length));
    while (lineWidth < width && length < paragraph.size()) {
      const std::size_t word = WordLength(paragraph.substr(length));
      const int wordWidth = TextWidth(font, paragraph.substr(length, word));
      if (lineWidth + wordWidth > width) break;
      length += word;
      lineWidth += wordWidth;
    }
    lines_.push_back(paragraph.substr(0, length));
    paragraph.remove_prefix(length);
  }
}

TextExtent MeasureText(TextLayout& layout, std::string_view text, const CFont& font, double sep,
                       double width) {
  const auto lines = layout.Layout(text, font, width);
  TextExtent extent;
  for (const std::string_view line : lines)
    extent.width = std::max(extent.width, TextWidth(font, line));
  if (!lines.empty()) {
    const int lh = LineHeight(font);
    const double step = sep < 0 ? lh : sep;
    extent.height = static_cast<int>(lh + step * static_cast<double>(lines.size() - 1));
  }
  return extent;
}

// ---- Drawing ----

namespace {

// Where and how the glyphs of one text go.
struct GlyphPlacer {
  Drawing& draw;
  const CFont& font;
  const CSprite* sprite;
  const TextStyle& style;
  double angle = 0;  // radians
  double sn = 0, cs = 1;
  std::uint32_t color = 0;
  double alpha = 1;

  // The glyph of c with its top-left pen point at (x, y); `from` and `to`
  // are the glyph's left and right as parts of the line's width.
  void Glyph(std::uint8_t c, double x, double y, double from, double to) const {
    const RGlyph& g = font.glyphs[c];
    const double gx = x + style.xscale * g.offset * cs, gy = y - style.xscale * g.offset * sn;
    std::uint32_t c1 = color, c2 = color, c3 = color, c4 = color;
    if (style.colored) {
      c1 = MergeColor(style.colors[0], style.colors[1], from);
      c2 = MergeColor(style.colors[0], style.colors[1], to);
      c3 = MergeColor(style.colors[3], style.colors[2], to);
      c4 = MergeColor(style.colors[3], style.colors[2], from);
    }
    if (!sprite) {
      draw.TextureGeneral(font.texture, g.x, g.y, g.w, g.h, gx, gy, style.xscale, style.yscale,
                          angle, c1, c2, c3, c4, alpha);
      return;
    }
    const auto image = static_cast<std::size_t>(c - font.first);
    if (image >= sprite->textures.size()) return;
    const int id = sprite->textures[image];
    if (!style.colored) {
      draw.TextureExt(id, sprite->xoffset, sprite->yoffset, gx, gy, style.xscale, style.yscale,
                      angle, color, alpha);
      return;
    }
    // The whole image, its origin moved onto the glyph's place.
    const double lx = -sprite->xoffset * style.xscale, ly = -sprite->yoffset * style.yscale;
    const TBitmap32& bitmap = sprite->images[image];
    draw.TextureGeneral(id, 0, 0, bitmap.width(), bitmap.height(), gx + lx * cs + ly * sn,
                        gy - lx * sn + ly * cs, style.xscale, style.yscale, angle, c1, c2, c3, c4,
                        alpha);
  }

  void Line(std::string_view line, double x, double y, int lineWidth) const {
    int pen = 0;
    for (const char ch : line) {
      const auto c = static_cast<std::uint8_t>(ch);
      const int advance = CharAdvance(font, c);
      if (c >= font.first && c <= font.last) {
        const double from = lineWidth > 0 ? static_cast<double>(pen) / lineWidth : 0;
        const double to = lineWidth > 0 ? static_cast<double>(pen + advance) / lineWidth : 0;
        Glyph(c, x + pen * style.xscale * cs, y - pen * style.xscale * sn, from, to);
      }
      pen += advance;
    }
  }
};

}  // namespace

void DrawText(Drawing& draw, TextLayout& layout, const CFont& font, const CSprite* sprite, double x,
              double y, std::string_view text, const TextStyle& style) {
  if (!sprite && font.texture < 0) return;
  const auto lines = layout.Layout(text, font, style.width);
  const auto n = static_cast<double>(lines.size());
  const double sep = style.sep < 0 ? LineHeight(font) : style.sep;
  GlyphPlacer placer{draw, font, sprite, style};
  placer.color = style.colored ? 0 : draw.colorBGR();
  placer.alpha = style.colored ? style.alpha : draw.alpha();
  if (!style.transformed) {
    if (style.valign == 1) y -= std::trunc(n * sep / 2);
    if (style.valign == 2) y -= n * sep;
    for (const std::string_view line : lines) {
      const int w = TextWidth(font, line);
      const int xoff = style.halign == 1 ? -(w / 2) : style.halign == 2 ? -w : 0;
      placer.Line(line, x + xoff, y, w);
      y += sep;
    }
    return;
  }
  placer.angle = style.angle * std::numbers::pi / 180;
  placer.sn = std::sin(placer.angle);
  placer.cs = std::cos(placer.angle);
  const double sn = placer.sn, cs = placer.cs;
  const double stepX = sep * style.yscale * sn, stepY = sep * style.yscale * cs;
  if (style.valign == 1) {
    x -= std::nearbyint(n * stepX / 2);
    y -= std::nearbyint(n * stepY / 2);
  } else if (style.valign == 2) {
    x -= std::nearbyint(n * stepX);
    y -= std::nearbyint(n * stepY);
  }
  for (const std::string_view line : lines) {
    const int w = TextWidth(font, line);
    const double xoff = style.halign == 1   ? -std::nearbyint(style.xscale * w / 2)
                        : style.halign == 2 ? -std::nearbyint(style.xscale * w)
                                            : 0;
    placer.Line(line, x + xoff * cs, y - xoff * sn, w);
    x += stepX;
    y += stepY;
  }
}

void DrawTextLine(TBitmap32& target, const CFont& font, int x, int y, std::string_view line,
                  std::uint32_t rgb, ClipBox clip) {
  const auto size = static_cast<std::size_t>(std::max(0, font.page_width)) *
                    static_cast<std::size_t>(std::max(0, font.page_height));
  if (size == 0 || font.page_alpha.size() < size) return;
  clip.left = std::max(clip.left, 0);
  clip.top = std::max(clip.top, 0);
  clip.right = std::min(clip.right, target.width());
  clip.bottom = std::min(clip.bottom, target.height());
  int pen = x;
  for (const char ch : line) {
    const auto c = static_cast<std::uint8_t>(ch);
    if (c >= font.first && c <= font.last) {
      const RGlyph& g = font.glyphs[c];
      for (int row = 0; row < g.h; ++row) {
        const int ty = y + row, sy = g.y + row;
        if (ty < clip.top || ty >= clip.bottom || sy < 0 || sy >= font.page_height) continue;
        const std::uint8_t* alpha =
            font.page_alpha.data() + static_cast<std::size_t>(sy) * font.page_width;
        std::uint32_t* dst = target.row(ty);
        for (int col = 0; col < g.w; ++col) {
          const int tx = pen + g.offset + col, sx = g.x + col;
          if (tx < clip.left || tx >= clip.right || sx < 0 || sx >= font.page_width) continue;
          const std::uint32_t a = alpha[sx];
          if (a == 0) continue;
          std::uint32_t out = dst[tx] & 0xFF000000u;
          for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t d = (dst[tx] >> shift) & 0xFF, s = (rgb >> shift) & 0xFF;
            out |= ((d * (255 - a) + s * a + 127) / 255) << shift;
          }
          dst[tx] = out;
        }
      }
    }
    pen += CharAdvance(font, c);
  }
}

}  // namespace px
