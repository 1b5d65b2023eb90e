// The functions that make, load, copy, change, save and delete sprite and
// background resources while the game runs.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "base/BM32_Bitmap.h"
#include "code/Code_Function.h"
#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> SpriteFunctions();
std::span<const FunctionDef> BackgroundFunctions();
// action_replace_sprite, action_replace_sound, action_replace_background.
std::span<const FunctionDef> ReplaceActionFunctions();

struct Runtime;
// The rectangle of a surface named by the arguments from `first` on
// (surface, x, y, w, h); a missing surface is reported and gives nothing.
std::optional<TBitmap32> SurfaceRectangle(Runtime& rt, const FunctionArgs& a, std::size_t first);

}  // namespace px
