// System fonts: a face found by family name, size and style, and its
// glyphs rendered as coverage. A family that is not installed falls back to
// the closest installed one; a style the face lacks is made by emboldening
// or slanting the outlines. FreeType renders, fontconfig finds the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace px {

// One glyph as rendered: its coverage (0..255, `pitch` bytes a row), the
// place of its top-left pixel relative to the pen on the baseline (y grows
// downwards), and the pen's advance.
struct GlyphImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int pitch = 0;
  int advance = 0;
  const std::uint8_t* coverage = nullptr;
};

class SystemFont {
 public:
  // Nothing when no face at all can be opened. Size in points at 96 pixels
  // an inch.
  static std::unique_ptr<SystemFont> Open(const std::string& family, int size, bool bold,
                                          bool italic);
  virtual ~SystemFont() = default;

  // The height of a line: ascent plus descent, in pixels.
  virtual int lineHeight() const = 0;
  virtual int ascent() const = 0;
  // The glyph of a character of the game's code page; false when it
  // cannot be rendered. The image stays valid until the next call.
  virtual bool Render(std::uint8_t character, GlyphImage& glyph) = 0;
};

}  // namespace px
