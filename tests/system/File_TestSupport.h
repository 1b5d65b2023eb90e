// A scratch folder that is the current directory while a test runs, and
// reading and writing whole files in it.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/TestSupport.h"

namespace pxtest {

class InScratchDir {
 public:
  InScratchDir() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~InScratchDir() { std::filesystem::current_path(previous_); }
  InScratchDir(const InScratchDir&) = delete;
  InScratchDir& operator=(const InScratchDir&) = delete;
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  ScratchDir dir_;
  std::filesystem::path previous_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
  const auto bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace pxtest
