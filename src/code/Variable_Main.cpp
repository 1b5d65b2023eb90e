#include "code/Variable_Main.h"

#include <algorithm>

#include "code/Script_Core.h"
#include "code/Variable_BuiltIn.h"

namespace px {

std::int32_t CUserNames::indexOf(std::string_view name) {
  const std::int32_t known = find(name);
  if (known >= 0) return known;
  const auto index = kUserVariableBase + static_cast<std::int32_t>(names_.size());
  names_.emplace_back(name);
  byName_.emplace(names_.back(), index);
  return index;
}

std::int32_t CUserNames::find(std::string_view name) const {
  const auto it = byName_.find(name);
  return it == byName_.end() ? -1 : it->second;
}

const std::string* CUserNames::name(std::int32_t index) const {
  if (index < kUserVariableBase) return nullptr;
  const auto slot = static_cast<std::size_t>(index - kUserVariableBase);
  return slot < names_.size() ? &names_[slot] : nullptr;
}

std::int32_t VariableIndexOf(Variables& vars, std::string_view name) {
  const std::int32_t builtin = FindBuiltinVariable(name);
  return builtin >= 0 ? builtin : vars.userNames.indexOf(name);
}

std::string VariableName(const Variables& vars, std::int32_t index) {
  if (IsUserVariable(index)) {
    const std::string* name = vars.userNames.name(index);
    return name ? *name : "<unknown variable>";
  }
  const CBuiltinTable& table = BuiltinVariables();
  if (index >= 0 && static_cast<std::size_t>(index) < table.size()) {
    return std::string(table[static_cast<std::size_t>(index)].name);
  }
  return "<unknown built-in variable>";
}

void DeclareGlobalVar(Variables& vars, std::int32_t index) {
  if (!IsUserVariable(index)) return;
  const auto slot = static_cast<std::size_t>(index - kUserVariableBase);
  // Grown with room for a thousand more names, as the saved flag count shows.
  if (slot >= vars.globalVarFlags.size()) vars.globalVarFlags.resize(slot + 1000, 0);
  vars.globalVarFlags[slot] = 1;
  vars.globals.ensure(index);
}

void ResetGlobalVariables(Variables& vars) {
  vars.globals.clear();
  vars.globalVarFlags.assign(kInitialGlobalVarFlags, 0);
}

void WriteGlobalVariables(const Variables& vars, CStream& s) {
  StreamWriteInt(s, kGlobalVariablesMarker);
  vars.globals.write(s);
  StreamWriteInt(s, static_cast<std::int32_t>(vars.globalVarFlags.size()));
  for (const std::uint8_t flag : vars.globalVarFlags) StreamWriteBool(s, flag != 0);
}

bool ReadGlobalVariables(Variables& vars, CStream& s) {
  if (StreamReadInt(s) != kGlobalVariablesMarker) return false;
  CVariableList globals;
  globals.read(s);
  const std::int32_t count = StreamReadInt(s);
  std::vector<std::uint8_t> flags;
  flags.reserve(std::min<std::size_t>(std::max(count, 0), s.remaining() / 4));
  for (std::int32_t i = 0; i < count; ++i) flags.push_back(StreamReadBool(s) ? 1 : 0);
  vars.globals = std::move(globals);
  vars.globalVarFlags = std::move(flags);
  return true;
}

namespace {

VarStatus Missing(const ScriptCore& rt, RValue& out) {
  if (!rt.settings.uninitializedZero) return VarStatus::Failed;
  out.setReal(0.0);
  return VarStatus::Ok;
}

VarStatus FromList(const ScriptCore& rt, const CVariableList& list, std::int32_t index,
                   std::int32_t flat, RValue& out) {
  const RValue* v = list.lookup(index, flat);
  if (!v) return Missing(rt, out);
  out = *v;
  return VarStatus::Ok;
}

const RBuiltinVariable* Builtin(std::int32_t index) {
  const CBuiltinTable& table = BuiltinVariables();
  if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return nullptr;
  return &table[static_cast<std::size_t>(index)];
}

VarStatus Result(bool ok) {
  return ok ? VarStatus::Ok : VarStatus::Failed;
}

}  // namespace

VarStatus GetInstanceVariable(ScriptCore& rt, CInstanceBase* inst, std::int32_t index,
                              std::int32_t flat, RValue& out) {
  if (!inst) return VarStatus::Failed;
  if (IsUserVariable(index)) return FromList(rt, inst->variables, index, flat, out);
  const RBuiltinVariable* b = Builtin(index);
  if (!b) return VarStatus::Failed;
  if (!b->get) return VarStatus::NotConnected;
  return Result(b->get(rt.host(), *inst, flat, out));
}

VarStatus SetInstanceVariable(ScriptCore& rt, CInstanceBase* inst, std::int32_t index,
                              std::int32_t flat, const RValue& value) {
  if (!inst) return VarStatus::Failed;
  if (IsUserVariable(index)) return Result(inst->variables.set(index, flat, value));
  const RBuiltinVariable* b = Builtin(index);
  if (!b || !b->writable) return VarStatus::Failed;
  if (!b->set) return VarStatus::NotConnected;
  return Result(b->set(rt.host(), *inst, flat, value));
}

VarStatus GetGlobalVariable(ScriptCore& rt, std::int32_t index, std::int32_t flat, RValue& out) {
  return FromList(rt, rt.vars.globals, index, flat, out);
}

VarStatus SetGlobalVariable(ScriptCore& rt, std::int32_t index, std::int32_t flat,
                            const RValue& value) {
  return Result(rt.vars.globals.set(index, flat, value));
}

namespace {

// The first instance a target names, or null.
CInstanceBase* FirstTarget(ScriptCore& rt, std::int32_t target) {
  InstanceLookup* world = rt.vars.instances;
  if (!world || (target < 0 && target != kAll)) return nullptr;
  if (target >= kFirstInstanceId) return world->findInstance(target);
  std::size_t cursor = 0;
  return world->nextInstance(target, cursor, world->walkEnd(target));
}

}  // namespace

VarStatus GetTargetVariable(ScriptCore& rt, std::int32_t target, std::int32_t index,
                            std::int32_t flat, RValue& out) {
  CInstanceBase* inst = FirstTarget(rt, target);
  if (!inst) return VarStatus::Failed;
  return GetInstanceVariable(rt, inst, index, flat, out);
}

VarStatus SetTargetVariable(ScriptCore& rt, std::int32_t target, std::int32_t index,
                            std::int32_t flat, const RValue& value) {
  if (target < 0 && target != kAll) return VarStatus::Failed;
  InstanceLookup* world = rt.vars.instances;
  if (!world) return VarStatus::Ok;
  if (target >= kFirstInstanceId) {
    CInstanceBase* inst = world->findInstance(target);
    return inst ? SetInstanceVariable(rt, inst, index, flat, value) : VarStatus::Ok;
  }
  VarStatus status = VarStatus::Ok;
  std::size_t cursor = 0;
  const std::size_t end = world->walkEnd(target);
  while (CInstanceBase* inst = world->nextInstance(target, cursor, end)) {
    status = SetInstanceVariable(rt, inst, index, flat, value);
  }
  return status;
}

}  // namespace px
