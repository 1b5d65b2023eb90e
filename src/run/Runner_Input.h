// Replay files for --input: one window event per line, "STEP EVENT ARGS",
// applied before the step of that number (docs/input.md has the format).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "run/IO_Main.h"

namespace px {

struct ReplayFile {
  // Sorted by step; events of one step in the order of the file.
  std::vector<ReplayEvent> events;
  // "NAME:LINE: what is wrong" when the text is not a replay; empty if it is.
  std::string error;
};

// No line of a replay is longer than this; a longer one is an error.
inline constexpr std::size_t kMaxReplayLine = 4096;

// Reads a replay's text; `name` is the file name error messages give.
ReplayFile ParseReplay(std::string_view text, std::string_view name);
// Reads and parses the file at `path`.
ReplayFile LoadReplay(const std::string& path);

}  // namespace px
