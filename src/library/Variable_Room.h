// The built-in variables of the room in play: room and its order, size,
// caption, speed, persistence, the transition, the background layers, the
// views and the view being drawn; and the step rate (fps).
#pragma once

#include <span>

#include "code/Variable_BuiltIn.h"

namespace px {

// Getters and setters for entries the table lists in its own order.
std::span<const RBuiltinVariable> RoomVariableEntries();

}  // namespace px
