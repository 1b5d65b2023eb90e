// Helpers shared by the tests: scratch directories, fixture game files and
// running the pxrun and pxpack executables.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "runner/Runner_Load.h"

namespace pxtest {

// A fresh directory removed with the object.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteText(const std::filesystem::path& path, const std::string& text);

struct ProcessResult {
  int exitCode = -1;  // 128 + signal when killed by one
  std::string out;
  std::string err;
};
// Runs a program with arguments (no shell), optional extra environment
// entries "NAME=value", and collects its output.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {});
ProcessResult RunPxrun(const std::vector<std::string>& args,
                       const std::vector<std::string>& env = {});

// A small valid game with one of everything the container carries.
px::GameFile SampleGame();

}  // namespace pxtest
