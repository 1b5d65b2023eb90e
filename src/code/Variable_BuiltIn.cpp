#include "code/Variable_BuiltIn.h"

namespace px {

bool CBuiltinTable::Register(std::string_view name, BuiltinGetter get, BuiltinSetter set,
                             bool writable) {
  if (entries_.size() >= kMaxBuiltinVariables) return false;
  const auto index = static_cast<std::int32_t>(entries_.size());
  entries_.push_back({name, get, set, writable});
  byName_.try_emplace(name, index);
  return true;
}

void CBuiltinTable::Connect(const RBuiltinVariable& entry) {
  const std::int32_t index = Find(entry.name);
  if (index < 0) return;
  RBuiltinVariable& e = entries_[static_cast<std::size_t>(index)];
  e.get = entry.get;
  e.set = entry.set;
}

std::int32_t CBuiltinTable::Find(std::string_view name) const {
  const auto it = byName_.find(name);
  return it == byName_.end() ? -1 : it->second;
}

}  // namespace px
