#include "run/Runner_Extensions.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <span>
#include <vector>

#include "code/Code_Call.h"
#include "code/Code_Error.h"
#include "resources/Resource_Chunks.h"
#include "run/Run_Error.h"
#include "run/Runner_Code.h"
#include "run/Runner_CrashCleanup.h"
#include "run/Runtime.h"
#include "world/Instance_Class.h"

namespace px {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMsgExtensionLoad = "Error in loading extension packages.";
constexpr const char* kMsgSecureExtensions = "In secure mode you cannot use extension packages.";
// A call that names no prepared function, or a script function whose file
// had no section for it.
constexpr const char* kMsgNoExtensionFunction =
    "Trying to execute non-existing extension function.";

// The folder and file names come from the game data: only plain name parts
// are kept ("\" and "/" both separate parts, "." and ".." are dropped), so
// nothing can be written outside the temporary directory.
fs::path SafeRelativePath(const std::string& name) {
  fs::path out;
  std::string part;
  auto flush = [&] {
    if (!part.empty() && part != "." && part != "..") out /= part;
    part.clear();
  };
  for (char c : name) {
    if (c == '/' || c == '\\')
      flush();
    else
      part += c;
  }
  flush();
  return out;
}

void ExtractPackageFiles(const std::string& tempDir, const CExtensionPackage& package) {
  const fs::path folder = fs::path(tempDir) / SafeRelativePath(package.folder);
  std::error_code ec;
  fs::create_directories(folder, ec);
  for (const CExtensionFile& file : package.files) {
    if (file.kind != ExtensionFileKind::Library && file.kind != ExtensionFileKind::Other) continue;
    const fs::path name = SafeRelativePath(file.fileName).filename();
    if (name.empty()) continue;
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.contents.data()),
              static_cast<std::streamsize>(file.contents.size()));
  }
}

fs::path PackageFolder(const std::string& tempDir, const CExtensionPackage& package) {
  return fs::path(tempDir) / SafeRelativePath(package.folder);
}

// The name of the first function with that id over the packages in order,
// or "".
std::string ExtensionFunctionName(const Runtime& rt, std::int32_t id) {
  for (const CExtensionPackage& package : rt.resources.extensions)
    for (const CExtensionFile& file : package.files)
      for (const CExtensionFunction& f : file.functions)
        if (f.id == id) return f.name;
  return "";
}

void AddPackageConstants(Runtime& rt) {
  // A constant that fails has shown its message; the others still count.
  for (const CExtensionPackage& package : rt.resources.extensions)
    for (const CExtensionFile& file : package.files)
      for (const CExtensionConstant& c : file.constants) DefineConstant(rt, c.name, c.value);
}

std::int32_t LargestFunctionId(const Runtime& rt) {
  std::int32_t largest = -1;
  for (const CExtensionPackage& package : rt.resources.extensions)
    for (const CExtensionFile& file : package.files)
      for (const CExtensionFunction& f : file.functions) largest = std::max(largest, f.id);
  return largest;
}

// A function of any number of arguments cannot be defined in the table;
// like a failed definition, its calls then give real 0.
std::int32_t DefineLibraryFunction(Runtime& rt, const std::string& library,
                                   const CExtensionFunction& f) {
  if (f.argCount < 0) return -1;
  std::vector<NativeKind> kinds;
  const auto count =
      std::min<std::size_t>(static_cast<std::size_t>(f.argCount), CExtensionFunction::kArgKinds);
  for (std::size_t i = 0; i < count; ++i)
    kinds.push_back(f.argKinds[i] == kExtensionArgString ? NativeKind::String : NativeKind::Real);
  const std::int32_t convention =
      f.convention == kExtensionCdecl ? kExternalCdecl : kExternalStdcall;
  const NativeKind result =
      f.resultKind == kExtensionArgString ? NativeKind::String : NativeKind::Real;
  ExternalFunctionTable& table = Externals(rt).table;
  const std::int32_t id = table.DefineExternal(library, f.externalName, convention, result, kinds);
  if (id < 0) NoteMissingLibrary(table, library);
  return id;
}

void DefineLibraryFunctions(Runtime& rt, const CExtensionPackage& package,
                            const CExtensionFile& file) {
  const std::string library = rt.tempDir.path() + "\\" + package.folder + "\\" + file.fileName;
  for (const CExtensionFunction& f : file.functions) {
    ExtensionSlot& slot = Externals(rt).extensions[f.id];
    slot.externalId = DefineLibraryFunction(rt, library, f);
    slot.script = false;
  }
}

bool CompileScriptFunctions(Runtime& rt, const CExtensionPackage& package,
                            const CExtensionFile& file) {
  // A later section of the same name replaces an earlier one.
  std::map<std::string, std::string, std::less<>> sections;
  const std::string_view text(reinterpret_cast<const char*>(file.contents.data()),
                              file.contents.size());
  for (auto& [name, code] : SplitScriptSections(text)) sections[name] = std::move(code);
  for (const CExtensionFunction& f : file.functions) {
    const auto section = sections.find(f.externalName);
    if (section == sections.end()) continue;
    auto code = std::make_unique<CCode>(section->second, false);
    if (!code->Compile(rt)) {
      ReportError(
          rt,
          "COMPILATION ERROR in extension package " + package.name + "\r" + rt.code.error.message,
          true);
      rt.code.error.pending = false;
      return false;
    }
    ExtensionSlot& slot = Externals(rt).extensions[f.id];
    slot.script = true;
    slot.code = std::move(code);
  }
  return true;
}

