#include "library/Variable_IO.h"

#include "run/Runtime.h"

namespace px {

namespace {

template <double InputState::*Field>
bool GetPosition(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.input.*Field);
  return true;
}

template <std::int32_t InputState::*Field>
bool GetCode(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.input.*Field);
  return true;
}

// A write outside Low..High is ignored.
template <std::int32_t InputState::*Field, std::int32_t Low, std::int32_t High>
bool SetCode(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  const std::int32_t code = RealToInt(v.real);
  if (code >= Low && code <= High) rt.input.*Field = code;
  return true;
}

bool GetLastChar(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setString(rt.input.lastChar);
  return true;
}

// Takes the first character; an empty string changes nothing.
bool SetLastChar(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  const std::string& s = v.str();
  if (!s.empty()) rt.input.lastChar.assign(1, s.front());
  return true;
}

bool GetTyped(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setString(rt.input.typed);
  return true;
}

bool SetTyped(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v) {
  rt.input.typed = v.str();
  return true;
}

constexpr RBuiltinVariable kIOVariables[] = {
    {"mouse_x", GetPosition<&InputState::mouseX>, nullptr, false},
    {"mouse_y", GetPosition<&InputState::mouseY>, nullptr, false},
    {"mouse_button", GetCode<&InputState::mouseButton>,
     SetCode<&InputState::mouseButton, 1, kMouseButtons>, true},
    {"mouse_lastbutton", GetCode<&InputState::mouseLastButton>,
     SetCode<&InputState::mouseLastButton, 1, kMouseButtons>, true},
    {"keyboard_key", GetCode<&InputState::key>, SetCode<&InputState::key, 0, kKeyCount - 1>, true},
    {"keyboard_lastkey", GetCode<&InputState::lastKey>,
     SetCode<&InputState::lastKey, 0, kKeyCount - 1>, true},
    {"keyboard_lastchar", GetLastChar, SetLastChar, true},
    {"keyboard_string", GetTyped, SetTyped, true},
};

}  // namespace

std::span<const RBuiltinVariable> IOVariableEntries() {
  return kIOVariables;
}

}  // namespace px
