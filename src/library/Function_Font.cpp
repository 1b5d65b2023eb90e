// Fonts made at run time: from system fonts, from sprites, replaced and
// deleted.
#include <algorithm>
#include <string>

#include "code/Code_Error.h"
#include "graphics/Graphics_Font.h"
#include "library/Function_Graphics.h"
#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

#define PX_FONT_FN(name)                                                                \
  void name([[maybe_unused]] Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

// A font rendered from the system font of the arguments name, size, bold,
// italic, first, last, with its page texture made.
void MakeSystemFont(Runtime& rt, CFont& font, const RValue* a) {
  FreeTextures(rt.display.textures, font);
  RenderSystemFont(font, a[0].str(), IntArg(a[1]), FlagArg(a[2]), FlagArg(a[3]),
                   std::max(0, IntArg(a[4])), std::min(255, IntArg(a[5])));
  MakeTextures(rt.display.textures, font);
}

// The arguments sprite, first, proportional, separation.
void MakeSpriteFont(Runtime& rt, CFont& font, const CSprite& sprite, const RValue* a) {
  FreeTextures(rt.display.textures, font);
  BuildSpriteFont(font, sprite, IntArg(a[0]), IntArg(a[1]), FlagArg(a[2]), IntArg(a[3]));
}

int AddFont(Runtime& rt, CFont font) {
  ResourceList<CFont>& fonts = rt.resources.fonts;
  return fonts.add("__newfont" + std::to_string(fonts.count()), std::move(font));
}

PX_FONT_FN(FontAdd) {
  CFont font;
  MakeSystemFont(rt, font, a.data());
  result.setReal(AddFont(rt, std::move(font)));
}

// The font a replacement goes into; null after the error when it is missing.
CFont* FontToReplace(Runtime& rt, const RValue& index) {
  CFont* font = rt.resources.fonts.get(IntArg(index));
  if (!font) RuntimeError(rt, "Trying to replace non-existing font.");
  return font;
}

PX_FONT_FN(FontReplace) {
  CFont* font = FontToReplace(rt, a[0]);
  if (!font) return;
  MakeSystemFont(rt, *font, a.data() + 1);
  result.setReal(1);
}

PX_FONT_FN(FontAddSprite) {
  const CSprite* sprite = rt.resources.sprites.get(IntArg(a[0]));
  if (!sprite) {
    result.setReal(-1);
    RuntimeError(rt, "Trying to create font from non-existing sprite.");
    return;
  }
  CFont font;
  MakeSpriteFont(rt, font, *sprite, a.data());
  result.setReal(AddFont(rt, std::move(font)));
}

PX_FONT_FN(FontReplaceSprite) {
  CFont* font = FontToReplace(rt, a[0]);
  if (!font) return;
  const CSprite* sprite = rt.resources.sprites.get(IntArg(a[1]));
  if (!sprite) {
    RuntimeError(rt, "Trying to replace font from non-existing sprite.");
    return;
  }
  MakeSpriteFont(rt, *font, *sprite, a.data() + 1);
  result.setReal(1);
}

PX_FONT_FN(FontDelete) {
  const int index = IntArg(a[0]);
  CFont* font = rt.resources.fonts.get(index);
  if (!font) {
    RuntimeError(rt, "Trying to delete non-existing font.");
    return;
  }
  FreeTextures(rt.display.textures, *font);
  rt.resources.fonts.remove(index);
  result.setReal(1);
}

#undef PX_FONT_FN

constexpr FunctionDef kFontFunctions[] = {
    {"font_add", FontAdd},
    {"font_replace", FontReplace},
    {"font_add_sprite", FontAddSprite},
    {"font_replace_sprite", FontReplaceSprite},
    {"font_delete", FontDelete},
};

}  // namespace

std::span<const FunctionDef> FontFunctions() {
  return kFontFunctions;
}

}  // namespace px
