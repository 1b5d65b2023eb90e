// Functions of native libraries that game code defines and then calls by
// id: the table of defined functions, the conversion of script values to
// native arguments and back, and the search for the native library that a
// game's library name ("name.dll", with or without folders) stands for.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "code/Code_Value.h"
#include "platform/Platform_Library.h"

namespace px {

// Calling convention codes of a definition: 1 is stdcall, anything else
// cdecl. Both are the platform's C call here; the code is kept as given.
inline constexpr std::int32_t kExternalCdecl = 0;
inline constexpr std::int32_t kExternalStdcall = 1;
// At most 16 arguments; a function of more than 4 takes reals only.
inline constexpr std::size_t kExternalMaxArguments = 16;
inline constexpr std::size_t kExternalMaxStringArguments = 4;

// The folders a game's library names are looked for in, in order. Only the
// file part of a name is used, so a name never reaches outside them; when
// its folder part is one of them, that folder is searched first.
struct LibrarySearch {
  std::vector<std::string> folders;
  // Whether the system loader's own search is the last resort.
  bool systemLoader = true;
};

// The native file names a game's library name stands for: for "name.dll"
// (any letter case) "name.so" and "libname.so"; a shared library's own name
// ("x.so", "libx.so.6") as it is; any other name as it is, then with ".so"
// and with "lib" and ".so" around it.
std::vector<std::string> NativeLibraryNames(std::string_view gameName);

struct LibraryLoad {
  std::unique_ptr<NativeLibrary> library;  // null when nothing loaded
  std::vector<std::string> tried;          // every path and name tried, in order
};
// Looks for the library in the search folders (names matched without
// regard to letter case), then through the system loader by name.
LibraryLoad LoadGameLibrary(const LibrarySearch& search, std::string_view gameName);

// One defined function; its id is its position in the table.
struct RFunction {
  std::string libraryName;
  std::shared_ptr<NativeLibrary> library;  // empty once its library is freed
  std::string functionName;
  void* entry = nullptr;
  std::int32_t convention = kExternalCdecl;
  std::vector<NativeKind> argKinds;
  NativeKind resultKind = NativeKind::Real;
  NativeCall call;
};

class ExternalFunctionTable {
 public:
  explicit ExternalFunctionTable(LibrarySearch search) : search_(std::move(search)) {}

  // The id of the new definition, or -1: too many arguments, strings among
  // more than 4, a library that does not load or a name it does not
  // export. A library already loaded under the same name (letter case
  // aside) is shared.
  std::int32_t DefineExternal(const std::string& library, const std::string& function,
                              std::int32_t convention, NativeKind result,
                              std::span<const NativeKind> argKinds);
  // Calls a defined function with as many values as it was defined with.
  // The result starts as real 0 and stays so for an unknown id, a wrong
  // count or a freed library; a string result is copied into it.
  void CallExternal(std::int32_t id, std::span<const RValue> args, RValue& result) const;
  // Unloads the library of that name (letter case aside); its ids then do
  // nothing until a new definition loads it again.
  void FreeExternalLibrary(std::string_view library);
  // At the end of the program.
  void FreeAllExternalLibraries();

  std::size_t size() const { return entries_.size(); }
  const RFunction& operator[](std::size_t id) const { return entries_[id]; }
  // What the last definition whose library did not load tried; empty once
  // a library loaded.
  const std::vector<std::string>& lastTried() const { return lastTried_; }

 private:
  std::shared_ptr<NativeLibrary> LoadedOrLoad(const std::string& library);

  LibrarySearch search_;
  std::vector<RFunction> entries_;
  // Libraries loaded by a definition whose function was missing: they stay
  // loaded until the table goes.
  std::vector<std::shared_ptr<NativeLibrary>> strays_;
  std::vector<std::string> lastTried_;
};

}  // namespace px
