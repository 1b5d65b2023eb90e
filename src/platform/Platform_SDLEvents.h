// Window events of SDL2 that reach the game window.
#pragma once

#include <SDL_events.h>

namespace px {

// Passes a resize or repaint of a game window to its handlers.
void HandleGameWindowEvent(const SDL_WindowEvent& event);

}  // namespace px
