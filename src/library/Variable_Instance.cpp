#include "library/Variable_Instance.h"

#include <algorithm>

#include "resources/Resource_Chunks.h"
#include "run/Runtime.h"
#include "world/Instance_Class.h"

namespace px {

namespace {

CInstance& Inst(CInstanceBase& base) {
  return static_cast<CInstance&>(base);
}

// ---- Plain fields ----

template <double CInstance::*Field>
bool GetReal(Runtime&, CInstanceBase& b, std::int32_t, RValue& out) {
  out.setReal(Inst(b).*Field);
  return true;
}

template <double CInstance::*Field>
bool SetReal(Runtime&, CInstanceBase& b, std::int32_t, const RValue& v) {
  Inst(b).*Field = v.real;
  return true;
}

template <std::int32_t CInstance::*Field>
bool GetInt(Runtime&, CInstanceBase& b, std::int32_t, RValue& out) {
  out.setReal(Inst(b).*Field);
  return true;
}

template <std::int32_t CInstance::*Field>
bool SetInt(Runtime&, CInstanceBase& b, std::int32_t, const RValue& v) {
  Inst(b).*Field = RealToInt(v.real);
  return true;
}

template <bool CInstance::*Field>
bool GetBool(Runtime&, CInstanceBase& b, std::int32_t, RValue& out) {
  out.setReal(Inst(b).*Field ? 1.0 : 0.0);
  return true;
}

template <bool CInstance::*Field>
bool SetBool(Runtime&, CInstanceBase& b, std::int32_t, const RValue& v) {
  Inst(b).*Field = ValueAsBool(v);
  return true;
}

// ---- Fields with setters that keep dependent state current ----

using RealSetter = void (CInstance::*)(double);

template <RealSetter Setter>
bool SetMotion(Runtime&, CInstanceBase& b, std::int32_t, const RValue& v) {
  (Inst(b).*Setter)(v.real);
  return true;
}

using ShapeSetter = void (CInstance::*)(const GameResources&, double);

template <ShapeSetter Setter>
bool SetShape(Runtime& rt, CInstanceBase& b, std::int32_t, const RValue& v) {
  (Inst(b).*Setter)(rt.resources, v.real);
  return true;
}

bool SetX(Runtime& rt, CInstanceBase& b, std::int32_t, const RValue& v) {
  CInstance& i = Inst(b);
  i.SetPosition(rt.resources, v.real, i.y);
  return true;
}

bool SetY(Runtime& rt, CInstanceBase& b, std::int32_t, const RValue& v) {
  CInstance& i = Inst(b);
  i.SetPosition(rt.resources, i.x, v.real);
  return true;
}

bool SetSpriteIndex(Runtime& rt, CInstanceBase& b, std::int32_t, const RValue& v) {
  Inst(b).SetSprite(rt.resources, RealToInt(v.real));
  return true;
}

bool SetMaskIndex(Runtime& rt, CInstanceBase& b, std::int32_t, const RValue& v) {
  Inst(b).SetMask(rt.resources, RealToInt(v.real));
  return true;
}

template <double CInstance::*Field>
bool SetClamped(Runtime&, CInstanceBase& b, std::int32_t, const RValue& v) {
  Inst(b).*Field = std::clamp(v.real, 0.0, 1.0);
  return true;
}

bool GetAlarm(Runtime&, CInstanceBase& b, std::int32_t flat, RValue& out) {
  out.setReal(Inst(b).alarm[static_cast<std::size_t>(ArraySlot(flat, kAlarmCount))]);
  return true;
}

bool SetAlarm(Runtime&, CInstanceBase& b, std::int32_t flat, const RValue& v) {
  Inst(b).alarm[static_cast<std::size_t>(ArraySlot(flat, kAlarmCount))] = RealToInt(v.real);
  return true;
}

// ---- Sub-images and the sprite's measures ----

bool GetImageSingle(Runtime&, CInstanceBase& b, std::int32_t, RValue& out) {
  const CInstance& i = Inst(b);
  out.setReal(i.image_speed != 0 ? -1.0 : i.image_index);
  return true;
}

bool SetImageSingle(Runtime&, CInstanceBase& b, std::int32_t, const RValue& v) {
  CInstance& i = Inst(b);
  if (v.real >= 0) {
    i.image_index = v.real;
    i.image_speed = 0;
  } else {
    i.image_speed = 1;
  }
  return true;
}

const CSprite* SpriteOf(Runtime& rt, CInstanceBase& b) {
  return rt.resources.sprites.get(Inst(b).sprite_index);
}

bool GetImageNumber(Runtime& rt, CInstanceBase& b, std::int32_t, RValue& out) {
  const CSprite* s = SpriteOf(rt, b);
  out.setReal(s ? static_cast<double>(s->images.size()) : 0.0);
  return true;
}

bool GetSpriteWidth(Runtime& rt, CInstanceBase& b, std::int32_t, RValue& out) {
  const CSprite* s = SpriteOf(rt, b);
  out.setReal(s ? s->width() * Inst(b).image_xscale : 0.0);
  return true;
}

bool GetSpriteHeight(Runtime& rt, CInstanceBase& b, std::int32_t, RValue& out) {
  const CSprite* s = SpriteOf(rt, b);
  out.setReal(s ? s->height() * Inst(b).image_yscale : 0.0);
  return true;
}

bool GetSpriteXOffset(Runtime& rt, CInstanceBase& b, std::int32_t, RValue& out) {
  const CSprite* s = SpriteOf(rt, b);
  out.setReal(s ? s->xoffset * Inst(b).image_xscale : 0.0);
  return true;
}

bool GetSpriteYOffset(Runtime& rt, CInstanceBase& b, std::int32_t, RValue& out) {
  const CSprite* s = SpriteOf(rt, b);
  out.setReal(s ? s->yoffset * Inst(b).image_yscale : 0.0);
  return true;
}

constexpr bool kRW = true;
constexpr bool kRO = false;
using I = CInstance;

// Registration order is the index order game data and saved games rely on.
constexpr RBuiltinVariable kEntries[] = {
    {"x", GetReal<&I::x>, SetX, kRW},
    {"y", GetReal<&I::y>, SetY, kRW},
    {"xprevious", GetReal<&I::xprevious>, SetReal<&I::xprevious>, kRW},
    {"yprevious", GetReal<&I::yprevious>, SetReal<&I::yprevious>, kRW},
    {"xstart", GetReal<&I::xstart>, SetReal<&I::xstart>, kRW},
    {"ystart", GetReal<&I::ystart>, SetReal<&I::ystart>, kRW},
    {"hspeed", GetReal<&I::hspeed>, SetMotion<&I::SetHspeed>, kRW},
    {"vspeed", GetReal<&I::vspeed>, SetMotion<&I::SetVspeed>, kRW},
    {"direction", GetReal<&I::direction>, SetMotion<&I::SetDirection>, kRW},
    {"speed", GetReal<&I::speed>, SetMotion<&I::SetSpeed>, kRW},
    {"friction", GetReal<&I::friction>, SetReal<&I::friction>, kRW},
    {"gravity", GetReal<&I::gravity>, SetReal<&I::gravity>, kRW},
    {"gravity_direction", GetReal<&I::gravity_direction>, SetReal<&I::gravity_direction>, kRW},
    {"object_index", GetInt<&I::object_index>, nullptr, kRO},
    {"id", GetInt<&I::id>, nullptr, kRO},
    {"alarm", GetAlarm, SetAlarm, kRW},
    {"solid", GetBool<&I::solid>, SetBool<&I::solid>, kRW},
    {"visible", GetBool<&I::visible>, SetBool<&I::visible>, kRW},
    {"persistent", GetBool<&I::persistent>, SetBool<&I::persistent>, kRW},
    {"depth", GetReal<&I::depth>, SetReal<&I::depth>, kRW},
    {"bbox_left", GetInt<&I::bbox_left>, nullptr, kRO},
    {"bbox_right", GetInt<&I::bbox_right>, nullptr, kRO},
    {"bbox_top", GetInt<&I::bbox_top>, nullptr, kRO},
    {"bbox_bottom", GetInt<&I::bbox_bottom>, nullptr, kRO},
    {"sprite_index", GetInt<&I::sprite_index>, SetSpriteIndex, kRW},
    {"image_index", GetReal<&I::image_index>, SetReal<&I::image_index>, kRW},
    {"image_single", GetImageSingle, SetImageSingle, kRW},
    {"image_number", GetImageNumber, nullptr, kRO},
    {"sprite_width", GetSpriteWidth, nullptr, kRO},
    {"sprite_height", GetSpriteHeight, nullptr, kRO},
    {"sprite_xoffset", GetSpriteXOffset, nullptr, kRO},
    {"sprite_yoffset", GetSpriteYOffset, nullptr, kRO},
    {"image_xscale", GetReal<&I::image_xscale>, SetShape<&I::SetXScale>, kRW},
    {"image_yscale", GetReal<&I::image_yscale>, SetShape<&I::SetYScale>, kRW},
    {"image_angle", GetReal<&I::image_angle>, SetShape<&I::SetAngle>, kRW},
    {"image_alpha", GetReal<&I::image_alpha>, SetReal<&I::image_alpha>, kRW},
    {"image_blend", GetInt<&I::image_blend>, SetInt<&I::image_blend>, kRW},
    {"image_speed", GetReal<&I::image_speed>, SetReal<&I::image_speed>, kRW},
    {"mask_index", GetInt<&I::mask_index>, SetMaskIndex, kRW},
    {"path_index", GetInt<&I::path_index>, nullptr, kRO},
    {"path_position", GetReal<&I::path_position>, SetClamped<&I::path_position>, kRW},
    {"path_positionprevious", GetReal<&I::path_positionprevious>,
     SetClamped<&I::path_positionprevious>, kRW},
    {"path_speed", GetReal<&I::path_speed>, SetReal<&I::path_speed>, kRW},
    {"path_scale", GetReal<&I::path_scale>, SetReal<&I::path_scale>, kRW},
    {"path_orientation", GetReal<&I::path_orientation>, SetReal<&I::path_orientation>, kRW},
    {"path_endaction", GetInt<&I::path_endaction>, SetInt<&I::path_endaction>, kRW},
    {"timeline_index", GetInt<&I::timeline_index>, SetInt<&I::timeline_index>, kRW},
    {"timeline_position", GetReal<&I::timeline_position>, SetReal<&I::timeline_position>, kRW},
    {"timeline_speed", GetReal<&I::timeline_speed>, SetReal<&I::timeline_speed>, kRW},
    {"timeline_running", GetBool<&I::timeline_running>, SetBool<&I::timeline_running>, kRW},
    {"timeline_loop", GetBool<&I::timeline_loop>, SetBool<&I::timeline_loop>, kRW},
};

}  // namespace

std::span<const RBuiltinVariable> InstanceVariableEntries() {
  return kEntries;
}

void SetGameLives(Runtime& rt, std::int32_t lives) {
  const std::int32_t old = rt.world.lives;
  rt.world.lives = lives;
  if (old > 0 && lives <= 0)
    PerformEventAll(rt, static_cast<std::int32_t>(EventKind::Other), kEvNoMoreLives);
}

void SetGameHealth(Runtime& rt, double health) {
  const double old = rt.world.health;
  rt.world.health = health;
  if (old > 0 && health <= 0)
    PerformEventAll(rt, static_cast<std::int32_t>(EventKind::Other), kEvNoMoreHealth);
}

bool GetScore(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.world.score);
  return true;
}

bool SetScore(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  rt.world.score = RealToInt(v.real);
  return true;
}

bool GetLives(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.world.lives);
  return true;
}

bool SetLives(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  SetGameLives(rt, RealToInt(v.real));
  return true;
}

bool GetHealth(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.world.health);
  return true;
}

bool SetHealth(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  SetGameHealth(rt, v.real);
  return true;
}

bool GetInstanceCount(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(static_cast<double>(rt.world.instances.size()));
  return true;
}

bool GetInstanceId(Runtime& rt, CInstanceBase&, std::int32_t flat, RValue& out) {
  const CInstanceList& list = rt.world.instances;
  const bool valid = flat >= 0 && static_cast<std::size_t>(flat) < list.size();
  out.setReal(valid ? list.at(static_cast<std::size_t>(flat)).id : kNoone);
  return true;
}

}  // namespace px
