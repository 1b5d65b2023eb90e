#include "graphics/Graphics_Font.h"

#include <algorithm>
#include <vector>

#include "graphics/Graphics_Texture.h"
#include "platform/Platform_Font.h"
#include "resources/Font_Class.h"
#include "resources/Sprite_Class.h"

namespace px {

namespace {

// Places the glyphs row by row in a page `width` wide; gives the page's
// height.
int PackGlyphs(CFont& font, int width, int lineHeight) {
  int x = 0, y = 0;
  for (int c = font.first; c <= font.last; ++c) {
    RGlyph& g = font.glyphs[c];
    if (x > 0 && x + g.w >= width) {
      y += lineHeight + 1;
      x = 0;
    }
    g.x = x;
    g.y = y;
    x += g.w + 1;
  }
  return y + lineHeight + 1;
}

// Draws every glyph into the page: white on black when `white`, else black
// on white, each pixel blended by the glyph's coverage.
void DrawGlyphs(SystemFont& face, const CFont& font, const std::vector<bool>& hasAbc,
                std::vector<std::uint8_t>& page, bool white) {
  std::fill(page.begin(), page.end(), white ? 0 : 255);
  const int w = font.page_width, h = font.page_height;
  for (int c = font.first; c <= font.last; ++c) {
    GlyphImage image;
    if (!face.Render(static_cast<std::uint8_t>(c), image)) continue;
    const RGlyph& g = font.glyphs[c];
    // The pen sits left of the glyph's box by its A width.
    const int penX = hasAbc[c] ? g.x - g.offset : g.x;
    for (int row = 0; row < image.height; ++row) {
      const int py = g.y + image.top + row;
      if (py < 0 || py >= h) continue;
      const std::uint8_t* src = image.coverage + static_cast<std::ptrdiff_t>(row) * image.pitch;
      std::uint8_t* dst = page.data() + static_cast<std::ptrdiff_t>(py) * w;
      for (int col = 0; col < image.width; ++col) {
        const int px = penX + image.left + col;
        if (px < 0 || px >= w || src[col] == 0) continue;
        const int p = dst[px], cov = src[col];
        dst[px] = static_cast<std::uint8_t>(white ? p + ((255 - p) * cov + 127) / 255
                                                  : (p * (255 - cov) + 127) / 255);
      }
    }
  }
}

}  // namespace

bool RenderSystemFont(CFont& font) {
  font.glyphs = {};
  font.page_width = font.page_height = 0;
  font.page_alpha.clear();
  font.sprite = -1;
  const auto face = SystemFont::Open(font.name, font.size, font.bold, font.italic);
  if (!face) return false;
  const int lh = face->lineHeight();
  std::vector<bool> hasAbc(256, false);
  for (int c = font.first; c <= font.last; ++c) {
    RGlyph& g = font.glyphs[c];
    GlyphImage image;
    if (face->Render(static_cast<std::uint8_t>(c), image)) {
      // A, B and C widths: the space before the ink, the ink, the space after.
      const int a = image.left, b = image.width, cw = image.advance - a - b;
      g.w = b + 1;
      g.advance = a + b + cw;
      g.offset = a;
      hasAbc[c] = true;
    } else {
      g.w = font.italic ? lh / 2 + 2 : 1;
      g.advance = 0;
      g.offset = 0;
    }
    g.h = lh;
  }
  int width = 128;
  int height = PackGlyphs(font, width, lh);
  while (width < height) {
    width *= 2;
    height = PackGlyphs(font, width, lh);
  }
  font.page_width = width;
  font.page_height = height;
  const auto size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  // Coverage from white on black, and again from black on white: the alpha
  // is the mean of the first and the inverse of the second.
  std::vector<std::uint8_t> second(size);
  font.page_alpha.resize(size);
  DrawGlyphs(*face, font, hasAbc, font.page_alpha, true);
  DrawGlyphs(*face, font, hasAbc, second, false);
  for (std::size_t i = 0; i < size; ++i)
    font.page_alpha[i] = static_cast<std::uint8_t>((font.page_alpha[i] - second[i] + 255) >> 1);
  return true;
}

void RenderSystemFont(CFont& font, const std::string& name, int size, bool bold, bool italic,
                      int first, int last) {
  font.name = name;
  font.size = size;
  font.bold = bold;
  font.italic = italic;
  font.first = first;
  font.last = last;
  RenderSystemFont(font);
}

void BuildSpriteFont(CFont& font, const CSprite& image, int sprite, int first, bool proportional,
                     int sep) {
  font.glyphs = {};
  font.page_width = font.page_height = 0;
  font.page_alpha.clear();
  font.name.clear();
  font.sprite = sprite;
  font.first = std::clamp(first, 0, 255);
  font.last = std::min(255, font.first + static_cast<int>(image.images.size()) - 1);
  for (int c = font.first; c <= font.last; ++c) {
    const TBitmap32& img = image.images[static_cast<std::size_t>(c - font.first)];
    int left = 0, right = img.width();
    if (proportional) {
      // The left-most and right-most columns holding a visible pixel.
      left = img.width() - 1;
      right = 0;
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if ((img.row(y)[x] >> 24) > 0) {
            left = std::min(left, x);
            right = std::max(right, x);
          }
    }
    RGlyph& g = font.glyphs[c];
    g.w = img.width();
    g.h = image.height();
    g.advance = right + sep - left;
    g.offset = -left;
  }
}

void MakeTextures(TextureTable& table, CFont& font) {
  FreeTextures(table, font);
  const auto size =
      static_cast<std::size_t>(std::max(0, font.page_width)) * std::max(0, font.page_height);
  if (size == 0 || font.page_alpha.size() < size) return;
  font.texture = table.TextureFromAlpha(font.page_width, font.page_height, font.page_alpha);
  table.PreloadTexture(font.texture);
}

void FreeTextures(TextureTable& table, CFont& font) {
  table.DeleteTexture(font.texture);
  font.texture = -1;
}

}  // namespace px
