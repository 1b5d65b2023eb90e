// Registry values of the game's own key and of any key under a chosen root.
#include "library/Function_Registry.h"

#include "code/Code_Error.h"
#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

std::string GameRegistryKey(std::int32_t gameId) {
  return "\\Software\\Plexamo\\" + std::to_string(gameId);
}

bool SecureModeFromRegistry(Registry& registry) {
  constexpr char kPreferences[] = "\\Software\\Plexamo\\Version 8\\Preferences";
  constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
  if (!registry.keyExists(kUser, kPreferences)) return false;
  bool secure = false;
  if (const auto warning = registry.read(kUser, kPreferences, "Warning")) {
    secure = ValueAsInteger(warning).value_or(0) != 0;
  }
  if (const auto running = registry.read(kUser, kPreferences, "PlexamoRunning")) {
    secure = secure && ValueAsInteger(running).value_or(0) != 0;
  }
  return secure;
}

namespace {

struct Place {
  RegistryRoot root;
  std::string key;
};

Place GameKey(Runtime& rt) {
  return {RegistryRoot::CurrentUser, GameRegistryKey(rt.flags.gameId)};
}

Place ExtKey(Runtime& rt, const RValue& key) {
  return {rt.files.registryRoot, key.str()};
}

// The _ext writes are refused in secure mode; the game key's are not.
bool MayWrite(Runtime& rt, const Place& place, bool ext) {
  if (!ext || !rt.files.secureMode) return true;
  RuntimeError(rt, "In Secure mode you cannot write registry entries in " + place.key);
  return false;
}

template <bool Ext>
Place PlaceOf(Runtime& rt, const FunctionArgs& args) {
  if constexpr (Ext) {
    return ExtKey(rt, args[0]);
  } else {
    return GameKey(rt);
  }
}

// The arguments after the key.
template <bool Ext>
const RValue& Arg(const FunctionArgs& args, std::size_t i) {
  return args[Ext ? i + 1 : i];
}

template <bool Ext>
void WriteString(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                 const FunctionArgs& args) {
  const Place p = PlaceOf<Ext>(rt, args);
  if (!MayWrite(rt, p, Ext)) return;
  rt.files.registry.write(p.root, p.key, Arg<Ext>(args, 0).str(),
                          {RegistryType::String, Arg<Ext>(args, 1).str()});
}

template <bool Ext>
void WriteReal(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
               const FunctionArgs& args) {
  const Place p = PlaceOf<Ext>(rt, args);
  if (!MayWrite(rt, p, Ext)) return;
  rt.files.registry.write(p.root, p.key, Arg<Ext>(args, 0).str(),
                          RealValue(Arg<Ext>(args, 1).real));
}

template <bool Ext>
void ReadString(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                const FunctionArgs& args) {
  const Place p = PlaceOf<Ext>(rt, args);
  result.setString(
      ValueAsString(rt.files.registry.read(p.root, p.key, Arg<Ext>(args, 0).str())).value_or(""));
}

template <bool Ext>
void ReadReal(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
              const FunctionArgs& args) {
  const Place p = PlaceOf<Ext>(rt, args);
  result.setReal(
      ValueAsReal(rt.files.registry.read(p.root, p.key, Arg<Ext>(args, 0).str())).value_or(0));
}

// Whether the value exists; the key is created when missing.
template <bool Ext>
void Exists(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
            const FunctionArgs& args) {
  const Place p = PlaceOf<Ext>(rt, args);
  if (!rt.files.registry.keyExists(p.root, p.key)) rt.files.registry.createKey(p.root, p.key);
  result.setReal(Truth(rt.files.registry.read(p.root, p.key, Arg<Ext>(args, 0).str()).has_value()));
}

void SetRoot(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
             const FunctionArgs& args) {
  switch (RealToCount(args[0].real)) {
    case 1:
      rt.files.registryRoot = RegistryRoot::LocalMachine;
      break;
    case 2:
      rt.files.registryRoot = RegistryRoot::ClassesRoot;
      break;
    case 3:
      rt.files.registryRoot = RegistryRoot::Users;
      break;
    default:
      rt.files.registryRoot = RegistryRoot::CurrentUser;
      break;
  }
}

constexpr FunctionDef kRegistryFunctions[] = {
    {"registry_write_string", WriteString<false>},
    {"registry_write_real", WriteReal<false>},
    {"registry_read_string", ReadString<false>},
    {"registry_read_real", ReadReal<false>},
    {"registry_exists", Exists<false>},
    {"registry_write_string_ext", WriteString<true>},
    {"registry_write_real_ext", WriteReal<true>},
    {"registry_read_string_ext", ReadString<true>},
    {"registry_read_real_ext", ReadReal<true>},
    {"registry_exists_ext", Exists<true>},
    {"registry_set_root", SetRoot},
};

}  // namespace

std::span<const FunctionDef> RegistryFunctions() {
  return kRegistryFunctions;
}

}  // namespace px
