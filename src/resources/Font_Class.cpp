#include "resources/Font_Class.h"

#include <algorithm>

namespace px {

namespace {
constexpr std::int32_t kFontVersion = 800;
}  // namespace

bool CFont::LoadFromStream(CStream& s) {
  *this = CFont{};
  if (StreamReadInt(s) != kFontVersion) return false;
  name = StreamReadString(s);
  size = StreamReadInt(s);
  bold = StreamReadBool(s);
  italic = StreamReadBool(s);
  first = StreamReadInt(s);
  last = StreamReadInt(s);
  for (RGlyph& g : glyphs)
    for (std::int32_t* v : {&g.x, &g.y, &g.w, &g.h, &g.advance, &g.offset}) *v = StreamReadInt(s);
  page_width = StreamReadInt(s);
  page_height = StreamReadInt(s);
  const CStream page = StreamReadBlock(s);
  if (page_width > 0 && page_height > 0) {
    // The page is sized by the stored block, so a damaged size cannot make
    // it larger than the data: a size beyond the block is refused.
    const std::size_t bytes =
        static_cast<std::size_t>(page_width) * static_cast<std::size_t>(page_height);
    if (bytes > page.size()) return false;
    page_alpha.assign(page.data(), page.data() + bytes);
  }
  return true;
}

void CFont::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kFontVersion);
  StreamWriteString(s, name);
  StreamWriteInt(s, size);
  StreamWriteBool(s, bold);
  StreamWriteBool(s, italic);
  StreamWriteInt(s, first);
  StreamWriteInt(s, last);
  for (const RGlyph& g : glyphs)
    for (std::int32_t v : {g.x, g.y, g.w, g.h, g.advance, g.offset}) StreamWriteInt(s, v);
  StreamWriteInt(s, page_width);
  StreamWriteInt(s, page_height);
  StreamWriteBlock(s, page_alpha);
}

}  // namespace px
