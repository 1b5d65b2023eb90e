#include "system/Support_Filename.h"

namespace px {

namespace {

std::size_t LastDelimiter(std::string_view f) {
  return f.find_last_of("\\:");
}

}  // namespace

std::string FilenameName(std::string_view f) {
  const std::size_t d = LastDelimiter(f);
  return std::string(d == std::string_view::npos ? f : f.substr(d + 1));
}

std::string FilenamePath(std::string_view f) {
  const std::size_t d = LastDelimiter(f);
  return d == std::string_view::npos ? std::string() : std::string(f.substr(0, d + 1));
}

std::string FilenameDir(std::string_view f) {
  std::string path = FilenamePath(f);
  if (path.size() > 1 && path.back() == '\\' && path[path.size() - 2] != '\\' &&
      path[path.size() - 2] != ':') {
    path.pop_back();
  }
  return path;
}

std::string FilenameDrive(std::string_view f) {
  if (f.size() >= 2 && f[1] == ':') return std::string(f.substr(0, 2));
  if (f.size() >= 2 && f[0] == '\\' && f[1] == '\\') {
    // "\\server\share": up to the folder separator after the share.
    int separators = 0;
    std::size_t i = 2;
    while (i + 1 < f.size() && separators < 2) {
      if (f[i] == '\\') ++separators;
      if (separators < 2) ++i;
    }
    if (i < f.size() && f[i] == '\\') --i;
    return std::string(f.substr(0, i + 1));
  }
  return {};
}

std::string FilenameExt(std::string_view f) {
  const std::size_t dot = f.find_last_of(".\\:");
  if (dot == std::string_view::npos || f[dot] != '.') return {};
  return std::string(f.substr(dot));
}

std::string FilenameChangeExt(std::string_view f, std::string_view ext) {
  const std::size_t dot = f.find_last_of(".\\:");
  const std::size_t keep = dot != std::string_view::npos && f[dot] == '.' ? dot : f.size();
  return std::string(f.substr(0, keep)) + std::string(ext);
}

}  // namespace px
