// The per-run temporary directory: "px_ttt_" + a random number under a base
// directory, holding files that a library or the system must open by name.
// It is removed on every exit, including termination by a signal; the run
// holds a lock on it, so a later run can tell and remove the folders of
// runs that were killed outright.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace px {

using EnvLookup = std::function<std::optional<std::string>(const char*)>;
std::optional<std::string> ProcessEnv(const char* name);

class TempDir {
 public:
  TempDir() = default;
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() { Remove(); }

  // The preferred base: the first line of "tempdir.txt" in gameDir, else the
  // "temp" or "tmp" environment variable, else the system's default.
  static std::string ChooseBase(const std::filesystem::path& gameDir, const EnvLookup& env);
  // $TMPDIR, else /tmp: the fallback base.
  static std::string SystemBase(const EnvLookup& env);

  // Tries the preferred base, the system base, then the current directory.
  // False when none worked; the run goes on without a directory then.
  bool Create(const std::filesystem::path& gameDir, const EnvLookup& env = ProcessEnv);
  // Creates a new directory under base (made when missing) and locks it.
  bool TryCreate(const std::string& base);

  const std::string& base() const { return base_; }
  // Empty when no directory could be made.
  const std::string& path() const { return path_; }
  // A new empty file in the directory, made so that no other process can
  // have the same name; its path, or empty when none could be made. An
  // extension that is not a dot and letters or digits is left off.
  std::string MakeTempFileName(std::string_view ext) const;
  void Remove();

 private:
  bool Lock(const std::string& path);
  void Unlock();

  std::string base_;
  std::string path_;
  int lockFd_ = -1;
};

// Removes the temporary directories under base that no running process
// holds (their runs were killed), except `keep`. Only directories of this
// user that have not changed for a few seconds are touched.

void RemoveAbandonedTempDirs(const std::string& base, const std::string& keep);

// Deletes dir's files (only when dir lies inside tempPath) and its empty
// subdirectories, then dir itself when it is empty.
void DeleteTempTree(const std::filesystem::path& dir, const std::string& tempPath);

// Makes termination signals (INT, TERM, HUP, QUIT) remove the directory
// before the process dies; an empty path turns that off.
void RemoveOnFatalSignal(const std::string& path);
// Removes the directory RemoveOnFatalSignal was given, now, with only the
// calls a signal handler may make.
void RemoveTempDirNow();

}  // namespace px
