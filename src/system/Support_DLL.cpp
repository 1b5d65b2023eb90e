#include "system/Support_DLL.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "platform/Platform_Path.h"

namespace px {

namespace fs = std::filesystem;

namespace {

bool EndsWithIgnoringCase(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && SameNameIgnoringCase(s.substr(s.size() - tail.size()), tail);
}

std::size_t FileNameStart(std::string_view name) {
  const std::size_t slash = name.find_last_of("\\/");
  return slash == std::string_view::npos ? 0 : slash + 1;
}

// The folder part of a game's name as a host path ("\" becomes "/").
std::string FolderPart(std::string_view gameName) {
  std::string folder(gameName.substr(0, FileNameStart(gameName)));
  std::replace(folder.begin(), folder.end(), '\\', '/');
  return folder;
}

bool SameFolder(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  const auto normal = [](const std::string& p) {
    std::string s = fs::path(p).lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
  };
  return normal(a) == normal(b);
}

// The search folders with the name's own folder first when it is one of
// them.
std::vector<const std::string*> FolderOrder(const LibrarySearch& search,
                                            std::string_view gameName) {
  const std::string own = FolderPart(gameName);
  std::vector<const std::string*> order;
  for (const std::string& f : search.folders) {
    if (SameFolder(f, own)) order.insert(order.begin(), &f);
  }
  for (const std::string& f : search.folders) {
    if (!SameFolder(f, own)) order.push_back(&f);
  }
  return order;
}

bool IsRegularFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

std::string Lowered(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

}  // namespace

std::vector<std::string> NativeLibraryNames(std::string_view gameName) {
  const std::string file(gameName.substr(FileNameStart(gameName)));
  if (file.empty() || file == "." || file == "..") return {};
  if (EndsWithIgnoringCase(file, ".dll")) {
    const std::string stem = file.substr(0, file.size() - 4);
    if (stem.empty()) return {};
    return {stem + ".so", "lib" + stem + ".so"};
  }
  // A shared library's own name ("x.so", "libx.so.6") needs nothing added.
  if (file.ends_with(".so") || file.find(".so.") != std::string::npos) return {file};
  return {file, file + ".so", "lib" + file + ".so"};
}

LibraryLoad LoadGameLibrary(const LibrarySearch& search, std::string_view gameName) {
  LibraryLoad out;
  const std::vector<std::string> names = NativeLibraryNames(gameName);
  for (const std::string* folder : FolderOrder(search, gameName)) {
    for (const std::string& name : names) {
      const std::string found = FindEntryIgnoringCase(*folder, name);
      const fs::path path = fs::path(*folder) / (found.empty() ? name : found);
      out.tried.push_back(path.string());
      if (found.empty() || !IsRegularFile(path)) continue;
      // A dlopen path needs a slash to stay out of the system search.
      out.library = NativeLibrary::Open(fs::absolute(path).string(), nullptr);
      if (out.library) return out;
    }
  }
  if (!search.systemLoader) return out;
  std::vector<std::string> bare = names;
  for (const std::string& name : names) {
    const std::string lower = Lowered(name);
    if (std::find(bare.begin(), bare.end(), lower) == bare.end()) bare.push_back(lower);
  }
  for (const std::string& name : bare) {
    out.tried.push_back(name);
    out.library = NativeLibrary::Open(name, nullptr);
    if (out.library) return out;
  }
  return out;
}

std::shared_ptr<NativeLibrary> ExternalFunctionTable::LoadedOrLoad(const std::string& library) {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (SameNameIgnoringCase(it->libraryName, library)) {
      if (it->library) return it->library;
      break;
    }
  }
  LibraryLoad load = LoadGameLibrary(search_, library);
  if (!load.library) {
    lastTried_ = std::move(load.tried);
    return nullptr;
  }
  lastTried_.clear();
  return std::shared_ptr<NativeLibrary>(std::move(load.library));
}

std::int32_t ExternalFunctionTable::DefineExternal(const std::string& library,
                                                   const std::string& function,
                                                   std::int32_t convention, NativeKind result,
                                                   std::span<const NativeKind> argKinds) {
  if (argKinds.size() > kExternalMaxArguments) return -1;
  const bool anyString =
      std::find(argKinds.begin(), argKinds.end(), NativeKind::String) != argKinds.end();
  if (argKinds.size() > kExternalMaxStringArguments && anyString) return -1;
  std::shared_ptr<NativeLibrary> loaded = LoadedOrLoad(library);
  if (!loaded) return -1;
  void* entry = loaded->Find(function);
  NativeCall call(argKinds, result);
  if (!entry || !call.valid()) {
    // A library this definition loaded stays loaded, as after a defined
    // function; one shared with earlier definitions is theirs already.
    if (loaded.use_count() == 1) strays_.push_back(std::move(loaded));
    return -1;
  }
  // The table grows five entries at a time.
  if (entries_.size() == entries_.capacity()) entries_.reserve(entries_.size() + 5);
  entries_.push_back({library, std::move(loaded), function, entry, convention,
                      std::vector<NativeKind>(argKinds.begin(), argKinds.end()), result,
                      std::move(call)});
  return static_cast<std::int32_t>(entries_.size() - 1);
}

void ExternalFunctionTable::CallExternal(std::int32_t id, std::span<const RValue> args,
                                         RValue& result) const {
  result.setReal(0.0);
  if (id < 0 || static_cast<std::size_t>(id) >= entries_.size()) return;
  const RFunction& f = entries_[static_cast<std::size_t>(id)];
  if (!f.library || args.size() != f.argKinds.size()) return;
  std::array<NativeArgument, kExternalMaxArguments> native;
  for (std::size_t i = 0; i < args.size(); ++i) {
    native[i].real = args[i].real;
    native[i].text = args[i].str().c_str();
  }
  const NativeResult r = f.call.Invoke(f.entry, std::span(native.data(), args.size()));
  if (f.resultKind == NativeKind::String)
    result.setString(r.text ? std::string(r.text) : std::string());
  else
    result.setReal(r.real);
}

void ExternalFunctionTable::FreeExternalLibrary(std::string_view library) {
  for (RFunction& f : entries_) {
    if (f.library && SameNameIgnoringCase(f.libraryName, library)) f.library.reset();
  }
}

void ExternalFunctionTable::FreeAllExternalLibraries() {
  for (RFunction& f : entries_) f.library.reset();
  strays_.clear();
}

}  // namespace px
