// Built-in functions of multiplayer games, and the run's multiplayer state.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

struct Runtime;
struct MultiplayerState;

std::span<const FunctionDef> MultiplayerFunctions();

// The run's multiplayer state, made on first use over ENet for the game's
// identifier.
MultiplayerState& Multiplayer(Runtime& rt);

}  // namespace px
