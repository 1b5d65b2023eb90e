#include "library/Variable_Room.h"

#include <algorithm>
#include <string>

#include "code/Code_Error.h"
#include "run/Run_Error.h"
#include "run/Run_Room.h"
#include "run/Runtime.h"

namespace px {

namespace {

// Without a room in play the room's variables read 0 and ignore writes.
bool ReadRoom(Runtime& rt, RValue& out, double (*read)(const CRoom&)) {
  const CRoom* room = CurrentRoomData(rt);
  out.setReal(room ? read(*room) : 0.0);
  return true;
}

// ---- The room ----

bool GetRoom(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.rooms.index);
  return true;
}

bool SetRoom(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  RequestRoom(rt, RealToInt(v.real));
  return true;
}

bool GetRoomFirst(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  const auto& order = rt.resources.roomOrder;
  out.setReal(order.empty() ? -1 : order.front());
  return true;
}

bool GetRoomLast(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  const auto& order = rt.resources.roomOrder;
  out.setReal(order.empty() ? -1 : order.back());
  return true;
}

bool GetTransitionKind(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.rooms.transitionKind);
  return true;
}

bool SetTransitionKind(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  rt.rooms.transitionKind = RealToInt(v.real);
  return true;
}

bool GetTransitionSteps(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.rooms.transitionSteps);
  return true;
}

// A transition shows at least two frames.
bool SetTransitionSteps(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  rt.rooms.transitionSteps = std::max(1, RealToInt(v.real));
  return true;
}

bool GetRoomWidth(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  return ReadRoom(rt, out, [](const CRoom& r) { return double(r.width); });
}

bool GetRoomHeight(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  return ReadRoom(rt, out, [](const CRoom& r) { return double(r.height); });
}

bool GetRoomCaption(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  const CRoom* room = CurrentRoomData(rt);
  out.setString(room ? room->caption : std::string());
  return true;
}

bool SetRoomCaption(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  if (CRoom* room = CurrentRoomData(rt)) room->caption = v.str();
  return true;
}

bool GetRoomSpeed(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  return ReadRoom(rt, out, [](const CRoom& r) { return double(r.speed); });
}

bool SetRoomSpeed(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  const std::int32_t speed = RealToInt(v.real);
  if (speed <= 0) {
    RuntimeError(rt, "Trying to set the room speed to a value <= 0.");
    return false;
  }
  if (CRoom* room = CurrentRoomData(rt)) room->speed = speed;
  return true;
}

bool GetRoomPersistent(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  return ReadRoom(rt, out, [](const CRoom& r) { return r.persistent ? 1.0 : 0.0; });
}

bool SetRoomPersistent(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  if (CRoom* room = CurrentRoomData(rt)) room->persistent = ValueAsBool(v);
  return true;
}

bool GetViewCurrent(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.rooms.viewCurrent);
  return true;
}

bool GetFps(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.run.fps);
  return true;
}

// ---- The window caption and the cursor sprite ----

template <bool RoomState::*Flag>
bool GetFlag(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal((rt.rooms.*Flag) ? 1.0 : 0.0);
  return true;
}

template <bool RoomState::*Flag>
bool SetFlag(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  rt.rooms.*Flag = ValueAsBool(v);
  return true;
}

// Setting show_score also tells the caption that the game chose it.
bool SetShowScore(Runtime& rt, CInstanceBase& self, std::int32_t i, const RValue& v) {
  rt.rooms.showScoreSet = true;
  return SetFlag<&RoomState::showScore>(rt, self, i, v);
}

template <std::string RoomState::*Text>
bool GetText(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setString(rt.rooms.*Text);
  return true;
}

template <std::string RoomState::*Text>
bool SetText(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  rt.rooms.*Text = v.str();
  return true;
}

bool GetCursorSprite(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.rooms.cursorSprite);
  return true;
}

bool SetCursorSprite(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  rt.rooms.cursorSprite = RealToInt(v.real);
  return true;
}

// ---- Fields of the room, its layers and its views ----

// Reading and writing a field by kind: reals as they are, integers through
// RealToInt, flags as 1 or 0 and true from 1 up.
double FieldValue(double v) {
  return v;
}
double FieldValue(std::int32_t v) {
  return v;
}
double FieldValue(bool v) {
  return v ? 1.0 : 0.0;
}
void StoreField(double& f, const RValue& v) {
  f = v.real;
}
void StoreField(std::int32_t& f, const RValue& v) {
  f = RealToInt(v.real);
}
void StoreField(bool& f, const RValue& v) {
  f = ValueAsBool(v);
}

template <auto Field>
bool GetRoomField(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  const CRoom* room = CurrentRoomData(rt);
  out.setReal(room ? FieldValue(room->*Field) : 0.0);
  return true;
}

template <auto Field>
bool SetRoomField(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  if (CRoom* room = CurrentRoomData(rt)) StoreField(room->*Field, v);
  return true;
}

// An element of the 8 layers or the 8 views; an index outside 0..7 is 0.
template <auto Array, auto Field>
bool GetElement(Runtime& rt, CInstanceBase&, std::int32_t flat, RValue& out) {
  const CRoom* room = CurrentRoomData(rt);
  if (!room) {
    out.setReal(0);
    return true;
  }
  const auto& array = room->*Array;
  const auto slot = static_cast<std::size_t>(ArraySlot(flat, std::int32_t(array.size())));
  out.setReal(FieldValue(array[slot].*Field));
  return true;
}

