#include "platform/Platform_Picker.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/Platform_Process.h"

extern char** environ;

namespace px {
namespace {

// A pipe's two ends, closed when it goes.
struct Pipe {
  int fd[2] = {-1, -1};
  Pipe() {
    if (::pipe(fd) != 0) fd[0] = fd[1] = -1;
  }
  ~Pipe() {
    for (const int f : fd)
      if (f >= 0) ::close(f);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  void closeEnd(int i) {
    if (fd[i] >= 0) ::close(fd[i]);
    fd[i] = -1;
  }
};

}  // namespace

PickerOutcome RunDesktopPicker(const std::vector<std::string>& args,
                               const std::function<void()>& idle) {
  PickerOutcome outcome;
  const std::string program = FindOnPath("zenity");
  if (program.empty()) return outcome;
  Pipe out;
  if (out.fd[0] < 0) return outcome;
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out.fd[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out.fd[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return outcome;
  out.closeEnd(1);
  std::string text;
  char buffer[4096];
  for (;;) {
    pollfd p{out.fd[0], POLLIN, 0};
    const int ready = ::poll(&p, 1, 50);
    if (ready > 0) {
      const ssize_t n = ::read(out.fd[0], buffer, sizeof buffer);
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
    } else if (idle) {
      idle();
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status)) return outcome;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  switch (WEXITSTATUS(status)) {
    case 0:
      outcome.kind = PickerOutcome::Kind::Chosen;
      outcome.text = std::move(text);
      break;
    case 1:
      outcome.kind = PickerOutcome::Kind::Cancelled;
      break;
    default:
      break;
  }
  return outcome;
}

std::vector<std::string> PickerFileFilters(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    std::size_t bar = filter.find('|', start);
    if (bar == std::string::npos) bar = filter.size();
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<std::string> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string masks = parts[i + 1];
    for (char& c : masks)
      if (c == ';') c = ' ';
    if (masks.empty()) continue;
    filters.push_back("--file-filter=" + (parts[i].empty() ? masks : parts[i]) + " | " + masks);
  }
  return filters;
}

long PickerColor(const std::string& text) {
  int r = -1, g = -1, b = -1;
  unsigned hr = 0, hg = 0, hb = 0;
  double a = 0;
  if (std::sscanf(text.c_str(), "#%2x%2x%2x", &hr, &hg, &hb) == 3) {
    r = static_cast<int>(hr);
    g = static_cast<int>(hg);
    b = static_cast<int>(hb);
  } else if (std::sscanf(text.c_str(), "rgb(%d,%d,%d)", &r, &g, &b) != 3 &&
             std::sscanf(text.c_str(), "rgba(%d,%d,%d,%lf)", &r, &g, &b, &a) != 4) {
    return -1;
  }
  const auto in = [](int v) { return v >= 0 && v <= 255; };
  if (!in(r) || !in(g) || !in(b)) return -1;
  return r | g << 8 | b << 16;
}

}  // namespace px
