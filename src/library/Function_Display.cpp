#include "library/Function_Display.h"

#include "code/Code_Value.h"
#include "graphics/Graphics_Display.h"
#include "run/Room_Draw.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

bool Truth(const RValue& v) {
  return v.real >= 0.5;
}
int Int(const RValue& v) {
  return RealToInt(v.real);
}
std::uint32_t Colour(const RValue& v) {
  return static_cast<std::uint32_t>(RealToInt(v.real)) & 0xFFFFFF;
}

// A handler that only reads or changes the display.
#define PX_DISPLAY_FN(name)                                            \
  void name(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args args)

// Display modes.

PX_DISPLAY_FN(DisplayGetWidth) {
  result.setReal(rt.platform.displayMode().width);
}
PX_DISPLAY_FN(DisplayGetHeight) {
  result.setReal(rt.platform.displayMode().height);
}
PX_DISPLAY_FN(DisplayGetColordepth) {
  result.setReal(rt.platform.displayMode().bitsPerPixel);
}
PX_DISPLAY_FN(DisplayGetFrequency) {
  result.setReal(rt.platform.displayMode().frequency);
}
PX_DISPLAY_FN(DisplaySetSize) {
  result.setReal(rt.display.SetDisplayMode({Int(args[0]), Int(args[1]), 0, 0}));
}
PX_DISPLAY_FN(DisplaySetColordepth) {
  result.setReal(rt.display.SetDisplayMode({0, 0, Int(args[0]), 0}));
}
PX_DISPLAY_FN(DisplaySetFrequency) {
  result.setReal(rt.display.SetDisplayMode({0, 0, 0, Int(args[0])}));
}
PX_DISPLAY_FN(DisplaySetAll) {
  result.setReal(
      rt.display.SetDisplayMode({Int(args[0]), Int(args[1]), Int(args[3]), Int(args[2])}));
}
PX_DISPLAY_FN(DisplayTestAll) {
  result.setReal(
      rt.display.TestDisplayMode({Int(args[0]), Int(args[1]), Int(args[3]), Int(args[2])}));
}
PX_DISPLAY_FN(DisplayReset) {
  rt.display.ResetDisplayMode();
}
PX_DISPLAY_FN(DisplayMouseGetX) {
  result.setReal(rt.platform.mousePosition().x);
}
PX_DISPLAY_FN(DisplayMouseGetY) {
  result.setReal(rt.platform.mousePosition().y);
}
PX_DISPLAY_FN(DisplayMouseSet) {
  rt.platform.setMousePosition({Int(args[0]), Int(args[1])});
}

// The window.

