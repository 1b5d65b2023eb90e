// Running a game: the loop that runs steps at the room's speed and carries
// out room changes, restarts and the end between them.
#pragma once

#include <cstdint>

namespace px {

struct Runtime;

struct RunState {
  // A game is in progress; `paused` asks the loop to stop after the step
  // while the game stays in progress.
  bool running = false;
  bool paused = false;
  // Steps counted in the last whole second of the clock.
  std::int32_t fps = 0;
  // Steps run since the game started (the first step is step 1).
  std::int64_t steps = 0;
  // The cursor sprite's frame, advanced at the end of every step.
  std::int64_t cursorFrame = 0;
};

// Starts the game (when it is not running) and runs steps until it ends or
// is paused. True when the game ended by itself, false when a fatal error
// stopped it.
bool RunGame(Runtime& rt);

}  // namespace px
