// The constant table (built-in, extension and game constants in order of
// addition) and the constant look-up of game code, which tries resource
// names first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "code/Code_Value.h"

namespace px {

struct ScriptCore;

class CConstantTable {
 public:
  // Appends without checking for an earlier entry of the name.
  void Add(std::string_view name, const RValue& value);
  // The newest entry of that exact name, or null.
  const RValue* Find(std::string_view name) const;
  std::size_t size() const { return names_.size(); }
  const std::string& name(std::size_t i) const { return names_[i]; }
  const RValue& value(std::size_t i) const { return values_[i]; }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::vector<std::string> names_;
  std::vector<RValue> values_;
  std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>> newest_;
};

void AddConstant(ScriptCore& rt, std::string_view name, const RValue& value);
// The value of a name: a resource's index when a resource has that exact
// name (objects, sprites, sounds, backgrounds, paths, fonts, time lines,
// scripts, rooms, then triggers by their constant name, lowest index first),
// else the newest constant of that name. False when neither exists.
bool FindConstant(const ScriptCore& rt, std::string_view name, RValue& out);

}  // namespace px
