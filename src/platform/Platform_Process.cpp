// Starting programs with posix_spawn.
#include "platform/Platform_Process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/Platform.h"

extern char** environ;

namespace px {

std::string FindOnPath(std::string_view name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr || name.empty()) return {};
  std::string_view rest = path;
  while (true) {
    const std::size_t colon = rest.find(':');
    std::string folder(rest.substr(0, colon));
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + std::string(name);
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) return {};
    rest.remove_prefix(colon + 1);
  }
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool Platform::startProgram(const std::vector<std::string>& argv, bool wait) {
  if (argv.empty()) return false;
  std::vector<char*> words;
  for (const std::string& w : argv) words.push_back(const_cast<char*>(w.c_str()));
  words.push_back(nullptr);
  // Programs started without waiting are reaped when they have ended, at
  // the next start, so they do not linger as zombies.
  static std::vector<pid_t> running;
  std::erase_if(running, [](pid_t p) { return ::waitpid(p, nullptr, WNOHANG) != 0; });
  pid_t pid = 0;
  if (::posix_spawnp(&pid, words[0], nullptr, nullptr, words.data(), environ) != 0) return false;
  if (!wait) {
    running.push_back(pid);
    return true;
  }
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    pumpEvents();
    ::usleep(50000);
  }
  return true;
}

}  // namespace px
