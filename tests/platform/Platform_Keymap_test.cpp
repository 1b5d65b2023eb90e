// SDL's keys as virtual-key codes, the key state read back through them,
// and SDL's joystick values in the runner's ranges.
#include "platform/Platform_Keymap.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/Platform_SDLEvents.h"

using namespace px;

namespace {

TEST(Keymap, KeysByPosition) {
  struct Case {
    SDL_Scancode scancode;
    int vk;
  };
  const Case cases[] = {
      {SDL_SCANCODE_A, 65},
      {SDL_SCANCODE_Z, 90},
      {SDL_SCANCODE_0, 48},
      {SDL_SCANCODE_9, 57},
      {SDL_SCANCODE_F1, 112},
      {SDL_SCANCODE_F12, 123},
      {SDL_SCANCODE_KP_0, 96},
      {SDL_SCANCODE_KP_9, 105},
      {SDL_SCANCODE_KP_MULTIPLY, 106},
      {SDL_SCANCODE_KP_PLUS, 107},
      {SDL_SCANCODE_KP_MINUS, 109},
      {SDL_SCANCODE_KP_PERIOD, 110},
      {SDL_SCANCODE_KP_DIVIDE, 111},
      {SDL_SCANCODE_KP_ENTER, 13},
      {SDL_SCANCODE_LSHIFT, 160},
      {SDL_SCANCODE_RSHIFT, 161},
      {SDL_SCANCODE_LCTRL, 162},
      {SDL_SCANCODE_RCTRL, 163},
      {SDL_SCANCODE_LALT, 164},
      {SDL_SCANCODE_RALT, 165},
      {SDL_SCANCODE_LEFT, 37},
      {SDL_SCANCODE_UP, 38},
      {SDL_SCANCODE_RIGHT, 39},
      {SDL_SCANCODE_DOWN, 40},
      {SDL_SCANCODE_HOME, 36},
      {SDL_SCANCODE_END, 35},
      {SDL_SCANCODE_PAGEUP, 33},
      {SDL_SCANCODE_PAGEDOWN, 34},
      {SDL_SCANCODE_INSERT, 45},
      {SDL_SCANCODE_DELETE, 46},
      {SDL_SCANCODE_SPACE, 32},
      {SDL_SCANCODE_RETURN, 13},
      {SDL_SCANCODE_ESCAPE, 27},
      {SDL_SCANCODE_BACKSPACE, 8},
      {SDL_SCANCODE_TAB, 9},
      {SDL_SCANCODE_PAUSE, 19},
      {SDL_SCANCODE_CAPSLOCK, 20},
      {SDL_SCANCODE_NUMLOCKCLEAR, 144},
      {SDL_SCANCODE_SCROLLLOCK, 145},
      {SDL_SCANCODE_SEMICOLON, 186},
      {SDL_SCANCODE_GRAVE, 192},
      {SDL_SCANCODE_LEFTBRACKET, 219},
      {SDL_SCANCODE_APOSTROPHE, 222},
      {SDL_SCANCODE_UNKNOWN, 0},
      {SDL_SCANCODE_MUTE, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VirtualKeyOfScancode(c.scancode), c.vk) << SDL_GetScancodeName(c.scancode);
}

TEST(Keymap, EventsUseTheLayoutForTypingKeysAndDropTheSides) {
  struct Case {
    SDL_Scancode scancode;
    SDL_Keycode sym;
    int vk;
  };
  const Case cases[] = {
      // The key where a US keyboard has Q types 'a' on a French one.
      {SDL_SCANCODE_Q, SDLK_a, 65},
      {SDL_SCANCODE_W, SDLK_z, 90},
      {SDL_SCANCODE_A, SDLK_q, 81},
      {SDL_SCANCODE_A, SDLK_a, 65},
      {SDL_SCANCODE_MINUS, SDLK_MINUS, 189},
      // The number pad keeps its own codes whatever it types.
      {SDL_SCANCODE_KP_7, SDLK_KP_7, 103},
      {SDL_SCANCODE_KP_7, SDLK_7, 103},
      {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 16},
      {SDL_SCANCODE_LCTRL, SDLK_LCTRL, 17},
      {SDL_SCANCODE_RALT, SDLK_RALT, 18},
      {SDL_SCANCODE_F5, SDLK_F5, 116},
      // A layout key typing something without a code keeps its place.
      {SDL_SCANCODE_SEMICOLON, 0xF6, 186},
  };
  for (const Case& c : cases) {
    SDL_Keysym key{};
    key.scancode = c.scancode;
    key.sym = c.sym;
    EXPECT_EQ(VirtualKeyOfEvent(key), c.vk) << SDL_GetScancodeName(c.scancode);
  }
}

TEST(Keymap, KeyStateOfModifiersBySide) {
  std::vector<std::uint8_t> state(SDL_NUM_SCANCODES, 0);
  const int n = SDL_NUM_SCANCODES;
  state[SDL_SCANCODE_RSHIFT] = 1;
  state[SDL_SCANCODE_F3] = 1;
  state[SDL_SCANCODE_KP_2] = 1;
  EXPECT_TRUE(VirtualKeyDown(16, state.data(), n));
  EXPECT_TRUE(VirtualKeyDown(161, state.data(), n));
  EXPECT_FALSE(VirtualKeyDown(160, state.data(), n));
  EXPECT_FALSE(VirtualKeyDown(17, state.data(), n));
  EXPECT_TRUE(VirtualKeyDown(114, state.data(), n));
  EXPECT_TRUE(VirtualKeyDown(98, state.data(), n));
  EXPECT_FALSE(VirtualKeyDown(50, state.data(), n));  // the digit 2 is another key
  EXPECT_FALSE(VirtualKeyDown(0, state.data(), n));
  EXPECT_FALSE(VirtualKeyDown(300, state.data(), n));
  // A short state array is read only as far as it goes.
  EXPECT_FALSE(VirtualKeyDown(114, state.data(), SDL_SCANCODE_F3));
}

TEST(Keymap, JoystickAxesAndHats) {
  const std::pair<std::int16_t, std::int32_t> axes[] = {
      {-32768, 0}, {0, 32767}, {32767, 65535}, {-16384, 16383}, {16384, 49152}};
  for (const auto& [sdl, raw] : axes) EXPECT_EQ(RawJoystickAxis(sdl), raw) << sdl;
  const std::pair<std::uint8_t, std::int32_t> hats[] = {{SDL_HAT_CENTERED, 65535},
                                                        {SDL_HAT_UP, 0},
                                                        {SDL_HAT_RIGHT, 9000},
                                                        {SDL_HAT_LEFTDOWN, 22500},
                                                        {SDL_HAT_LEFTUP, 31500}};
  for (const auto& [hat, degrees] : hats) EXPECT_EQ(HatDegrees(hat), degrees) << int(hat);
}

}  // namespace
