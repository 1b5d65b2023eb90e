#include "code/Code_Function.h"

#include <cstdint>

#include "code/Script_Core.h"

namespace px {

void CFunctionRegistry::Register(std::string_view name, BuiltinHandler handler,
                                 std::int32_t argCount) {
  const auto index = static_cast<std::int32_t>(entries_.size());
  entries_.push_back({std::string(name), handler, argCount});
  byName_.emplace(std::string(name), index);  // an earlier entry of the name keeps it
}

std::int32_t CFunctionRegistry::Find(std::string_view name) const {
  const auto it = byName_.find(name);
  return it == byName_.end() ? -1 : it->second;
}

void RegisterFunction(ScriptCore& rt, std::string_view name, BuiltinHandler handler,
                      std::int32_t argCount) {
  rt.code.functions.Register(name, handler, argCount);
}

namespace {

// An id whose function index would not fit in 32 bits names no function.
bool CallableId(std::int32_t id) {
  return id >= 0 && id <= INT32_MAX - kExtensionFunctionBase;
}

// The first function of that name over the packages and their files in
// order, or null.
const CExtensionFunction* FindExtensionFunction(const ScriptCore& rt, std::string_view name) {
  for (const CExtensionPackage& package : rt.resources.extensions) {
    for (const CExtensionFile& file : package.files) {
      for (const CExtensionFunction& f : file.functions) {
        if (f.name == name && CallableId(f.id)) return &f;
      }
    }
  }
  return nullptr;
}

const CExtensionFunction* ExtensionFunctionById(const ScriptCore& rt, std::int32_t id) {
  for (const CExtensionPackage& package : rt.resources.extensions) {
    for (const CExtensionFile& file : package.files) {
      for (const CExtensionFunction& f : file.functions) {
        if (f.id == id) return &f;
      }
    }
  }
  return nullptr;
}

}  // namespace

std::int32_t FindFunction(const ScriptCore& rt, std::string_view name) {
  const int script = rt.resources.scripts.find(name);
  if (script >= 0) return kScriptFunctionBase + script;
  if (const CExtensionFunction* f = FindExtensionFunction(rt, name)) {
    return kExtensionFunctionBase + f->id;
  }
  return rt.code.functions.Find(name);
}

std::int32_t FunctionArgCount(const ScriptCore& rt, std::int32_t index) {
  if (index >= kExtensionFunctionBase) {
    const CExtensionFunction* f = ExtensionFunctionById(rt, index - kExtensionFunctionBase);
    return f ? f->argCount : kNoSuchFunction;
  }
  if (index >= kScriptFunctionBase) return kAnyArgumentCount;
  if (index < 0 || static_cast<std::size_t>(index) >= rt.code.functions.size()) {
    return kNoSuchFunction;
  }
  return rt.code.functions[static_cast<std::size_t>(index)].argCount;
}

}  // namespace px
