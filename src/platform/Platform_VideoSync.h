// Waiting for the screen's vertical blank on an X display.
#pragma once

#include <SDL.h>

namespace px {

// GLX's wait for a vertical blank (GLX_SGI_video_sync): 0 on success.
using WaitVideoSync = int (*)(int divisor, int remainder, unsigned int* count);

// The wait of the window's X display when it offers the extension, else
// null (another video driver, or a display without it). The window's
// context must be current.
WaitVideoSync FindVideoSync(SDL_Window* window);

}  // namespace px
