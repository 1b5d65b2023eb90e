// The extension package chunk: reading the packages, and writing the files
// that need to exist on disk (libraries and other files) into each
// package's folder inside the run's temporary directory.
#include <filesystem>
#include <fstream>

#include "resources/Resource_Chunks.h"
#include "resources/Resource_List.h"
#include "runner/Run_Global.h"

namespace px {

namespace fs = std::filesystem;

namespace {

constexpr std::int32_t kExtensionChunkVersion = 700;
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
  std::vector<CExtensionPackage>& packages = rt.resources.extensions;
  packages.clear();
  if (StreamReadInt(s) != kExtensionChunkVersion) return false;
  packages.resize(ReadCount(s, 4));
  for (CExtensionPackage& package : packages) {
    if (!package.LoadFromStream(s)) {
      rt.platform.messageBox(kMsgExtensionLoad, rt.applicationTitle, Buttons::Ok,
                             MessageIcon::Error);
      return false;
    }
    // Without a temporary directory (inspecting a file) nothing is written.
    if (!rt.tempDir.path().empty()) ExtractPackageFiles(rt.tempDir.path(), package);
  }
  return true;
}

void WriteExtensionPackages(CStream& s, const GameResources& r) {
  StreamWriteInt(s, kExtensionChunkVersion);
  StreamWriteInt(s, static_cast<std::int32_t>(r.extensions.size()));
  for (const CExtensionPackage& package : r.extensions) package.WriteToStream(s);
}

}  // namespace px
