// Windows-style game paths on a POSIX file system.
#include "platform/Platform_Path.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <vector>

namespace px {

namespace {

char FoldCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (folder.back() == '/') return folder + std::string(name);
  return folder + "/" + std::string(name);
}

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::string FindEntryIgnoringCase(const std::string& folder, std::string_view entry) {
  if (Exists(Join(folder, entry))) return std::string(entry);
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return {};
  // Of several names that differ only in case, the smallest in byte order,
  // so the choice does not depend on the listing order of the file system.
  std::string best;
  while (const dirent* e = ::readdir(dir)) {
    const std::string_view name = e->d_name;
    if (SameNameIgnoringCase(name, entry) && (best.empty() || name < best)) best = name;
  }
  ::closedir(dir);
  return best;
}

std::string HostPath(std::string_view path) {
  std::string result;
  std::size_t pos = 0;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return {};
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
    pos = 2;
  }
  if (pos < path.size() && IsSeparator(path[pos])) result = "/";
  // Split into names; empty names (doubled separators) are dropped.
  std::vector<std::string_view> names;
  while (pos < path.size()) {
    std::size_t end = pos;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end > pos) names.push_back(path.substr(pos, end - pos));
    pos = end + 1;
  }
  if (names.empty()) return result.empty() ? std::string(".") : result;
  for (const std::string_view name : names) {
    std::string found;
    if (name != "." && name != "..") found = FindEntryIgnoringCase(result, name);
    result = Join(result, found.empty() ? name : std::string_view(found));
  }
  return result;
}

std::optional<DiskSpace> QueryDiskSpace(const std::string& hostPath) {
  struct statvfs fs {};
  if (::statvfs(hostPath.empty() ? "." : hostPath.c_str(), &fs) != 0) return std::nullopt;
  const std::uint64_t unit = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
  return DiskSpace{static_cast<std::uint64_t>(fs.f_blocks) * unit,
                   static_cast<std::uint64_t>(fs.f_bavail) * unit};
}

}  // namespace px
