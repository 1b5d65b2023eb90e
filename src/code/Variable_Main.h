// Variables of a run: variable indices and the user name list, the global
// list and the globalvar flags, the argument slots, and reading and writing
// a variable of an instance, of the global list or of a routed target.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Support_Stream.h"
#include "code/Code_Value.h"
#include "code/Variable_Class.h"

namespace px {

struct ScriptCore;

// Indices below this are built-in variables, this and above user variables.
inline constexpr std::int32_t kUserVariableBase = 100000;
inline constexpr std::size_t kArgumentSlots = 16;
inline constexpr std::size_t kInitialGlobalVarFlags = 10000;
inline constexpr std::int32_t kGlobalVariablesMarker = 700;

// Instance prefix values; 0 .. kFirstInstanceId − 1 are object indices,
// kFirstInstanceId and up instance ids, and anything below kLocal names nothing.
inline constexpr std::int32_t kSelf = -1;
inline constexpr std::int32_t kOther = -2;
inline constexpr std::int32_t kAll = -3;
inline constexpr std::int32_t kNoone = -4;
inline constexpr std::int32_t kGlobal = -5;
// No prefix written: globalvar names go to the global list, others to self.
inline constexpr std::int32_t kNoPrefix = -6;
inline constexpr std::int32_t kLocal = -7;
inline constexpr std::int32_t kFirstInstanceId = 100000;

// The part of an instance that variable access uses: its own user
// variables. The world's instance class derives from it.
class CInstanceBase {
 public:
  CVariableList variables;
};

// How variable access finds instances; the world implements it over the
// room's instance list. Instances marked destroyed are never returned.
class InstanceLookup {
 public:
  virtual ~InstanceLookup() = default;
  // The instance with this id, or null.
  virtual CInstanceBase* findInstance(std::int32_t id) = 0;
  // Walks the room's instances (target −3) or those of an object and its
  // descendants (target 0 .. 99999): returns the next one from `cursor` on,
  // short of `end`, and moves the cursor past it; null at the end. A walk
  // starts at cursor 0.
  virtual CInstanceBase* nextInstance(std::int32_t target, std::size_t& cursor,
                                      std::size_t end) = 0;
  // The end of a walk over the target's list as it stands now: instances
  // added later lie beyond it.
  virtual std::size_t walkEnd(std::int32_t target) = 0;
};

enum class VarStatus : std::uint8_t {
  Ok,
  // A read found no such variable or element; a write was refused.
  Failed,
  // A built-in variable whose owner is not part of the runner yet: it
  // neither reads a made-up value nor takes a value it would lose.
  NotConnected,
};

// The user variable names: a name keeps its index for the whole run.
class CUserNames {
 public:
  // The index of the name, adding it when new.
  std::int32_t indexOf(std::string_view name);
  // The index of a known name, or −1.
  std::int32_t find(std::string_view name) const;
  // The name of a user index, or null when it is not assigned.
  const std::string* name(std::int32_t index) const;
  std::size_t size() const { return names_.size(); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::vector<std::string> names_;
  std::unordered_map<std::string, std::int32_t, Hash, std::equal_to<>> byName_;
};

struct Variables {
  CUserNames userNames;
  // Variables written through `global.` and those declared globalvar.
  CVariableList globals;
  // Indexed by user index − kUserVariableBase.
  std::vector<std::uint8_t> globalVarFlags = std::vector<std::uint8_t>(kInitialGlobalVarFlags, 0);
  // argument0 … argument15; script calls save and restore them.
  std::array<RValue, kArgumentSlots> arguments;
  // Set while the action being run has its "relative" option.
  bool argumentRelative = false;
  // The world's instances; without it no object or instance id exists.
  InstanceLookup* instances = nullptr;
};

// The built-in index of a built-in name, else the user index (assigned when new).
std::int32_t VariableIndexOf(Variables& vars, std::string_view name);
// The name of an index for messages.
std::string VariableName(const Variables& vars, std::int32_t index);

inline bool IsUserVariable(std::int32_t index) {
  return index >= kUserVariableBase;
}

// Marks a user variable globalvar and creates it in the global list (real 0)
// when absent. Built-in indices are ignored.
void DeclareGlobalVar(Variables& vars, std::int32_t index);
inline bool IsGlobalVar(const Variables& vars, std::int32_t index) {
  const auto slot = static_cast<std::size_t>(index) - kUserVariableBase;
  return index >= kUserVariableBase && slot < vars.globalVarFlags.size() &&
         vars.globalVarFlags[slot] != 0;
}

// An empty global list and 10000 cleared globalvar flags.
void ResetGlobalVariables(Variables& vars);
// Marker 700, the global list record, the flag count and the flags.
void WriteGlobalVariables(const Variables& vars, CStream& s);
// Replaces the global list and the flags. A marker other than 700 changes
// nothing and reads nothing more (false). Throws StreamError when the record
// is cut short, leaving the globals as they were.
bool ReadGlobalVariables(Variables& vars, CStream& s);

// Reads of a missing variable or element fail, or give real 0 when the
// game's uninitializedZero setting is on. Writes create what they need.
// User indices use the instance's own list; built-in ones the table's getter
// and setter. A null instance fails.
VarStatus GetInstanceVariable(ScriptCore& rt, CInstanceBase* inst, std::int32_t index,
                              std::int32_t flat, RValue& out);
VarStatus SetInstanceVariable(ScriptCore& rt, CInstanceBase* inst, std::int32_t index,
                              std::int32_t flat, const RValue& value);
VarStatus GetGlobalVariable(ScriptCore& rt, std::int32_t index, std::int32_t flat, RValue& out);
VarStatus SetGlobalVariable(ScriptCore& rt, std::int32_t index, std::int32_t flat,
                            const RValue& value);

// Targets −3 (all), object indices and instance ids. A read uses the first
// instance found and fails without one. A write goes to every instance found
// and gives the status of the last one; with none it does nothing and
// succeeds. Other negative targets fail.
VarStatus GetTargetVariable(ScriptCore& rt, std::int32_t target, std::int32_t index,
                            std::int32_t flat, RValue& out);
VarStatus SetTargetVariable(ScriptCore& rt, std::int32_t target, std::int32_t index,
                            std::int32_t flat, const RValue& value);

}  // namespace px
