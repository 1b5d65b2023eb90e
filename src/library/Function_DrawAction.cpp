// The drawing actions of the standard library. Positions are relative to
// the calling instance when the running action has its relative option on.
#include <string>

#include "code/Code_Error.h"
#include "graphics/Graphics_Text.h"
#include "library/Function_Graphics.h"
#include "library/Function_Support.h"
#include "run/Room_Draw.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"
#include "world/Instance_Class.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

std::uint32_t Colour(const RValue& v) {
  return static_cast<std::uint32_t>(RealToInt(v.real)) & 0xFFFFFF;
}

// A position argument pair, moved by the instance's position when relative.
struct At {
  double x, y;
};
At Place(const Runtime& rt, CInstanceBase* self, const RValue& x, const RValue& y) {
  const CInstance* i = AsInstance(self);
  if (rt.vars.argumentRelative && i) return {i->x + x.real, i->y + y.real};
  return {x.real, y.real};
}

// The box of the first four arguments, both corners placed.
struct Box {
  At p1, p2;
};
Box PlaceBox(const Runtime& rt, CInstanceBase* self, Args a) {
  return {Place(rt, self, a[0], a[1]), Place(rt, self, a[2], a[3])};
}

#define PX_ACTION_FN(name)                                                                   \
  void name(Runtime& rt, [[maybe_unused]] CInstanceBase* self, CInstanceBase*, std::int32_t, \
            RValue&, [[maybe_unused]] Args a)

PX_ACTION_FN(DrawSpriteAction) {
  const CSprite* s = rt.resources.sprites.get(IntArg(a[0]));
  if (!s) {
    RuntimeError(rt, "Trying to draw a non-existing sprite.");
    return;
  }
  const At p = Place(rt, self, a[1], a[2]);
  rt.display.draw.TextureQuad(SpriteImageTexture(*s, self, a[3].real), p.x - s->xoffset,
                              p.y - s->yoffset);
}

PX_ACTION_FN(DrawBackgroundAction) {
  const CBackground* b = rt.resources.backgrounds.get(IntArg(a[0]));
  if (!b) {
    RuntimeError(rt, "Trying to draw a non-existing background.");
    return;
  }
  const At p = Place(rt, self, a[1], a[2]);
  if (FlagArg(a[3])) {
    const TileArea area = RoomArea(rt);
    rt.display.draw.TextureTiled(b->texture, 0, 0, p.x, p.y, 1, 1, true, true, 0, 0, area.width,
                                 area.height, 0xFFFFFF, 1);
  } else {
    rt.display.draw.TextureQuad(b->texture, p.x, p.y);
  }
}

PX_ACTION_FN(DrawRectangleAction) {
  const Box b = PlaceBox(rt, self, a);
  const std::uint32_t c = rt.display.draw.color();
  rt.display.draw.Rectangle(b.p1.x, b.p1.y, b.p2.x, b.p2.y, c, c, c, c, !FlagArg(a[4]));
}

PX_ACTION_FN(DrawGradientHor) {
  const Box b = PlaceBox(rt, self, a);
  Drawing& d = rt.display.draw;
  const std::uint32_t left = d.WithAlpha(Colour(a[4])), right = d.WithAlpha(Colour(a[5]));
  d.Rectangle(b.p1.x, b.p1.y, b.p2.x, b.p2.y, left, right, right, left, false);
}

PX_ACTION_FN(DrawGradientVert) {
  const Box b = PlaceBox(rt, self, a);
  Drawing& d = rt.display.draw;
  const std::uint32_t top = d.WithAlpha(Colour(a[4])), bottom = d.WithAlpha(Colour(a[5]));
  d.Rectangle(b.p1.x, b.p1.y, b.p2.x, b.p2.y, top, top, bottom, bottom, false);
}

PX_ACTION_FN(DrawEllipseAction) {
  const Box b = PlaceBox(rt, self, a);
  const std::uint32_t c = rt.display.draw.color();
  rt.display.draw.Ellipse(b.p1.x, b.p1.y, b.p2.x, b.p2.y, c, c, !FlagArg(a[4]));
}

PX_ACTION_FN(DrawEllipseGradient) {
  const Box b = PlaceBox(rt, self, a);
  Drawing& d = rt.display.draw;
  d.Ellipse(b.p1.x, b.p1.y, b.p2.x, b.p2.y, d.WithAlpha(Colour(a[4])), d.WithAlpha(Colour(a[5])),
            false);
}

PX_ACTION_FN(DrawLineAction) {
  const Box b = PlaceBox(rt, self, a);
  const std::uint32_t c = rt.display.draw.color();
  rt.display.draw.Line(b.p1.x, b.p1.y, b.p2.x, b.p2.y, c, c);
}

PX_ACTION_FN(DrawArrowAction) {
  const Box b = PlaceBox(rt, self, a);
  rt.display.draw.Arrow(b.p1.x, b.p1.y, b.p2.x, b.p2.y, a[4].real);
}

PX_ACTION_FN(ColorAction) {
  rt.display.draw.SetColor(Colour(a[0]));
}

