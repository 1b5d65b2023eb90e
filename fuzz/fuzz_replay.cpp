// libFuzzer target over the reader of --input replay files: any text gives
// events or one error naming a line, never more than the text holds, and an
// error never quotes a long line whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "run/Runner_Input.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

int FuzzReplay(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const px::ReplayFile file = px::ParseReplay(text, "in");
  if (!file.error.empty()) {
    Check(file.events.empty());
    Check(file.error.starts_with("in:"));
    Check(file.error.size() < 400);
  }
  Check(file.events.size() <= size / 2 + 1);
  for (std::size_t i = 1; i < file.events.size(); ++i)
    Check(file.events[i - 1].step <= file.events[i].step);
  return 0;
}

#ifndef PXRUN_NO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzReplay(data, size);
}
#endif
