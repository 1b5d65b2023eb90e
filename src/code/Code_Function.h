// The function registry: built-in functions by name and argument count,
// and the look-up that gives game code its function indices (scripts,
// extension functions, built-in functions).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "code/Code_Value.h"

namespace px {

struct Runtime;
struct ScriptCore;
class CInstanceBase;

inline constexpr std::size_t kMaxArguments = 16;
using FunctionArgs = std::array<RValue, kMaxArguments>;

// Function index spaces: below kScriptFunctionBase built-in functions, then
// scripts (base + script position), then extension functions (base + id).
inline constexpr std::int32_t kScriptFunctionBase = 100000;
inline constexpr std::int32_t kExtensionFunctionBase = 500000;
// An argument count that accepts 0 to 16 arguments.
inline constexpr std::int32_t kAnyArgumentCount = -1;
// FunctionArgCount of an index that names no function.
inline constexpr std::int32_t kNoSuchFunction = -100;

// Called with self, other, the argument count, the result (arriving as real
// 0) and the 16 argument values (those beyond the count are real 0). A
// handler reports its own errors and never makes the calling code fail.
using BuiltinHandler = void (*)(Runtime& rt, CInstanceBase* self, CInstanceBase* other,
                                std::int32_t argc, RValue& result, const FunctionArgs& args);

struct BuiltinFunctionEntry {
  std::string name;
  BuiltinHandler handler = nullptr;
  std::int32_t argCount = kAnyArgumentCount;
};

// Entries in registration order; an entry's index is its position.
class CFunctionRegistry {
 public:
  void Register(std::string_view name, BuiltinHandler handler, std::int32_t argCount);
  // The first entry of that exact name, or −1.
  std::int32_t Find(std::string_view name) const;
  std::size_t size() const { return entries_.size(); }
  const BuiltinFunctionEntry& operator[](std::size_t index) const { return entries_[index]; }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::vector<BuiltinFunctionEntry> entries_;
  std::unordered_map<std::string, std::int32_t, Hash, std::equal_to<>> byName_;
};

// Registers every built-in function in the order of the function list, with
// its argument count. The list and the families behind it are the function
// library's, above every subsystem; the registry is filled when a run's code
// state is made.
void RegisterBuiltinFunctions(CFunctionRegistry& registry);

void RegisterFunction(ScriptCore& rt, std::string_view name, BuiltinHandler handler,
                      std::int32_t argCount);
// The function index of a name: a script first, then an extension function,
// then a built-in function. −1 when none has that exact name.
std::int32_t FindFunction(const ScriptCore& rt, std::string_view name);
// The declared argument count of a function index: kAnyArgumentCount for
// scripts, the extension function's own count, the entry's count, or
// kNoSuchFunction for an index that names nothing.
std::int32_t FunctionArgCount(const ScriptCore& rt, std::int32_t index);

}  // namespace px
