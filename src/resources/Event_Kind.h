// Events by kind and number: every kind, and the numbers of the kinds
// whose numbers are not plain indices (step, mouse, other, keyboard), in
// one place for the object records, the event lists, the step and the
// event names.
#pragma once

#include <cstdint>

namespace px {

enum class EventKind : std::int32_t {
  Create = 0,
  Destroy = 1,
  Alarm = 2,
  Step = 3,
  Collision = 4,
  Keyboard = 5,
  Mouse = 6,
  Other = 7,
  Draw = 8,
  KeyPress = 9,
  KeyRelease = 10,
  Trigger = 11,
};
inline constexpr std::int32_t kEventKindCount = 12;

// The kind as the number stored and passed around.
constexpr std::int32_t KindNumber(EventKind kind) {
  return static_cast<std::int32_t>(kind);
}

// Step events.
inline constexpr std::int32_t kEvStepNormal = 0;
inline constexpr std::int32_t kEvStepBegin = 1;
inline constexpr std::int32_t kEvStepEnd = 2;

// Other events.
inline constexpr std::int32_t kEvOutside = 0;
inline constexpr std::int32_t kEvBoundary = 1;
inline constexpr std::int32_t kEvGameStart = 2;
inline constexpr std::int32_t kEvGameEnd = 3;
inline constexpr std::int32_t kEvRoomStart = 4;
inline constexpr std::int32_t kEvRoomEnd = 5;
inline constexpr std::int32_t kEvNoMoreLives = 6;
inline constexpr std::int32_t kEvAnimationEnd = 7;
inline constexpr std::int32_t kEvEndOfPath = 8;
inline constexpr std::int32_t kEvNoMoreHealth = 9;
inline constexpr std::int32_t kEvUser0 = 10;
inline constexpr std::int32_t kEvCloseButton = 30;
inline constexpr std::int32_t kEvOutsideView0 = 40;
inline constexpr std::int32_t kEvBoundaryView0 = 50;

// Mouse events with numbers of their own (the buttons, the global buttons
// and the joysticks count from bases in the step).
inline constexpr std::int32_t kMouseNoButton = 3;
inline constexpr std::int32_t kMouseEnter = 10;
inline constexpr std::int32_t kMouseLeave = 11;
inline constexpr std::int32_t kMouseGlobalPress = 12;
inline constexpr std::int32_t kMouseGlobalRelease = 13;
inline constexpr std::int32_t kMouseWheelUp = 60;
inline constexpr std::int32_t kMouseWheelDown = 61;

// Keyboard events: no key, any key, then the virtual-key codes from 8.
inline constexpr std::int32_t kKeyNone = 0;
inline constexpr std::int32_t kKeyAny = 1;
inline constexpr std::int32_t kFirstKey = 8;

// The event type a moment of a time line runs as (in event_type and the
// error report); its number is the moment's step.
inline constexpr std::int32_t kTimeLineEvent = 100000;

}  // namespace px
