// Text drawing: the font and alignment, the measures of a text and every
// draw_text variant.
#include <string>

#include "code/Support_Format.h"
#include "graphics/Graphics_Font.h"
#include "graphics/Graphics_Text.h"
#include "library/Function_Graphics.h"
#include "library/Function_Support.h"
#include "run/Runtime.h"

namespace px {

CFont& DefaultFont(Runtime& rt) {
  std::unique_ptr<CFont>& font = rt.display.text.defaultFont;
  if (!font) {
    font = std::make_unique<CFont>();
    RenderSystemFont(*font, "Arial", 12, false, false, 32, 127);
  }
  // Made again when there was no device to hold it yet.
  if (font->texture < 0) MakeTextures(rt.display.textures, *font);
  return *font;
}

CFont& TextFont(Runtime& rt, int index) {
  if (CFont* font = rt.resources.fonts.get(index)) return *font;
  return DefaultFont(rt);
}

std::string_view TextOf(const RValue& v, std::string& scratch) {
  if (v.isString()) return v.str();
  scratch = RealToText(v.real);
  return scratch;
}

void DrawTextWith(Runtime& rt, int fontIndex, double x, double y, std::string_view text,
                  const TextStyle& style) {
  const CFont& font = TextFont(rt, fontIndex);
  const CSprite* sprite = font.sprite >= 0 ? rt.resources.sprites.get(font.sprite) : nullptr;
  DrawText(rt.display.draw, rt.display.text.layout, font, sprite, x, y, text, style);
}

namespace {

using Args = const FunctionArgs&;

std::uint32_t Colour(const RValue& v) {
  return static_cast<std::uint32_t>(RealToInt(v.real)) & 0xFFFFFF;
}

#define PX_TEXT_FN(name)                                                                \
  void name([[maybe_unused]] Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

PX_TEXT_FN(DrawSetFont) {
  const int index = IntArg(a[0]);
  rt.display.text.font = rt.resources.fonts.exists(index) ? index : -1;
  if (rt.display.text.font < 0) DefaultFont(rt);
}
PX_TEXT_FN(DrawSetHalign) {
  rt.display.text.halign = AlignmentOf(IntArg(a[0]));
}
PX_TEXT_FN(DrawSetValign) {
  rt.display.text.valign = AlignmentOf(IntArg(a[0]));
}

// The measures of a text in the current font, with the separation and
// wrapping width of the _ext forms.
TextExtent Measure(Runtime& rt, Args a, double sep, double width) {
  std::string scratch;
  const std::string_view text = TextOf(a[0], scratch);
  return MeasureText(rt.display.text.layout, text, TextFont(rt, rt.display.text.font), sep, width);
}
PX_TEXT_FN(StringWidth) {
  result.setReal(Measure(rt, a, -1, -1).width);
}
PX_TEXT_FN(StringHeight) {
  result.setReal(Measure(rt, a, -1, -1).height);
}
PX_TEXT_FN(StringWidthExt) {
  result.setReal(Measure(rt, a, a[1].real, a[2].real).width);
}
PX_TEXT_FN(StringHeightExt) {
  result.setReal(Measure(rt, a, a[1].real, a[2].real).height);
}

// draw_text and its variants: x, y, text, then the separation and width
// of the _ext forms, the scales and angle of the transformed ones, and the
// four colours and alpha of the coloured ones.
template <bool Ext, bool Transformed, bool Colored>
PX_TEXT_FN(DrawTextFn) {
  TextStyle style;
  style.halign = rt.display.text.halign;
  style.valign = rt.display.text.valign;
  std::size_t i = 3;
  if constexpr (Ext) {
    style.sep = a[i].real;
    style.width = a[i + 1].real;
    i += 2;
  }
  if constexpr (Transformed) {
    style.transformed = true;
    style.xscale = a[i].real;
    style.yscale = a[i + 1].real;
    style.angle = a[i + 2].real;
    i += 3;
  }
  if constexpr (Colored) {
    style.colored = true;
    for (int k = 0; k < 4; ++k) style.colors[k] = Colour(a[i + k]);
    style.alpha = a[i + 4].real;
  }
  std::string scratch;
  DrawTextWith(rt, rt.display.text.font, a[0].real, a[1].real, TextOf(a[2], scratch), style);
}

#undef PX_TEXT_FN

constexpr FunctionDef kTextFunctions[] = {
    {"draw_set_font", DrawSetFont},
    {"draw_set_halign", DrawSetHalign},
    {"draw_set_valign", DrawSetValign},
    {"string_width", StringWidth},
    {"string_height", StringHeight},
    {"string_width_ext", StringWidthExt},
    {"string_height_ext", StringHeightExt},
    {"draw_text", DrawTextFn<false, false, false>},
    {"draw_text_ext", DrawTextFn<true, false, false>},
    {"draw_text_transformed", DrawTextFn<false, true, false>},
    {"draw_text_ext_transformed", DrawTextFn<true, true, false>},
    {"draw_text_color", DrawTextFn<false, false, true>},
    {"draw_text_transformed_color", DrawTextFn<false, true, true>},
    {"draw_text_ext_color", DrawTextFn<true, false, true>},
    {"draw_text_ext_transformed_color", DrawTextFn<true, true, true>},
};

}  // namespace

std::span<const FunctionDef> TextFunctions() {
  return kTextFunctions;
}

}  // namespace px
