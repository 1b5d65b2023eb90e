// Included files written out of the game data and removed again.
#include "run/Runner_IncludedFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "code/Code_Error.h"
#include "platform/Platform_Path.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

bool Exists(const std::string& gamePath) {
  struct stat st {};
  const std::string host = HostPath(gamePath);
  return !host.empty() && ::stat(host.c_str(), &st) == 0;
}

}  // namespace

bool WriteIncludedFileData(const CDataFile& file, const std::string& target) {
  if (Exists(target) && !file.overwrite) return false;
  const std::string host = HostPath(target);
  if (host.empty()) return false;
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  if (file.data)
    out.write(reinterpret_cast<const char*>(file.data->data()),
              static_cast<std::streamsize>(file.data->size()));
  out.close();
  return static_cast<bool>(out);
}

namespace {

// Where the file's export mode puts it; nothing for mode 0 or unknown modes.
std::optional<std::string> ExportTarget(Runtime& rt, const CDataFile& file) {
  switch (file.exportMode) {
    case ExportMode::TempDir:
      // Without a temporary directory there is nowhere to put it.
      if (rt.tempDir.path().empty()) return std::nullopt;
      return rt.tempDir.path() + "\\" + file.fileName;
    case ExportMode::WorkingDir:
      return file.fileName;
    case ExportMode::Folder:
      return file.exportFolder + "\\" + file.fileName;
    default:
      return std::nullopt;
  }
}

}  // namespace

CDataFile* FindIncludedFile(Runtime& rt, const std::string& name) {
  for (CDataFile& f : rt.resources.dataFiles) {
    if (f.fileName == name) return &f;
  }
  return nullptr;
}

bool ExportIncludedFile(Runtime& rt, CDataFile& file) {
  if (!file.stored) return false;
  if (file.exportMode == ExportMode::None) return true;
  const bool secure = rt.files.secureMode;
  if (secure && file.fileName.find_first_of("\\/") != std::string::npos) {
    RuntimeError(rt, "In secure mode you cannot export a data file to " + file.fileName);
    return false;
  }
  bool ok = false;
  if (file.exportMode == ExportMode::Folder) {
    if (secure) {
      RuntimeError(rt, "In secure mode you cannot export a data file to an indicated directory.");
      return false;
    }
    std::error_code ec;
    const std::string folder = HostPath(file.exportFolder);
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  }
  if (const auto target = ExportTarget(rt, file)) ok = WriteIncludedFileData(file, *target);
  if (file.freeAfterExport) {
    file.stored = false;
    file.data.reset();
  }
  return ok;
}

bool ExportIncludedFiles(Runtime& rt) {
  for (CDataFile& f : rt.resources.dataFiles) ExportIncludedFile(rt, f);
  return true;
}

void RemoveIncludedFiles(Runtime& rt) {
  for (const CDataFile& f : rt.resources.dataFiles) {
    if (!f.removeAtEnd) continue;
    if (rt.files.secureMode && f.fileName.find_first_of("\\/") != std::string::npos) continue;
    if (f.exportMode == ExportMode::Folder && rt.files.secureMode) continue;
    const auto target = ExportTarget(rt, f);
    if (!target) continue;
    const std::string host = HostPath(*target);
    if (!host.empty()) ::unlink(host.c_str());
  }
}

}  // namespace px
