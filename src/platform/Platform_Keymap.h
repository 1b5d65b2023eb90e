// The virtual-key codes games use (65..90 letters, 112..123 F1..F12, ...)
// for SDL's keys, and back.
#pragma once

#include <SDL_keyboard.h>

#include <cstdint>

namespace px {

// Virtual-key codes the runner itself names.
inline constexpr int kVkShift = 16, kVkControl = 17, kVkAlt = 18;
inline constexpr int kVkLeftShift = 160, kVkRightShift = 161;
inline constexpr int kVkLeftControl = 162, kVkRightControl = 163;
inline constexpr int kVkLeftAlt = 164, kVkRightAlt = 165;
inline constexpr int kVkNumLock = 144;

// The code a key event carries: letters, digits and punctuation by what
// the key types in the current layout, other keys by where they are; the
// modifiers without their side (16, 17, 18). 0 for keys without a code.
int VirtualKeyOfEvent(const SDL_Keysym& key);

// The code of a key by its position alone; the modifiers with their side
// (160..165). 0 for keys without a code.
int VirtualKeyOfScancode(SDL_Scancode scancode);

// Whether the key with this code is down in SDL's keyboard state (indexed
// by scancode, `count` entries). 16, 17 and 18 are either side.
bool VirtualKeyDown(int vk, const std::uint8_t* state, int count);

}  // namespace px