// The colours of the health display's menus, in menu order after "none".
constexpr std::uint32_t kMenuColours[] = {
    0x000000,  // black
    0x808080,  // gray
    0xC0C0C0,  // silver
    0xFFFFFF,  // white
    0x000080,  // maroon
    0x008000,  // green
    0x008080,  // olive
    0x800000,  // navy
    0x800080,  // purple
    0x808000,  // teal
    0x0000FF,  // red
    0x00FF00,  // lime
    0x00FFFF,  // yellow
    0xFF0000,  // blue
    0xFF00FF,  // fuchsia
    0xFFFF00,  // aqua
};

PX_ACTION_FN(DrawHealthAction) {
  const Box b = PlaceBox(rt, self, a);
  const int back = IntArg(a[4]), bar = IntArg(a[5]);
  const bool showBack = back >= 1 && back <= 16;
  const std::uint32_t backColour = showBack ? kMenuColours[back - 1] : 0;
  // Bar menu: red to lime, black to white, black, then gray … aqua.
  std::uint32_t low = 0x0000FF, high = 0x00FF00;
  if (bar == 1) {
    low = 0x000000, high = 0xFFFFFF;
  } else if (bar >= 2 && bar <= 17) {
    low = high = kMenuColours[bar == 2 ? 0 : bar - 2];
  }
  rt.display.draw.HealthBar(b.p1.x, b.p1.y, b.p2.x, b.p2.y, rt.world.health, backColour, low, high,
                            0, showBack, true);
}

PX_ACTION_FN(DrawLifeImages) {
  const CSprite* s = rt.resources.sprites.get(IntArg(a[2]));
  if (!s) return;
  const At p = Place(rt, self, a[0], a[1]);
  const int texture = SpriteImageTexture(*s, self, 0);
  for (int life = 0; life < rt.world.lives; ++life)
    rt.display.draw.TextureQuad(texture, p.x + life * s->width() - s->xoffset, p.y - s->yoffset);
}

// ---- Text ----
// Text actions draw in the action font with the action alignment, from the
// top.

void DrawActionText(Runtime& rt, At p, std::string_view text, TextStyle style = {}) {
  style.halign = rt.display.text.actionAlign;
  DrawTextWith(rt, rt.display.text.actionFont, p.x, p.y, text, style);
}

PX_ACTION_FN(DrawTextAction) {
  std::string scratch;
  DrawActionText(rt, Place(rt, self, a[1], a[2]), TextOf(a[0], scratch));
}

PX_ACTION_FN(DrawTextTransformedAction) {
  TextStyle style;
  style.transformed = true;
  style.xscale = a[3].real;
  style.yscale = a[4].real;
  style.angle = a[5].real;
  std::string scratch;
  DrawActionText(rt, Place(rt, self, a[1], a[2]), TextOf(a[0], scratch), style);
}

PX_ACTION_FN(FontAction) {
  const int font = IntArg(a[0]);
  rt.display.text.actionFont = rt.resources.fonts.exists(font) ? font : -1;
  rt.display.text.actionAlign = AlignmentOf(IntArg(a[1]));
}

// The caption followed by a number, at x, y.
void DrawCaptioned(Runtime& rt, CInstanceBase* self, Args a, std::int32_t number) {
  std::string scratch;
  std::string text(TextOf(a[2], scratch));
  text += std::to_string(number);
  DrawActionText(rt, Place(rt, self, a[0], a[1]), text);
}

PX_ACTION_FN(DrawScoreAction) {
  DrawCaptioned(rt, self, a, rt.world.score);
}

PX_ACTION_FN(DrawLifeAction) {
  DrawCaptioned(rt, self, a, rt.world.lives);
}

PX_ACTION_FN(DrawVariableAction) {
  std::string scratch;
  DrawActionText(rt, Place(rt, self, a[1], a[2]), TextOf(a[0], scratch));
}

#undef PX_ACTION_FN

constexpr FunctionDef kDrawActionFunctions[] = {
    {"action_draw_sprite", DrawSpriteAction},
    {"action_draw_background", DrawBackgroundAction},
    {"action_draw_rectangle", DrawRectangleAction},
    {"action_draw_gradient_hor", DrawGradientHor},
    {"action_draw_gradient_vert", DrawGradientVert},
    {"action_draw_ellipse", DrawEllipseAction},
    {"action_draw_ellipse_gradient", DrawEllipseGradient},
    {"action_draw_line", DrawLineAction},
    {"action_draw_arrow", DrawArrowAction},
    {"action_color", ColorAction},
    {"action_draw_health", DrawHealthAction},
    {"action_draw_life_images", DrawLifeImages},
    {"action_draw_text", DrawTextAction},
    {"action_draw_text_transformed", DrawTextTransformedAction},
    {"action_font", FontAction},
    {"action_draw_score", DrawScoreAction},
    {"action_draw_life", DrawLifeAction},
    {"action_draw_variable", DrawVariableAction},
};

}  // namespace

std::span<const FunctionDef> DrawActionFunctions() {
  return kDrawActionFunctions;
}

}  // namespace px
