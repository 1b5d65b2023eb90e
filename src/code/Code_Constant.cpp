#include "code/Code_Constant.h"

#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "code/Variable_Main.h"
#include "runner/Run_Global.h"

namespace px {

void CConstantTable::Add(std::string_view name, const RValue& value) {
  names_.emplace_back(name);
  values_.push_back(value);
  const std::size_t index = names_.size() - 1;
  const auto [it, added] = newest_.try_emplace(names_.back(), index);
  if (!added) it->second = index;
}

const RValue* CConstantTable::Find(std::string_view name) const {
  const auto it = newest_.find(name);
  return it == newest_.end() ? nullptr : &values_[it->second];
}

void AddConstant(Runtime& rt, std::string_view name, const RValue& value) {
  rt.code.constants.Add(name, value);
}

namespace {

int FindTrigger(const ResourceList<CTrigger>& triggers, std::string_view name) {
  for (int i = 0; i < triggers.count(); ++i) {
    const CTrigger* t = triggers.get(i);
    if (t && t->constantName == name) return i;
  }
  return -1;
}

int FindResource(const GameResources& r, std::string_view name) {
  int found = r.objects.find(name);
  if (found < 0) found = r.sprites.find(name);
  if (found < 0) found = r.sounds.find(name);
  if (found < 0) found = r.backgrounds.find(name);
  if (found < 0) found = r.paths.find(name);
  if (found < 0) found = r.fonts.find(name);
  if (found < 0) found = r.timeLines.find(name);
  if (found < 0) found = r.scripts.find(name);
  if (found < 0) found = r.rooms.find(name);
  if (found < 0) found = FindTrigger(r.triggers, name);
  return found;
}

}  // namespace

bool FindConstant(const Runtime& rt, std::string_view name, RValue& out) {
  const int resource = FindResource(rt.resources, name);
  if (resource >= 0) {
    out.setReal(resource);
    return true;
  }
  const RValue* value = rt.code.constants.Find(name);
  if (!value) return false;
  out = *value;
  return true;
}

}  // namespace px

namespace px {

namespace {

std::string_view TrimControls(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsValidName(std::string_view name) {
  if (name.empty() || !IsNameStart(name.front())) return false;
  for (const char c : name) {
    if (!IsNameStart(c) && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

bool Refuse(Runtime& rt, const std::string& text) {
  rt.platform.messageBox(text, rt.applicationTitle, Buttons::Ok, MessageIcon::Error);
  return false;
}

}  // namespace

bool DefineConstant(Runtime& rt, std::string_view rawName, std::string_view valueText) {
  const std::string name(TrimControls(rawName));
  if (!IsValidName(name)) return Refuse(rt, "Constant name " + name + "  is not valid.");
  CCode code(valueText, true);
  CInstanceBase temporary;
  RValue value;
  if (!code.Compile(rt) || !EvaluateCode(rt, &temporary, &temporary, code, value)) {
    rt.code.error.pending = false;
    return Refuse(rt, "Value for constant " + name + "  is not valid.");
  }
  AddConstant(rt, name, value);
  return true;
}

bool DefineUserConstants(Runtime& rt) {
  for (const auto& [name, value] : rt.resources.constants) {
    if (!DefineConstant(rt, name, value)) return false;
  }
  return true;
}

}  // namespace px
