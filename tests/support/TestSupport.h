// Helpers shared by the tests: scratch directories, fixture game files and
// running the pxrun and pxpack executables.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "run/Runner_Load.h"
#include "run/Runtime.h"

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

// A game file in a scratch folder and a headless runtime set up to play it
// the way pxrun does, with its temporary folder beside the file (or none);
// what dialogs show is collected in output(). A game it runs ends after
// its first step.
class HeadlessGame {
 public:
  explicit HeadlessGame(const std::vector<std::uint8_t>& file, const std::string& name = "game.exe",
                        bool withTempDir = true);
  explicit HeadlessGame(const px::GameFile& game) : HeadlessGame(px::WriteGameFile(game)) {}
  px::Runtime& rt() { return *rt_; }
  std::string output() const { return out_.str(); }

 private:
  ScratchDir dir_;
  std::ostringstream out_;
  std::unique_ptr<px::Platform> platform_;
  std::unique_ptr<px::Runtime> rt_;
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
// entries "NAME=value", in the given working directory (empty: this one),
// and collects its output.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {}, const std::string& cwd = {});
ProcessResult RunPxrun(const std::vector<std::string>& args,
                       const std::vector<std::string>& env = {}, const std::string& cwd = {});

// A small valid game with one of everything the container carries.
px::GameFile SampleGame();

// SampleGame plus every resource kind: deleted slots in every list, sprites
// with shared and separate masks, a font with a glyph page, straight and
// smooth paths, time lines, objects with events and every action kind,
// rooms with layers, views, instances and tiles, triggers, included files
// and an extension package with library, script and data-less files. Every
// derived field holds what the reader computes, so writing and reading it
// gives it back unchanged.
px::GameFile RichGame();

// An image whose pixels all differ, with alpha ranging over its pixels.
px::TBitmap32 PatternImage(int width, int height, std::uint32_t seed);

}  // namespace pxtest
