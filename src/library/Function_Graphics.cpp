// Colours, the drawing colour and alpha, the primitives and free
// primitives.
#include "library/Function_Graphics.h"

#include <cmath>
#include <numbers>

#include "code/Code_Error.h"
#include "graphics/Graphics_Color.h"
#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

std::uint32_t Colour(const RValue& v) {
  return static_cast<std::uint32_t>(RealToInt(v.real)) & 0xFFFFFF;
}
double Channel(const RValue& v) {
  return static_cast<double>(RealToInt64(v.real));
}

#define PX_DRAW_FN(name)                                                                \
  void name([[maybe_unused]] Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

// ---- Colours ----

PX_DRAW_FN(DrawSetColor) {
  rt.display.draw.SetColor(Colour(a[0]));
}
PX_DRAW_FN(DrawSetAlpha) {
  rt.display.draw.SetAlpha(a[0].real);
}
PX_DRAW_FN(DrawGetColor) {
  result.setReal(rt.display.draw.colorBGR());
}
PX_DRAW_FN(DrawGetAlpha) {
  result.setReal(rt.display.draw.alpha());
}
PX_DRAW_FN(MakeColor) {
  result.setReal(Channel(a[0]) + Channel(a[1]) * 256 + Channel(a[2]) * 65536);
}
PX_DRAW_FN(MakeColorHsv) {
  result.setReal(ColorFromHSV(a[0].real, a[1].real, a[2].real));
}
// Pieces of a colour: the remainder keeps the sign of the colour.
PX_DRAW_FN(ColorGetRed) {
  result.setReal(static_cast<double>(RealToInt64(a[0].real) % 256));
}
PX_DRAW_FN(ColorGetGreen) {
  result.setReal(static_cast<double>(RealToInt64(a[0].real) / 256 % 256));
}
PX_DRAW_FN(ColorGetBlue) {
  result.setReal(static_cast<double>(RealToInt64(a[0].real) / 65536 % 256));
}
PX_DRAW_FN(ColorGetHue) {
  result.setReal(ColorToHSV(Colour(a[0])).hue);
}
PX_DRAW_FN(ColorGetSaturation) {
  result.setReal(ColorToHSV(Colour(a[0])).saturation);
}
PX_DRAW_FN(ColorGetValue) {
  result.setReal(ColorToHSV(Colour(a[0])).value);
}
PX_DRAW_FN(MergeColorFn) {
  result.setReal(MergeColor(Colour(a[0]), Colour(a[1]), a[2].real));
}

// ---- Primitives ----

PX_DRAW_FN(DrawPoint) {
  rt.display.draw.Point(a[0].real, a[1].real, rt.display.draw.color());
}
PX_DRAW_FN(DrawPointColor) {
  rt.display.draw.Point(a[0].real, a[1].real, rt.display.draw.WithAlpha(Colour(a[2])));
}
PX_DRAW_FN(DrawLine) {
  const std::uint32_t c = rt.display.draw.color();
  rt.display.draw.Line(a[0].real, a[1].real, a[2].real, a[3].real, c, c);
}
PX_DRAW_FN(DrawLineColor) {
  Drawing& d = rt.display.draw;
  d.Line(a[0].real, a[1].real, a[2].real, a[3].real, d.WithAlpha(Colour(a[4])),
         d.WithAlpha(Colour(a[5])));
}
PX_DRAW_FN(DrawLineWidth) {
  const std::uint32_t c = rt.display.draw.color();
  rt.display.draw.LineWidth(a[0].real, a[1].real, a[2].real, a[3].real, a[4].real, c, c);
}
PX_DRAW_FN(DrawLineWidthColor) {
  Drawing& d = rt.display.draw;
  d.LineWidth(a[0].real, a[1].real, a[2].real, a[3].real, a[4].real, d.WithAlpha(Colour(a[5])),
              d.WithAlpha(Colour(a[6])));
}
PX_DRAW_FN(DrawRectangle) {
  const std::uint32_t c = rt.display.draw.color();
  rt.display.draw.Rectangle(a[0].real, a[1].real, a[2].real, a[3].real, c, c, c, c, FlagArg(a[4]));
}
PX_DRAW_FN(DrawRectangleColor) {
  Drawing& d = rt.display.draw;
  d.Rectangle(a[0].real, a[1].real, a[2].real, a[3].real, d.WithAlpha(Colour(a[4])),
              d.WithAlpha(Colour(a[5])), d.WithAlpha(Colour(a[6])), d.WithAlpha(Colour(a[7])),
              FlagArg(a[8]));
}
PX_DRAW_FN(DrawRoundrect) {
  const std::uint32_t c = rt.display.draw.color();
  rt.display.draw.RoundRect(a[0].real, a[1].real, a[2].real, a[3].real, c, c, FlagArg(a[4]));
}
PX_DRAW_FN(DrawRoundrectColor) {
  Drawing& d = rt.display.draw;
  d.RoundRect(a[0].real, a[1].real, a[2].real, a[3].real, d.WithAlpha(Colour(a[4])),
              d.WithAlpha(Colour(a[5])), FlagArg(a[6]));
}
PX_DRAW_FN(DrawTriangle) {
  const std::uint32_t c = rt.display.draw.color();
  rt.display.draw.Triangle(a[0].real, a[1].real, a[2].real, a[3].real, a[4].real, a[5].real, c, c,
                           c, FlagArg(a[6]));
}
PX_DRAW_FN(DrawTriangleColor) {
  Drawing& d = rt.display.draw;
  d.Triangle(a[0].real, a[1].real, a[2].real, a[3].real, a[4].real, a[5].real,
             d.WithAlpha(Colour(a[6])), d.WithAlpha(Colour(a[7])), d.WithAlpha(Colour(a[8])),
             FlagArg(a[9]));
}
PX_DRAW_FN(DrawCircle) {
  const std::uint32_t c = rt.display.draw.color();
  const double x = a[0].real, y = a[1].real, r = a[2].real;
  rt.display.draw.Ellipse(x - r, y - r, x + r, y + r, c, c, FlagArg(a[3]));
}
PX_DRAW_FN(DrawCircleColor) {
  Drawing& d = rt.display.draw;
  const double x = a[0].real, y = a[1].real, r = a[2].real;
  d.Ellipse(x - r, y - r, x + r, y + r, d.WithAlpha(Colour(a[3])), d.WithAlpha(Colour(a[4])),
            FlagArg(a[5]));
}
PX_DRAW_FN(DrawEllipse) {
  const std::uint32_t c = rt.display.draw.color();
  rt.display.draw.Ellipse(a[0].real, a[1].real, a[2].real, a[3].real, c, c, FlagArg(a[4]));
}
PX_DRAW_FN(DrawEllipseColor) {
  Drawing& d = rt.display.draw;
  d.Ellipse(a[0].real, a[1].real, a[2].real, a[3].real, d.WithAlpha(Colour(a[4])),
            d.WithAlpha(Colour(a[5])), FlagArg(a[6]));
}
PX_DRAW_FN(DrawArrow) {
  rt.display.draw.Arrow(a[0].real, a[1].real, a[2].real, a[3].real, a[4].real);
}
PX_DRAW_FN(DrawButton) {
  rt.display.draw.Button(a[0].real, a[1].real, a[2].real, a[3].real, FlagArg(a[4]));
}
PX_DRAW_FN(DrawHealthbar) {
  rt.display.draw.HealthBar(a[0].real, a[1].real, a[2].real, a[3].real, a[4].real, Colour(a[5]),
                            Colour(a[6]), Colour(a[7]), IntArg(a[8]), FlagArg(a[9]),
                            FlagArg(a[10]));
}
PX_DRAW_FN(DrawPath) {
  const CPath* path = rt.resources.paths.get(IntArg(a[0]));
  if (!path) {
    RuntimeError(rt, "Trying to drawn non-existing path.");
    return;
  }
  rt.display.draw.Path(*path, a[1].real, a[2].real, FlagArg(a[3]));
}
PX_DRAW_FN(DrawSetCirclePrecision) {
  rt.display.draw.SetCirclePrecision(IntArg(a[0]));
}

// ---- Free primitives ----

PX_DRAW_FN(DrawPrimitiveBegin) {
  rt.display.draw.PrimitiveBegin(IntArg(a[0]));
}
PX_DRAW_FN(DrawPrimitiveBeginTexture) {
  rt.display.draw.PrimitiveBegin(IntArg(a[0]), IntArg(a[1]));
}
PX_DRAW_FN(DrawVertex) {
  rt.display.draw.Vertex(a[0].real, a[1].real, rt.display.draw.color());
}
PX_DRAW_FN(DrawVertexColor) {
  rt.display.draw.Vertex(a[0].real, a[1].real, VertexColor(Colour(a[2]), a[3].real));
}
PX_DRAW_FN(DrawVertexTexture) {
  rt.display.draw.Vertex(a[0].real, a[1].real, rt.display.draw.color(), a[2].real, a[3].real);
}
PX_DRAW_FN(DrawVertexTextureColor) {
  rt.display.draw.Vertex(a[0].real, a[1].real, VertexColor(Colour(a[4]), a[5].real), a[2].real,
                         a[3].real);
}
PX_DRAW_FN(DrawPrimitiveEnd) {
  rt.display.draw.PrimitiveEnd();
}

#undef PX_DRAW_FN

constexpr FunctionDef kDrawingFunctions[] = {
    {"draw_set_color", DrawSetColor},
    {"draw_set_alpha", DrawSetAlpha},
    {"draw_get_color", DrawGetColor},
    {"draw_get_alpha", DrawGetAlpha},
    {"make_color", MakeColor},
    {"make_color_rgb", MakeColor},
    {"make_color_hsv", MakeColorHsv},
    {"color_get_red", ColorGetRed},
    {"color_get_green", ColorGetGreen},
    {"color_get_blue", ColorGetBlue},
    {"color_get_hue", ColorGetHue},
    {"color_get_saturation", ColorGetSaturation},
    {"color_get_value", ColorGetValue},
    {"merge_color", MergeColorFn},
    {"draw_point", DrawPoint},
    {"draw_line", DrawLine},
    {"draw_line_width", DrawLineWidth},
    {"draw_rectangle", DrawRectangle},
    {"draw_roundrect", DrawRoundrect},
    {"draw_triangle", DrawTriangle},
    {"draw_circle", DrawCircle},
    {"draw_ellipse", DrawEllipse},
    {"draw_arrow", DrawArrow},
    {"draw_button", DrawButton},
    {"draw_healthbar", DrawHealthbar},
    {"draw_path", DrawPath},
    {"draw_point_color", DrawPointColor},
    {"draw_line_color", DrawLineColor},
    {"draw_line_width_color", DrawLineWidthColor},
    {"draw_rectangle_color", DrawRectangleColor},
    {"draw_roundrect_color", DrawRoundrectColor},
    {"draw_triangle_color", DrawTriangleColor},
    {"draw_circle_color", DrawCircleColor},
    {"draw_ellipse_color", DrawEllipseColor},
    {"draw_set_circle_precision", DrawSetCirclePrecision},
    {"draw_primitive_begin", DrawPrimitiveBegin},
    {"draw_primitive_begin_texture", DrawPrimitiveBeginTexture},
    {"draw_primitive_end", DrawPrimitiveEnd},
    {"draw_vertex", DrawVertex},
    {"draw_vertex_color", DrawVertexColor},
    {"draw_vertex_texture", DrawVertexTexture},
    {"draw_vertex_texture_color", DrawVertexTextureColor},
};

}  // namespace

std::span<const FunctionDef> DrawingFunctions() {
  return kDrawingFunctions;
}

}  // namespace px
