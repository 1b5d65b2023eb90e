// Making fonts: the glyph page of a system font, the glyph table of a font
// made from a sprite, and the page texture of a font.
#pragma once

#include <string>

namespace px {

class CFont;
class CSprite;
class TextureTable;

// Renders the font's name, size, bold and italic over its character range
// into a fresh glyph page with its glyph table. False (the font left
// without glyphs) when no system font can be opened.
bool RenderSystemFont(CFont& font);
// Sets the font's system font and range, then renders it.
void RenderSystemFont(CFont& font, const std::string& name, int size, bool bold, bool italic,
                      int first, int last);

// Makes the font a font of the sprite (number `sprite`) whose images are
// the characters from `first` on. Proportional fonts measure each image by
// its visible columns; `sep` is added to every advance.
void BuildSpriteFont(CFont& font, const CSprite& image, int sprite, int first, bool proportional,
                     int sep);

// The font's page texture, made anew (the old one freed first); -1 for a
// font without a page or one the device refuses.
void MakeTextures(TextureTable& table, CFont& font);
void FreeTextures(TextureTable& table, CFont& font);

}  // namespace px
