// The built-in variable table: names in registration order (their index is
// the position), getters, setters and writable flags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "code/Code_Value.h"

namespace px {

struct Runtime;
class CInstanceBase;

// The instance is the one the access was routed to (never null); variables
// of the game as a whole ignore it. `flat` is the flat array index.
using BuiltinGetter = bool (*)(Runtime& rt, CInstanceBase& inst, std::int32_t flat, RValue& out);
using BuiltinSetter = bool (*)(Runtime& rt, CInstanceBase& inst, std::int32_t flat,
                               const RValue& value);

// A missing getter, or a missing setter on a writable variable, marks a
// variable whose owner is not connected yet.
struct RBuiltinVariable {
  std::string_view name;
  BuiltinGetter get = nullptr;
  BuiltinSetter set = nullptr;
  bool writable = false;
};

inline constexpr std::size_t kMaxBuiltinVariables = 500;
inline constexpr std::size_t kMaxBuiltinNameLength = 64;
inline constexpr const char* kTooManyVariablesMessage = "INTERNAL ERROR: Adding too many variables";

class CBuiltinTable {
 public:
  // Appends an entry. False, adding nothing, when the table is full (the
  // caller shows kTooManyVariablesMessage).
  bool Register(std::string_view name, BuiltinGetter get, BuiltinSetter set, bool writable);
  // Gives an entry registered earlier its getter and setter, keeping its
  // place and writable flag; an unknown name changes nothing.
  void Connect(const RBuiltinVariable& entry);
  // Exact, case-sensitive; −1 when absent.
  std::int32_t Find(std::string_view name) const;
  std::size_t size() const { return entries_.size(); }
  const RBuiltinVariable& operator[](std::size_t index) const { return entries_[index]; }

 private:
  std::vector<RBuiltinVariable> entries_;
  std::unordered_map<std::string_view, std::int32_t> byName_;
};

// The runner's table, filled once in registration order: the instance
// variables (x … timeline_loop), then those of the game as a whole
// (argument_relative … plexamo_version). The list and the getters and
// setters behind it belong to the function library, which sits above every
// subsystem that owns a variable.
const CBuiltinTable& BuiltinVariables();
inline std::int32_t FindBuiltinVariable(std::string_view name) {
  return BuiltinVariables().Find(name);
}

// What setters store, by the kind of field they write:
// an integer field takes RealToInt(value.real); a boolean field is true when
// that integer is 1 or more.
inline bool ValueAsBool(const RValue& v) {
  return RealToInt(v.real) >= 1;
}
// An array variable with `count` elements treats a flat index outside
// 0 .. count − 1 as 0.
inline std::int32_t ArraySlot(std::int32_t flat, std::int32_t count) {
  return flat >= 0 && flat < count ? flat : 0;
}

}  // namespace px
