// The game windows of the two back ends.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace px {

// A window of the desktop (SDL2) with an OpenGL context.
std::unique_ptr<GameWindow> CreateSdlGameWindow(const WindowOptions& options);
// A window without a display: an OpenGL context on EGL's surfaceless
// platform (Mesa's software rasteriser) and an off-screen framebuffer the
// size of the client area that stands in for the window's content.
std::unique_ptr<GameWindow> CreateOffscreenGameWindow(const WindowOptions& options);

}  // namespace px
