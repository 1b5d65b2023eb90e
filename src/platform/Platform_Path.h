// Paths as game code writes them (Windows style) turned into host paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace px {

// The host path for a game path: "\" and "/" both separate folders, a drive
// letter with a folder ("C:\x") starts at the host root, a drive letter
// without one ("C:x") and a plain name start in the current directory, and
// a network path ("\\server\share\x") resolves to nothing (an empty result,
// which every file operation fails on). Each folder and the final name that
// do not exist as written are looked up without regard to ASCII letter
// case; a name that is still missing is kept as written, so a new file is
// created under the name the game chose.
std::string HostPath(std::string_view gamePath);

// The name of `entry` in `folder` that equals it ignoring ASCII letter
// case: `entry` itself when it exists as written, else the first match in
// the folder's listing order, else "".
std::string FindEntryIgnoringCase(const std::string& folder, std::string_view entry);

// Whether two names are equal ignoring ASCII letter case.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// The size of the file system that holds a host path, and the bytes on it
// that an unprivileged program may still write.
struct DiskSpace {
  std::uint64_t total = 0;
  std::uint64_t available = 0;
};
// Nothing when the file system cannot be asked (a missing path).
std::optional<DiskSpace> QueryDiskSpace(const std::string& hostPath);

}  // namespace px
