// Window events of SDL2 that reach the game window.
#pragma once

#include <SDL_events.h>
#include <SDL_video.h>

#include <cstdint>

namespace px {

// Passes a resize or repaint of a game window to its handlers.
void HandleGameWindowEvent(const SDL_WindowEvent& event);
// Whether the window with this id is a game window.
bool IsGameWindow(std::uint32_t windowId);
// The X11 window id of an SDL window; 0 under another window system.
std::uint64_t X11WindowId(SDL_Window* window);

// A joystick axis from SDL (-32768..32767) as 0..65535 with 32767 in the
// middle, both ends reached.
std::int32_t RawJoystickAxis(std::int16_t value);
// A hat position of SDL as hundredths of a degree clockwise from up,
// 65535 when centred.
std::int32_t HatDegrees(std::uint8_t hat);

}  // namespace px
