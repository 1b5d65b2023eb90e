#include "run/Runner_TempDir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#include "run/Runner_CrashCleanup.h"

namespace px {

namespace fs = std::filesystem;

std::optional<std::string> ProcessEnv(const char* name) {
  if (const char* v = std::getenv(name)) return std::string(v);
  return std::nullopt;
}

// Game paths may be written the Windows way.
static std::string ToNativePath(std::string p) {
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

std::string TempDir::SystemBase(const EnvLookup& env) {
  if (auto v = env("TMPDIR"); v && !v->empty()) return *v;
  return "/tmp";
}

std::string TempDir::ChooseBase(const fs::path& gameDir, const EnvLookup& env) {
  std::ifstream file(gameDir / "tempdir.txt");
  std::string line;
  if (file && std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return ToNativePath(line);
  }
  for (const char* name : {"temp", "tmp"})
    if (auto v = env(name)) return ToNativePath(v->substr(0, 256));
  return SystemBase(env);
}

static std::mt19937& TempRandom() {
  static std::mt19937 generator(std::random_device{}());
  return generator;
}

static int RandomNumber() {
  return std::uniform_int_distribution<int>(0, 99999)(TempRandom());
}

bool TempDir::TryCreate(const std::string& base) {
  base_ = base;
  std::error_code ec;
  std::string candidate;
  do {
    candidate = base + "/px_ttt_" + std::to_string(RandomNumber());
  } while (fs::exists(candidate, ec));
  fs::create_directories(candidate, ec);
  if (ec || !fs::is_directory(candidate)) return false;
  path_ = candidate;
  return true;
}

bool TempDir::Create(const fs::path& gameDir, const EnvLookup& env) {
  const std::string cwd = fs::current_path().string();
  for (const std::string& base : {ChooseBase(gameDir, env), SystemBase(env), cwd}) {
    if (!base.empty() && TryCreate(base)) {
      RemoveOnFatalSignal(path_);
      return true;
    }
  }
  path_.clear();
  return false;
}

std::string TempDir::MakeTempFileName(std::string_view ext) const {
  std::string name;
  std::error_code ec;
  do {
    name = path_ + "/a" + std::to_string(RandomNumber()) + std::string(ext);
  } while (fs::exists(name, ec));
  return name;
}

void TempDir::Remove() {
  if (path_.empty()) return;
  RemoveOnFatalSignal("");
  DeleteTempTree(path_, path_);
  path_.clear();
}

void DeleteTempTree(const fs::path& dir, const std::string& tempPath) {
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return;
  const bool inside = dir.string().starts_with(tempPath);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      DeleteTempTree(it->path(), tempPath);
    else if (inside)
      fs::remove(it->path(), ec);
  }
  fs::remove(dir, ec);  // fails quietly when something stayed
}

// --- removal from a signal handler -----------------------------------------
// A handler may only make async-signal-safe calls, so the tree is removed
// with raw directory reads and *at() calls, and the path lives in a fixed
// buffer. This is process-wide by nature: there is one set of handlers.

namespace {

char gSignalPath[4096];
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

struct LinuxDirent64 {
  ino64_t d_ino;
  off64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[];
};

void RemoveTreeAt(int parent, const char* name, int depth) {
  if (depth > 32) return;
  const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  alignas(8) char buffer[4096];
  for (;;) {
    const long n = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
    if (n <= 0) break;
    for (long at = 0; at < n;) {
      auto* entry = reinterpret_cast<LinuxDirent64*>(buffer + at);
      at += entry->d_reclen;
      const char* child = entry->d_name;
      if (!std::strcmp(child, ".") || !std::strcmp(child, "..")) continue;
      if (entry->d_type == DT_DIR) {
        RemoveTreeAt(fd, child, depth + 1);
        unlinkat(fd, child, AT_REMOVEDIR);
      } else {
        unlinkat(fd, child, 0);
      }
    }
  }
  close(fd);
}

// The crash signals, and what handled them before the run's handler.
const int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
struct sigaction gPreviousCrashActions[std::size(kCrashSignals)];
bool gCrashHandlersInstalled = false;

void RemoveRegisteredTree() {
  if (!gSignalPath[0]) return;
  RemoveTreeAt(AT_FDCWD, gSignalPath, 0);
  rmdir(gSignalPath);
}

// Removes the directory, then gives the signal to the handler it had
// before: a fault comes back by itself when the faulting instruction runs
// again, a signal that was sent is sent again.
extern "C" void OnCrashSignal(int sig, siginfo_t* info, void*) {
  RemoveRegisteredTree();
  for (std::size_t i = 0; i < std::size(kCrashSignals); ++i) {
    if (kCrashSignals[i] == sig) sigaction(sig, &gPreviousCrashActions[i], nullptr);
  }
  if (!info || info->si_code <= 0) raise(sig);
}

extern "C" void OnFatalSignal(int sig) {
  RemoveRegisteredTree();
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

void RemoveTempDirOnCrash() {
  if (gCrashHandlersInstalled) return;
  gCrashHandlersInstalled = true;
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_sigaction = OnCrashSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  for (std::size_t i = 0; i < std::size(kCrashSignals); ++i)
    sigaction(kCrashSignals[i], &action, &gPreviousCrashActions[i]);
}

void RemoveOnFatalSignal(const std::string& path) {
  if (path.size() >= sizeof gSignalPath) return;
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  for (int sig : kSignals) sigaddset(&action.sa_mask, sig);
  action.sa_handler = path.empty() ? SIG_DFL : OnFatalSignal;
  // Block the signals while the path changes so a handler never sees half of it.
  sigset_t old;
  pthread_sigmask(SIG_BLOCK, &action.sa_mask, &old);
  std::memcpy(gSignalPath, path.c_str(), path.size() + 1);
  for (int sig : kSignals) sigaction(sig, &action, nullptr);
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

}  // namespace px
