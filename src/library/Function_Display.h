// Built-in functions of the display, the game window and the screen, and
// the render states game code sets (blending, fog, texture and 3D states).
#pragma once

#include <span>
#include <string>

#include "library/Function_List.h"

namespace px {

struct Runtime;

std::span<const FunctionDef> DisplayFunctions();
// Sleeping, and the actions on the cursor, full screen and snapshots.
std::span<const FunctionDef> ScreenFunctions();

// Saves what the screen shows as a PNG image (the file name is a game
// path); an empty name is reported as an error. False when nothing was
// written.
bool SaveScreenImage(Runtime& rt, const std::string& file);

}  // namespace px
