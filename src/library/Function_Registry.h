// Built-in functions of the registry, and secure mode as the registry's
// preferences decide it at start-up.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "library/Function_List.h"
#include "platform/Platform_Registry.h"

namespace px {

std::span<const FunctionDef> RegistryFunctions();

// The key of the game's own values: "\Software\Plexamo\" and the game id.
std::string GameRegistryKey(std::int32_t gameId);

// Secure mode from the preferences key of the current user: its "Warning"
// value read as a truth (a number, true when not 0), and when the key also
// holds "PlexamoRunning", only while that is true as well. False when the
// key is missing; a value that is not a number reads as false.
bool SecureModeFromRegistry(Registry& registry);

}  // namespace px
