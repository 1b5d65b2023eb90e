#include "platform/Platform_Keymap.h"

#include <array>

namespace px {
namespace {

struct ScancodeKey {
  SDL_Scancode scancode;
  std::uint8_t vk;
};

// Keys by position, as they sit on a US keyboard.
constexpr ScancodeKey kScancodeKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 8},
    {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_CLEAR, 12},
    {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},
    {SDL_SCANCODE_PAUSE, 19},
    {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},
    {SDL_SCANCODE_SPACE, 32},
    {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},
    {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},
    {SDL_SCANCODE_UP, 38},
    {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},
    {SDL_SCANCODE_PRINTSCREEN, 44},
    {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},
    {SDL_SCANCODE_0, 48},
    {SDL_SCANCODE_1, 49},
    {SDL_SCANCODE_2, 50},
    {SDL_SCANCODE_3, 51},
    {SDL_SCANCODE_4, 52},
    {SDL_SCANCODE_5, 53},
    {SDL_SCANCODE_6, 54},
    {SDL_SCANCODE_7, 55},
    {SDL_SCANCODE_8, 56},
    {SDL_SCANCODE_9, 57},
    {SDL_SCANCODE_A, 65},
    {SDL_SCANCODE_B, 66},
    {SDL_SCANCODE_C, 67},
    {SDL_SCANCODE_D, 68},
    {SDL_SCANCODE_E, 69},
    {SDL_SCANCODE_F, 70},
    {SDL_SCANCODE_G, 71},
    {SDL_SCANCODE_H, 72},
    {SDL_SCANCODE_I, 73},
    {SDL_SCANCODE_J, 74},
    {SDL_SCANCODE_K, 75},
    {SDL_SCANCODE_L, 76},
    {SDL_SCANCODE_M, 77},
    {SDL_SCANCODE_N, 78},
    {SDL_SCANCODE_O, 79},
    {SDL_SCANCODE_P, 80},
    {SDL_SCANCODE_Q, 81},
    {SDL_SCANCODE_R, 82},
    {SDL_SCANCODE_S, 83},
    {SDL_SCANCODE_T, 84},
    {SDL_SCANCODE_U, 85},
    {SDL_SCANCODE_V, 86},
    {SDL_SCANCODE_W, 87},
    {SDL_SCANCODE_X, 88},
    {SDL_SCANCODE_Y, 89},
    {SDL_SCANCODE_Z, 90},
    {SDL_SCANCODE_LGUI, 91},
    {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_KP_0, 96},
    {SDL_SCANCODE_KP_1, 97},
    {SDL_SCANCODE_KP_2, 98},
    {SDL_SCANCODE_KP_3, 99},
    {SDL_SCANCODE_KP_4, 100},
    {SDL_SCANCODE_KP_5, 101},
    {SDL_SCANCODE_KP_6, 102},
    {SDL_SCANCODE_KP_7, 103},
    {SDL_SCANCODE_KP_8, 104},
    {SDL_SCANCODE_KP_9, 105},
    {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_F1, 112},
    {SDL_SCANCODE_F2, 113},
    {SDL_SCANCODE_F3, 114},
    {SDL_SCANCODE_F4, 115},
    {SDL_SCANCODE_F5, 116},
    {SDL_SCANCODE_F6, 117},
    {SDL_SCANCODE_F7, 118},
    {SDL_SCANCODE_F8, 119},
    {SDL_SCANCODE_F9, 120},
    {SDL_SCANCODE_F10, 121},
    {SDL_SCANCODE_F11, 122},
    {SDL_SCANCODE_F12, 123},
    {SDL_SCANCODE_F13, 124},
    {SDL_SCANCODE_F14, 125},
    {SDL_SCANCODE_F15, 126},
    {SDL_SCANCODE_F16, 127},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_LSHIFT, 160},
    {SDL_SCANCODE_RSHIFT, 161},
    {SDL_SCANCODE_LCTRL, 162},
    {SDL_SCANCODE_RCTRL, 163},
    {SDL_SCANCODE_LALT, 164},
    {SDL_SCANCODE_RALT, 165},
    {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
};

// The codes of the typing keys by the character they type.
constexpr int CharacterKey(SDL_Keycode key) {
  if (key >= 'a' && key <= 'z') return static_cast<int>(key - 'a' + 65);
  if (key >= '0' && key <= '9') return static_cast<int>(key - '0' + 48);
  switch (key) {
    case ';':
      return 186;
    case '=':
      return 187;
    case ',':
      return 188;
    case '-':
      return 189;
    case '.':
      return 190;
    case '/':
      return 191;
    case '`':
      return 192;
    case '[':
      return 219;
    case '\\':
      return 220;
    case ']':
      return 221;
    case '\'':
      return 222;
    default:
      return 0;
  }
}

constexpr std::array<std::uint8_t, SDL_NUM_SCANCODES> MakeScancodeTable() {
  std::array<std::uint8_t, SDL_NUM_SCANCODES> t{};
  for (const ScancodeKey& k : kScancodeKeys) t[static_cast<std::size_t>(k.scancode)] = k.vk;
  return t;
}
constexpr auto kByScancode = MakeScancodeTable();

bool Down(SDL_Scancode s, const std::uint8_t* state, int count) {
  return s > SDL_SCANCODE_UNKNOWN && s < count && state[s] != 0;
}

}  // namespace

int VirtualKeyOfScancode(SDL_Scancode scancode) {
  if (scancode <= SDL_SCANCODE_UNKNOWN || scancode >= SDL_NUM_SCANCODES) return 0;
  return kByScancode[static_cast<std::size_t>(scancode)];
}

int VirtualKeyOfEvent(const SDL_Keysym& key) {
  // The number pad's keys type digits too: keep them apart by position.
  const int byPosition = VirtualKeyOfScancode(key.scancode);
  if (byPosition >= 96 && byPosition <= 111) return byPosition;
  if (const int typed = CharacterKey(key.sym)) return typed;
  switch (byPosition) {
    case kVkLeftShift:
    case kVkRightShift:
      return kVkShift;
    case kVkLeftControl:
    case kVkRightControl:
      return kVkControl;
    case kVkLeftAlt:
    case kVkRightAlt:
      return kVkAlt;
    default:
      return byPosition;
  }
}

bool VirtualKeyDown(int vk, const std::uint8_t* state, int count) {
  switch (vk) {
    case kVkShift:
      return VirtualKeyDown(kVkLeftShift, state, count) ||
             VirtualKeyDown(kVkRightShift, state, count);
    case kVkControl:
      return VirtualKeyDown(kVkLeftControl, state, count) ||
             VirtualKeyDown(kVkRightControl, state, count);
    case kVkAlt:
      return VirtualKeyDown(kVkLeftAlt, state, count) || VirtualKeyDown(kVkRightAlt, state, count);
    default:
      break;
  }
  if (vk <= 0 || vk > 255) return false;
  // A typing key is the one that types its character in this layout.
  for (SDL_Keycode c = 0; c < 128; ++c) {
    if (CharacterKey(c) == vk && Down(SDL_GetScancodeFromKey(c), state, count)) return true;
  }
  for (const ScancodeKey& k : kScancodeKeys) {
    if (k.vk == vk && CharacterKey(SDL_GetKeyFromScancode(k.scancode)) == 0 &&
        Down(k.scancode, state, count))
      return true;
  }
  return false;
}

}  // namespace px