PX_DISPLAY_FN(WindowSetVisible) {
  rt.display.SetVisible(Truth(args[0]));
}
PX_DISPLAY_FN(WindowGetVisible) {
  result.setReal(rt.display.visible);
}
PX_DISPLAY_FN(WindowSetFullscreen) {
  rt.display.SetFullScreen(Truth(args[0]));
}
PX_DISPLAY_FN(WindowGetFullscreen) {
  result.setReal(rt.display.fullScreen);
}
PX_DISPLAY_FN(WindowSetShowborder) {
  rt.display.SetShowBorder(Truth(args[0]));
}
PX_DISPLAY_FN(WindowGetShowborder) {
  result.setReal(rt.display.showBorder);
}
PX_DISPLAY_FN(WindowSetShowicons) {
  rt.display.SetShowIcons(Truth(args[0]));
}
PX_DISPLAY_FN(WindowGetShowicons) {
  result.setReal(rt.display.showIcons);
}
PX_DISPLAY_FN(WindowSetStayontop) {
  rt.display.SetStayOnTop(Truth(args[0]));
}
PX_DISPLAY_FN(WindowGetStayontop) {
  result.setReal(rt.display.stayOnTop);
}
PX_DISPLAY_FN(WindowSetSizeable) {
  rt.display.SetSizeable(Truth(args[0]));
}
PX_DISPLAY_FN(WindowGetSizeable) {
  result.setReal(rt.display.sizeable);
}
PX_DISPLAY_FN(WindowSetCaption) {
  rt.display.SetCaption(args[0].str());
}
PX_DISPLAY_FN(WindowGetCaption) {
  result.setString(rt.display.caption);
}
PX_DISPLAY_FN(WindowSetCursor) {
  rt.display.SetCursor(Int(args[0]));
  rt.settings.showCursor = rt.display.cursor != -1;
}
PX_DISPLAY_FN(WindowGetCursor) {
  result.setReal(rt.display.cursor);
}
PX_DISPLAY_FN(WindowSetColor) {
  rt.display.SetWindowColor(Colour(args[0]));
}
PX_DISPLAY_FN(WindowGetColor) {
  result.setReal(rt.display.windowColor);
}
PX_DISPLAY_FN(WindowSetPosition) {
  rt.display.SetPosition(Int(args[0]), Int(args[1]));
}
PX_DISPLAY_FN(WindowSetSize) {
  rt.display.SetSize(Int(args[0]), Int(args[1]));
}
PX_DISPLAY_FN(WindowSetRectangle) {
  rt.display.SetPosition(Int(args[0]), Int(args[1]));
  rt.display.SetSize(Int(args[2]), Int(args[3]));
}
PX_DISPLAY_FN(WindowCenter) {
  rt.display.Center();
}
PX_DISPLAY_FN(WindowDefault) {
  rt.display.Default();
}
PX_DISPLAY_FN(WindowGetX) {
  result.setReal(rt.display.client().x);
}
PX_DISPLAY_FN(WindowGetY) {
  result.setReal(rt.display.client().y);
}
PX_DISPLAY_FN(WindowGetWidth) {
  result.setReal(rt.display.client().width);
}
PX_DISPLAY_FN(WindowGetHeight) {
  result.setReal(rt.display.client().height);
}
PX_DISPLAY_FN(WindowSetRegionSize) {
  rt.display.SetRegionSize(Int(args[0]), Int(args[1]), Truth(args[2]));
}
PX_DISPLAY_FN(WindowGetRegionWidth) {
  result.setReal(rt.display.regionWidth);
}
PX_DISPLAY_FN(WindowGetRegionHeight) {
  result.setReal(rt.display.regionHeight);
}
PX_DISPLAY_FN(WindowSetRegionScale) {
  rt.display.SetRegionScale(args[0].real, Truth(args[1]));
}
PX_DISPLAY_FN(WindowGetRegionScale) {
  result.setReal(rt.display.regionScale);
}

// The mouse in the window, the region and the room.

Point MouseInRegion(Runtime& rt) {
  return rt.display.WindowToRegion(rt.platform.mousePosition());
}
const PortEntry& Port(Runtime& rt, const RValue& id) {
  static const PortEntry kNone{};
  const int i = Int(id);
  return i >= 0 && i < kPortCount ? rt.display.ports[static_cast<std::size_t>(i)] : kNone;
}
Point ViewMouse(Runtime& rt, const RValue& id) {
  const Point r = MouseInRegion(rt);
  return RegionToRoom(Port(rt, id), {static_cast<double>(r.x), static_cast<double>(r.y)});
}
Point ViewsMouse(Runtime& rt) {
  const Point r = MouseInRegion(rt);
  return RegionToRoomTopmost(rt.display.ports,
                             {static_cast<double>(r.x), static_cast<double>(r.y)});
}
void SetMouseAtRoomPoint(Runtime& rt, const PortEntry& port, const RValue& x, const RValue& y) {
  rt.platform.setMousePosition(rt.display.RegionToWindow(RoomToRegion(port, {x.real, y.real})));
}

