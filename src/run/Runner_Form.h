// TRunnerForm's start-up and shut-down: load, prepare, run, end.
#pragma once

#include <string>

namespace px {

struct Runtime;

// The whole run after process initialisation; the process exit status.
int PlayGameFile(Runtime& rt);
// The region as last drawn, opaque, written as PNG; false when that fails.
bool SaveScreenshot(Runtime& rt, const std::string& file);
bool LoadAndRun(Runtime& rt);
bool PrepareGame(Runtime& rt);
void EndGame(Runtime& rt);

inline constexpr const char* kMsgUnexpected = "Unexpected error occured when running the game.";
inline constexpr const char* kMsgTempDir =
    "Failed to create temp dir. This can cause serious problems with sounds, etc.";

}  // namespace px
