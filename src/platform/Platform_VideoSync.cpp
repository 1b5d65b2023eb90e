// Apart from the window's code: the system header brings Xlib's macros.
#include "platform/Platform_VideoSync.h"

#include <SDL_syswm.h>

#include <cstring>

namespace px {

WaitVideoSync FindVideoSync(SDL_Window* window) {
  using QueryExtensions = const char* (*)(void* display, int screen);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
  const auto query =
      reinterpret_cast<QueryExtensions>(SDL_GL_GetProcAddress("glXQueryExtensionsString"));
  const char* extensions = query ? query(info.info.x11.display, 0) : nullptr;
  if (!extensions || !std::strstr(extensions, "GLX_SGI_video_sync")) return nullptr;
  return reinterpret_cast<WaitVideoSync>(SDL_GL_GetProcAddress("glXWaitVideoSyncSGI"));
}

}  // namespace px