PX_DISPLAY_FN(WindowMouseGetX) {
  result.setReal(rt.platform.mousePosition().x - rt.display.client().x);
}
PX_DISPLAY_FN(WindowMouseGetY) {
  result.setReal(rt.platform.mousePosition().y - rt.display.client().y);
}
PX_DISPLAY_FN(WindowMouseSet) {
  const Rect c = rt.display.client();
  rt.platform.setMousePosition({c.x + Int(args[0]), c.y + Int(args[1])});
}
PX_DISPLAY_FN(WindowViewMouseGetX) {
  result.setReal(ViewMouse(rt, args[0]).x);
}
PX_DISPLAY_FN(WindowViewMouseGetY) {
  result.setReal(ViewMouse(rt, args[0]).y);
}
PX_DISPLAY_FN(WindowViewMouseSet) {
  SetMouseAtRoomPoint(rt, Port(rt, args[0]), args[1], args[2]);
}
PX_DISPLAY_FN(WindowViewsMouseGetX) {
  result.setReal(ViewsMouse(rt).x);
}
PX_DISPLAY_FN(WindowViewsMouseGetY) {
  result.setReal(ViewsMouse(rt).y);
}
PX_DISPLAY_FN(WindowViewsMouseSet) {
  static const PortEntry kRegion{};
  const PortEntry* first = &kRegion;
  for (const PortEntry& e : rt.display.ports) {
    if (e.active) {
      first = &e;
      break;
    }
  }
  SetMouseAtRoomPoint(rt, *first, args[0], args[1]);
}

// The screen.