bool RefuseCall(Runtime& rt, const char* message) {
  rt.code.error.message = message;
  rt.code.error.pending = true;
  return false;
}

bool RunFileFunctions(Runtime& rt, bool initialization) {
  for (const CExtensionPackage& package : rt.resources.extensions) {
    for (const CExtensionFile& file : package.files) {
      const std::string& name = initialization ? file.initFunction : file.finalFunction;
      if (name.empty()) continue;
      if (rt.files.secureMode) {
        ReportError(rt, kMsgSecureExtensions, true);
        return false;
      }
      const auto f = std::find_if(file.functions.begin(), file.functions.end(),
                                  [&](const CExtensionFunction& g) { return g.name == name; });
      if (f == file.functions.end()) {
        ReportError(rt,
                    (initialization ? "Could not locate initialization function "
                                    : "Could not locate finalization function ") +
                        name,
                    true);
        return false;
      }
      CInstance temporary(rt.resources, 0, 0, 0, 0);
      const FunctionArgs none;
      RValue result;
      if (!CallExtensionFunction(rt, f->id, &temporary, &temporary, result, none, 0)) {
        ReportError(rt, rt.code.error.message, true);
        rt.code.error.pending = false;
        return false;
      }
    }
  }
  return true;
}

}  // namespace

ExternalState& Externals(Runtime& rt) {
  if (!rt.externals) {
    rt.externals = MakeOwnedState<ExternalState>(GameLibrarySearch(rt));
    // A native library may crash the process; the temporary directory goes
    // even then.
    if (!rt.tempDir.path().empty()) RemoveTempDirOnCrash();
  }
  return *rt.externals;
}

LibrarySearch GameLibrarySearch(const Runtime& rt) {
  LibrarySearch search;
  std::error_code ec;
  if (!rt.gameFile.empty()) {
    search.folders.push_back(fs::absolute(rt.gameFile, ec).parent_path().string());
  }
  const std::string& temp = rt.tempDir.path();
  if (!temp.empty()) {
    search.folders.push_back(temp);
    for (const CExtensionPackage& package : rt.resources.extensions)
      search.folders.push_back(PackageFolder(temp, package).string());
  }
  if (const auto user = ProcessEnv("PXRUN_LIBRARY_PATH")) {
    std::string_view rest = *user;
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      const std::string_view folder = rest.substr(0, colon);
      if (!folder.empty()) search.folders.emplace_back(folder);
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  return search;
}

void NoteMissingLibrary(const ExternalFunctionTable& table, const std::string& library) {
  if (table.lastTried().empty()) return;
  std::cerr << "pxrun: no native library for \"" << library << "\"; tried:";
  for (const std::string& name : table.lastTried()) std::cerr << ' ' << name;
  std::cerr << '\n';
}

bool LoadExtensionPackages(Runtime& rt, CStream& s) {
  switch (ReadExtensionPackages(rt.resources, s)) {
    case ExtensionChunkRead::BadVersion:
      return false;
    case ExtensionChunkRead::BadPackage:
      rt.platform.messageBox(kMsgExtensionLoad, rt.applicationTitle, Buttons::Ok,
                             MessageIcon::Error);
      return false;
    case ExtensionChunkRead::Ok:
      break;
  }
  // Without a temporary directory (inspecting a file) nothing is written.
  if (rt.tempDir.path().empty()) return true;
  for (const CExtensionPackage& package : rt.resources.extensions)
    ExtractPackageFiles(rt.tempDir.path(), package);
  return true;
}

bool PrepareExtensionPackages(Runtime& rt) {
  AddPackageConstants(rt);
  ExternalState& state = Externals(rt);
  state.extensions.clear();
  state.largestId = LargestFunctionId(rt);
  for (const CExtensionPackage& package : rt.resources.extensions)
    for (const CExtensionFile& file : package.files)
      if (file.kind == ExtensionFileKind::Library) DefineLibraryFunctions(rt, package, file);
  for (const CExtensionPackage& package : rt.resources.extensions)
    for (const CExtensionFile& file : package.files)
      if (file.kind == ExtensionFileKind::Script && !CompileScriptFunctions(rt, package, file))
        return false;
  return true;
}

bool RunExtensionInitFunctions(Runtime& rt) {
  return RunFileFunctions(rt, true);
}

bool RunExtensionFinalFunctions(Runtime& rt) {
  return RunFileFunctions(rt, false);
}

bool CallExtensionFunction(ScriptCore& core, std::int32_t id, CInstanceBase* self,
                           CInstanceBase* other, RValue& result, const FunctionArgs& args,
                           std::int32_t count) {
  Runtime& rt = core.host();
  ExternalState& state = Externals(rt);
  if (id < 0 || id > state.largestId) return RefuseCall(rt, kMsgNoExtensionFunction);
  if (rt.files.secureMode) return RefuseCall(rt, kMsgSecureExtensions);
  const auto n = static_cast<std::size_t>(
      std::clamp<std::int32_t>(count, 0, static_cast<std::int32_t>(kMaxArguments)));
  const auto it = state.extensions.find(id);
  if (it == state.extensions.end() || !it->second.script) {
    const std::int32_t external = it == state.extensions.end() ? -1 : it->second.externalId;
    state.table.CallExternal(external, std::span(args.data(), n), result);
    return true;
  }
  if (!it->second.code) return RefuseCall(rt, kMsgNoExtensionFunction);
  if (CallCodeWithArguments(rt, *it->second.code, self, other, result, args, count)) return true;
  rt.code.error.message.insert(0, "In extension function " + ExtensionFunctionName(rt, id) + ":\r");
  return false;
}

}  // namespace px
