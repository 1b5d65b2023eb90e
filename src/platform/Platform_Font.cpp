#include "platform/Platform_Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>

#include "platform/Platform_CodePage.h"

namespace px {

namespace {

struct LibraryCloser {
  void operator()(FT_Library l) const { FT_Done_FreeType(l); }
};
struct FaceCloser {
  void operator()(FT_Face f) const { FT_Done_Face(f); }
};
struct PatternCloser {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternCloser>;

// The installed font file closest to the request, with the weight and slant
// it really has.
struct FoundFace {
  std::string file;
  int index = 0;
  bool bold = false;
  bool italic = false;
};

bool FindFace(const std::string& family, bool bold, bool italic, FoundFace& found) {
  if (!FcInit()) return false;
  PatternPtr pattern(FcPatternCreate());
  if (!pattern) return false;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return false;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) return false;
  found.file = reinterpret_cast<const char*>(file);
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.index);
  int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(match.get(), FC_SLANT, 0, &slant);
  found.bold = weight >= FC_WEIGHT_DEMIBOLD;
  found.italic = slant != FC_SLANT_ROMAN;
  return true;
}

int Ceil26(FT_Pos v) {
  return static_cast<int>((v + 63) >> 6);
}

class FreeTypeFont final : public SystemFont {
 public:
  bool Open(const std::string& family, int size, bool bold, bool italic) {
    FoundFace found;
    if (!FindFace(family, bold, italic, found)) return false;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return false;
    library_.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Face(library, found.file.c_str(), found.index, &face) != 0) return false;
    face_.reset(face);
    // Points to pixels at 96 pixels an inch, as a desktop measures them.
    const int pixels = std::max(1, static_cast<int>(std::lround(std::abs(size) * 96.0 / 72.0)));
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) return false;
    embolden_ = bold && !found.bold;
    slant_ = italic && !found.italic;
    ascent_ = Ceil26(face->size->metrics.ascender);
    lineHeight_ = ascent_ + Ceil26(-face->size->metrics.descender);
    return true;
  }

  int lineHeight() const override { return lineHeight_; }
  int ascent() const override { return ascent_; }

  bool Render(std::uint8_t character, GlyphImage& glyph) override {
    FT_Face face = face_.get();
    const FT_UInt index = FT_Get_Char_Index(face, CharOfByte(character));
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (slant_) {
        // A slant of about 12 degrees, leaning right.
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
      }
      if (embolden_) {
        const FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
        FT_Outline_Embolden(&slot->outline, strength);
        slot->advance.x += strength;
      }
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& b = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = ascent_ - slot->bitmap_top;
    glyph.width = static_cast<int>(b.width);
    glyph.height = static_cast<int>(b.rows);
    glyph.pitch = b.pitch;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage = b.buffer;
    // Only grey bitmaps with rows top to bottom are read.
    if (b.pixel_mode != FT_PIXEL_MODE_GRAY || b.pitch < 0) glyph.width = glyph.height = 0;
    return true;
  }

 private:
  std::unique_ptr<FT_LibraryRec_, LibraryCloser> library_;
  std::unique_ptr<FT_FaceRec_, FaceCloser> face_;
  bool embolden_ = false;
  bool slant_ = false;
  int ascent_ = 0;
  int lineHeight_ = 0;
};

}  // namespace

std::unique_ptr<SystemFont> SystemFont::Open(const std::string& family, int size, bool bold,
                                             bool italic) {
  auto font = std::make_unique<FreeTypeFont>();
  if (!font->Open(family, size, bold, italic)) return nullptr;
  return font;
}

}  // namespace px
