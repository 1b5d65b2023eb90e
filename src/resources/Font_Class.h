// CFont: a font resource: the font it was made from and its rendered glyph
// page (one alpha byte per pixel) with each glyph's place and metrics.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Support_Stream.h"

namespace px {

struct RGlyph {
  std::int32_t x = 0;  // rectangle in the glyph page
  std::int32_t y = 0;
  std::int32_t w = 0;
  std::int32_t h = 0;
  std::int32_t advance = 0;  // horizontal advance
  std::int32_t offset = 0;   // horizontal drawing offset
  bool operator==(const RGlyph&) const = default;
};

class CFont {
 public:
  std::string name;  // the font's family name
  int size = 12;     // points
  bool bold = false;
  bool italic = false;
  int first = 32;  // first and last character codes
  int last = 128;
  std::array<RGlyph, 256> glyphs{};
  int page_width = 0;
  int page_height = 0;
  std::vector<std::uint8_t> page_alpha;  // page_width x page_height, row by row
  int sprite = -1;                       // the sprite of a font made from one at run time
  int texture = -1;                      // set when the graphics are prepared

  // Resets to the defaults, then reads the record. A wrong version, or a
  // page block holding fewer than page_width x page_height bytes, gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CFont&) const = default;
};

}  // namespace px
