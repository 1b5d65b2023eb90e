// The window system's id of an SDL window. Kept apart from the rest of the
// window code: the X11 headers behind SDL_syswm.h define macros (None,
// Status, Bool) that clash with ordinary names.
#include <SDL_syswm.h>

#include "platform/Platform_SDLEvents.h"

namespace px {

std::uint64_t X11WindowId(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11)
    return static_cast<std::uint64_t>(info.info.x11.window);
#else
  (void)window;
#endif
  return 0;
}

}  // namespace px
