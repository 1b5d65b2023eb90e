#include "code/Script_Main.h"

#include "code/Code_Main.h"
#include "code/Script_Core.h"

namespace px {

const CCode* ScriptCode(const ScriptCore& rt, std::int32_t position) {
  const auto& table = rt.code.scripts.code;
  if (position < 0 || static_cast<std::size_t>(position) >= table.size()) return nullptr;
  if (!rt.resources.scripts.exists(position)) return nullptr;
  return table[static_cast<std::size_t>(position)].get();
}

std::int32_t FindScript(const ScriptCore& rt, std::string_view name) {
  return rt.resources.scripts.find(name);
}

std::string ScriptName(const ScriptCore& rt, std::int32_t position) {
  return rt.resources.scripts.name(position);
}

}  // namespace px
