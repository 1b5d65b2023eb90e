#include "run/Runner_Extensions.h"

#include <filesystem>
#include <fstream>

#include "resources/Resource_Chunks.h"
#include "run/Runtime.h"

namespace px {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMsgExtensionLoad = "Error in loading extension packages.";

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

}  // namespace

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

}  // namespace px