template <auto Array, auto Field>
bool SetElement(Runtime& rt, CInstanceBase&, std::int32_t flat, const RValue& v) {
  CRoom* room = CurrentRoomData(rt);
  if (!room) return true;
  auto& array = room->*Array;
  const auto slot = static_cast<std::size_t>(ArraySlot(flat, std::int32_t(array.size())));
  StoreField(array[slot].*Field, v);
  return true;
}

template <auto Field>
constexpr RBuiltinVariable Layer(std::string_view name) {
  return {name, GetElement<&CRoom::layers, Field>, SetElement<&CRoom::layers, Field>, true};
}

template <auto Field>
constexpr RBuiltinVariable View(std::string_view name) {
  return {name, GetElement<&CRoom::views, Field>, SetElement<&CRoom::views, Field>, true};
}

// The size of a layer's background; 0 when it does not exist.
template <int (CBackground::*Size)() const>
bool GetLayerSize(Runtime& rt, CInstanceBase&, std::int32_t flat, RValue& out) {
  const CRoom* room = CurrentRoomData(rt);
  const CBackground* back = nullptr;
  if (room) {
    const auto slot = static_cast<std::size_t>(ArraySlot(flat, CRoom::kLayers));
    back = rt.resources.backgrounds.get(room->layers[slot].background);
  }
  out.setReal(back ? (back->*Size)() : 0);
  return true;
}

constexpr RBuiltinVariable kRoomVariables[] = {
    {"room", GetRoom, SetRoom, true},
    {"room_first", GetRoomFirst, nullptr, false},
    {"room_last", GetRoomLast, nullptr, false},
    {"transition_kind", GetTransitionKind, SetTransitionKind, true},
    {"transition_steps", GetTransitionSteps, SetTransitionSteps, true},
    {"room_width", GetRoomWidth, nullptr, false},
    {"room_height", GetRoomHeight, nullptr, false},
    {"room_caption", GetRoomCaption, SetRoomCaption, true},
    {"room_speed", GetRoomSpeed, SetRoomSpeed, true},
    {"room_persistent", GetRoomPersistent, SetRoomPersistent, true},
    {"background_color", GetRoomField<&CRoom::background_color>,
     SetRoomField<&CRoom::background_color>, true},
    {"background_showcolor", GetRoomField<&CRoom::show_color>, SetRoomField<&CRoom::show_color>,
     true},
    Layer<&CBack::visible>("background_visible"),
    Layer<&CBack::foreground>("background_foreground"),
    Layer<&CBack::background>("background_index"),
    Layer<&CBack::x>("background_x"),
    Layer<&CBack::y>("background_y"),
    {"background_width", GetLayerSize<&CBackground::width>, nullptr, false},
    {"background_height", GetLayerSize<&CBackground::height>, nullptr, false},
    Layer<&CBack::htiled>("background_htiled"),
    Layer<&CBack::vtiled>("background_vtiled"),
    Layer<&CBack::xscale>("background_xscale"),
    Layer<&CBack::yscale>("background_yscale"),
    Layer<&CBack::hspeed>("background_hspeed"),
    Layer<&CBack::vspeed>("background_vspeed"),
    Layer<&CBack::blend>("background_blend"),
    Layer<&CBack::alpha>("background_alpha"),
    {"view_enabled", GetRoomField<&CRoom::views_enabled>, SetRoomField<&CRoom::views_enabled>,
     true},
    {"view_current", GetViewCurrent, nullptr, false},
    View<&CView::visible>("view_visible"),
    View<&CView::xview>("view_xview"),
    View<&CView::yview>("view_yview"),
    View<&CView::wview>("view_wview"),
    View<&CView::hview>("view_hview"),
    View<&CView::xport>("view_xport"),
    View<&CView::yport>("view_yport"),
    View<&CView::wport>("view_wport"),
    View<&CView::hport>("view_hport"),
    View<&CView::angle>("view_angle"),
    View<&CView::hborder>("view_hborder"),
    View<&CView::vborder>("view_vborder"),
    View<&CView::hspeed>("view_hspeed"),
    View<&CView::vspeed>("view_vspeed"),
    View<&CView::object>("view_object"),
    {"fps", GetFps, nullptr, false},
    {"show_score", GetFlag<&RoomState::showScore>, SetShowScore, true},
    {"show_lives", GetFlag<&RoomState::showLives>, SetFlag<&RoomState::showLives>, true},
    {"show_health", GetFlag<&RoomState::showHealth>, SetFlag<&RoomState::showHealth>, true},
    {"caption_score", GetText<&RoomState::captionScore>, SetText<&RoomState::captionScore>, true},
    {"caption_lives", GetText<&RoomState::captionLives>, SetText<&RoomState::captionLives>, true},
    {"caption_health", GetText<&RoomState::captionHealth>, SetText<&RoomState::captionHealth>,
     true},
    {"cursor_sprite", GetCursorSprite, SetCursorSprite, true},
};

}  // namespace

std::span<const RBuiltinVariable> RoomVariableEntries() {
  return kRoomVariables;
}

}  // namespace px
