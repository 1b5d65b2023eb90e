#include "run/Runner_OutOfMemory.h"

#include <unistd.h>

#include <cstring>
#include <memory>
#include <new>

#include "run/Runner_TempDir.h"

namespace px {

namespace {

// The handler is process-wide by nature, so what it needs lives here, set
// once at start-up: the program's name and the memory set aside for the
// libraries the way out may still call into.
constexpr std::size_t kReserveBytes = std::size_t{4} << 20;
char gProgram[64] = "pxrun";
std::unique_ptr<char[]> gReserve;

void Write(const char* text) {
  std::size_t left = std::strlen(text);
  while (left > 0) {
    const ssize_t n = ::write(STDERR_FILENO, text, left);
    if (n <= 0) return;
    text += n;
    left -= static_cast<std::size_t>(n);
  }
}

void OnOutOfMemory() {
  gReserve.reset();
  Write(gProgram);
  Write(": out of memory: the game cannot go on\n");
  RemoveTempDirNow();
  ::_exit(1);
}

}  // namespace

void EndProcessWhenOutOfMemory(const char* program) {
  std::strncpy(gProgram, program, sizeof gProgram - 1);
  gReserve = std::make_unique<char[]>(kReserveBytes);
  std::set_new_handler(OnOutOfMemory);
}

}  // namespace px
