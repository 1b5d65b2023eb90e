#include "code/Code_Constant.h"

#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "code/Script_Core.h"
#include "code/Variable_Main.h"

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

void AddConstant(ScriptCore& rt, std::string_view name, const RValue& value) {
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

bool FindConstant(const ScriptCore& rt, std::string_view name, RValue& out) {
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
