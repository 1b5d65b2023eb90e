// Running a game from its start to its end.
#pragma once

namespace px {

struct Runtime;

// Starts the game in its first room and carries out room changes, restarts
// and the end. A room left with nothing pending ends the game. True when
// the game ended by itself, false when a fatal error stopped it.
bool RunGame(Runtime& rt);

}  // namespace px