PX_DISPLAY_FN(SetSynchronization) {
  rt.display.device.SetSynchronization(Truth(args[0]));
}
PX_DISPLAY_FN(SetAutomaticDraw) {
  rt.display.automaticDraw = Truth(args[0]);
}
// Draws the room and shows it at once.
PX_DISPLAY_FN(ScreenRedraw) {
  RedrawScreen(rt);
}
PX_DISPLAY_FN(ScreenRefresh) {
  rt.display.PresentOnly();
}
PX_DISPLAY_FN(ScreenWaitVsync) {
  rt.display.WaitVerticalBlank();
}
PX_DISPLAY_FN(DrawGetpixel) {
  const PortEntry& port = Port(rt, RValue::FromReal(rt.display.currentView));
  const Point p = RoomToRegion(port, {args[0].real, args[1].real});
  const auto pixel = rt.display.device.ReadBackBuffer(p.x, p.y, 1, 1);
  if (!pixel) return;
  const std::uint32_t argb = pixel->GetPixel(0, 0);
  result.setReal(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
}
PX_DISPLAY_FN(DrawClear) {
  rt.display.device.ClearTarget(Colour(args[0]), 1.0);
}
PX_DISPLAY_FN(DrawClearAlpha) {
  rt.display.device.ClearTarget(Colour(args[0]), args[1].real);
}

// Render states.

PX_DISPLAY_FN(DrawSetBlendMode) {
  rt.display.device.SetBlendMode(Int(args[0]));
}
PX_DISPLAY_FN(DrawSetBlendModeExt) {
  rt.display.device.SetBlendFactors(Int(args[0]), Int(args[1]));
}
PX_DISPLAY_FN(TextureSetInterpolation) {
  rt.display.device.SetInterpolation(Truth(args[0]));
}
PX_DISPLAY_FN(TextureSetBlending) {
  rt.display.device.SetTextureBlending(Truth(args[0]));
}
PX_DISPLAY_FN(TextureSetRepeat) {
  rt.display.device.SetTextureRepeat(Truth(args[0]));
}
PX_DISPLAY_FN(D3dSetPerspective) {
  rt.display.device.SetPerspective(Truth(args[0]));
}
PX_DISPLAY_FN(D3dSetHidden) {
  rt.display.device.SetHidden(Truth(args[0]));
}
PX_DISPLAY_FN(D3dSetDepth) {
  rt.display.device.SetDepth(args[0].real);
}
PX_DISPLAY_FN(D3dSetLighting) {
  rt.display.device.SetLighting(Truth(args[0]));
}
PX_DISPLAY_FN(D3dSetShading) {
  rt.display.device.SetShading(Truth(args[0]));
}
PX_DISPLAY_FN(D3dSetFog) {
  rt.display.device.SetFog(Truth(args[0]), Colour(args[1]), static_cast<float>(args[2].real),
                           static_cast<float>(args[3].real));
}
PX_DISPLAY_FN(D3dSetCulling) {
  rt.display.device.SetCulling(Truth(args[0]));
}

#undef PX_DISPLAY_FN

constexpr FunctionDef kDisplayFunctions[] = {
    {"display_get_width", DisplayGetWidth},
    {"display_get_height", DisplayGetHeight},
    {"display_get_colordepth", DisplayGetColordepth},
    {"display_get_frequency", DisplayGetFrequency},
    {"display_set_size", DisplaySetSize},
    {"display_set_colordepth", DisplaySetColordepth},
    {"display_set_frequency", DisplaySetFrequency},
    {"display_set_all", DisplaySetAll},
    {"display_test_all", DisplayTestAll},
    {"display_reset", DisplayReset},
    {"display_mouse_get_x", DisplayMouseGetX},
    {"display_mouse_get_y", DisplayMouseGetY},
    {"display_mouse_set", DisplayMouseSet},
    {"window_set_visible", WindowSetVisible},
    {"window_get_visible", WindowGetVisible},
    {"window_set_fullscreen", WindowSetFullscreen},
    {"window_get_fullscreen", WindowGetFullscreen},
    {"window_set_showborder", WindowSetShowborder},
    {"window_get_showborder", WindowGetShowborder},
    {"window_set_showicons", WindowSetShowicons},
    {"window_get_showicons", WindowGetShowicons},
    {"window_set_stayontop", WindowSetStayontop},
    {"window_get_stayontop", WindowGetStayontop},
    {"window_set_sizeable", WindowSetSizeable},
    {"window_get_sizeable", WindowGetSizeable},
    {"window_set_caption", WindowSetCaption},
    {"window_get_caption", WindowGetCaption},
    {"window_set_cursor", WindowSetCursor},
    {"window_get_cursor", WindowGetCursor},
    {"window_set_color", WindowSetColor},
    {"window_get_color", WindowGetColor},
    {"window_set_position", WindowSetPosition},
    {"window_set_size", WindowSetSize},
    {"window_set_rectangle", WindowSetRectangle},
    {"window_center", WindowCenter},
    {"window_default", WindowDefault},
    {"window_get_x", WindowGetX},
    {"window_get_y", WindowGetY},
    {"window_get_width", WindowGetWidth},
    {"window_get_height", WindowGetHeight},
    {"window_set_region_size", WindowSetRegionSize},
    {"window_get_region_width", WindowGetRegionWidth},
    {"window_get_region_height", WindowGetRegionHeight},
    {"window_set_region_scale", WindowSetRegionScale},
    {"window_get_region_scale", WindowGetRegionScale},
    {"window_mouse_get_x", WindowMouseGetX},
    {"window_mouse_get_y", WindowMouseGetY},
    {"window_mouse_set", WindowMouseSet},
    {"window_view_mouse_get_x", WindowViewMouseGetX},
    {"window_view_mouse_get_y", WindowViewMouseGetY},
    {"window_view_mouse_set", WindowViewMouseSet},
    {"window_views_mouse_get_x", WindowViewsMouseGetX},
    {"window_views_mouse_get_y", WindowViewsMouseGetY},
    {"window_views_mouse_set", WindowViewsMouseSet},
    {"set_synchronization", SetSynchronization},
    {"set_automatic_draw", SetAutomaticDraw},
    {"screen_redraw", ScreenRedraw},
    {"screen_refresh", ScreenRefresh},
    {"screen_wait_vsync", ScreenWaitVsync},
    {"draw_getpixel", DrawGetpixel},
    {"draw_clear", DrawClear},
    {"draw_clear_alpha", DrawClearAlpha},
    {"draw_set_blend_mode", DrawSetBlendMode},
    {"draw_set_blend_mode_ext", DrawSetBlendModeExt},
    {"texture_set_interpolation", TextureSetInterpolation},
    {"texture_set_blending", TextureSetBlending},
    {"texture_set_repeat", TextureSetRepeat},
    {"d3d_set_perspective", D3dSetPerspective},
    {"d3d_set_hidden", D3dSetHidden},
    {"d3d_set_depth", D3dSetDepth},
    {"d3d_set_lighting", D3dSetLighting},
    {"d3d_set_shading", D3dSetShading},
    {"d3d_set_fog", D3dSetFog},
    {"d3d_set_culling", D3dSetCulling},
};

}  // namespace

std::span<const FunctionDef> DisplayFunctions() {
  return kDisplayFunctions;
}

}  // namespace px
