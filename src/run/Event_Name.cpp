#include "run/Event_Name.h"

#include "run/Runtime.h"

namespace px {

std::string KeyName(std::int32_t key) {
  switch (key) {
    case 0:
      return "<no key>";
    case 1:
      return "<any key>";
    case 8:
      return "<Backspace>";
    case 9:
      return "<Tab>";
    case 13:
      return "<Enter>";
    case 16:
      return "<Shift>";
    case 17:
      return "<Ctrl>";
    case 18:
      return "<Alt>";
    case 27:
      return "<Escape>";
    case 32:
      return "<Space>";
    case 33:
      return "<Page Up>";
    case 34:
      return "<Page Down>";
    case 35:
      return "<End>";
    case 36:
      return "<Home>";
    case 37:
      return "<Left>";
    case 38:
      return "<Up>";
    case 39:
      return "<Right>";
    case 40:
      return "<Down>";
    case 45:
      return "<Insert>";
    case 46:
      return "<Delete>";
    case 106:
      return "Keypad *";
    case 107:
      return "Keypad +";
    case 109:
      return "Keypad -";
    case 110:
      return "Keypad .";
    case 111:
      return "Keypad /";
    default:
      break;
  }
  if ((key >= 48 && key <= 57) || (key >= 65 && key <= 90)) {
    return std::string(1, static_cast<char>(key)) + "-key";
  }
  if (key >= 96 && key <= 105) return "Keypad " + std::to_string(key - 96);
  if (key >= 112 && key <= 123) return "F" + std::to_string(key - 111);
  return "<unknown>";
}

std::string MouseEventName(std::int32_t n) {
  static const char* const kFirst[] = {"Left Button",     "Right Button",  "Middle Button",
                                       "No Button",       "Left Pressed",  "Right Pressed",
                                       "Middle Pressed",  "Left Released", "Right Released",
                                       "Middle Released", "Mouse Enter",   "Mouse Leave"};
  static const char* const kDirections[] = {"Left", "Right", "Up", "Down"};
  static const char* const kGlobal[] = {
      "Glob Left Button",   "Glob Right Button",   "Glob Middle Button",
      "Glob Left Pressed",  "Glob Right Pressed",  "Glob Middle Pressed",
      "Glob Left Released", "Glob Right Released", "Glob Middle Released"};
  if (n >= 0 && n <= 11) return kFirst[n];
  for (int stick = 1; stick <= 2; ++stick) {
    const std::int32_t base = stick == 1 ? 16 : 31;
    const std::string name = "Joystick " + std::to_string(stick) + " ";
    if (n >= base && n < base + 4) return name + kDirections[n - base];
    if (n >= base + 5 && n <= base + 12) return name + "Button " + std::to_string(n - base - 4);
  }
  if (n >= 50 && n <= 58) return kGlobal[n - 50];
  if (n == 60) return "Mouse Wheel Up";
  if (n == 61) return "Mouse Wheel Down";
  return "<unknown>";
}

std::string OtherEventName(std::int32_t n) {
  static const char* const kFirst[] = {
      "Outside Room", "Intersect Boundary", "Game Start",    "Game End",    "Room Start",
      "Room End",     "No More Lives",      "Animation End", "End Of Path", "No More Health"};
  if (n >= 0 && n <= 9) return kFirst[n];
  if (n >= 10 && n <= 25) return "User Defined " + std::to_string(n - 10);
  if (n == 30) return "Close Button";
  if (n >= 40 && n <= 47) return "Outside View " + std::to_string(n - 40);
  if (n >= 50 && n <= 57) return "Boundary View " + std::to_string(n - 50);
  return "<unknown>";
}

namespace {

std::string StepPrefix(std::int32_t number) {
  switch (number) {
    case 0:
      return "";
    case 1:
      return "Begin";
    case 2:
      return "End";
    default:
      return "<unknown>";
  }
}

}  // namespace

std::string EventName(const Runtime& rt, std::int32_t type, std::int32_t number) {
  switch (type) {
    case 0:
      return "Create Event";
    case 1:
      return "Destroy Event";
    case 2:
      return "Alarm Event for alarm " + std::to_string(number);
    case 3:
      return StepPrefix(number) + " Step Event";
    case 4:
      return "Collision Event with object " + rt.resources.objects.name(number);
    case 5:
      return "Keyboard Event for " + KeyName(number) + " Key";
    case 6:
      return "Mouse Event for " + MouseEventName(number);
    case 7:
      return "Other Event: " + OtherEventName(number);
    case 8:
      return "Draw Event";
    case 9:
      return "Key Press Event for " + KeyName(number) + " Key";
    case 10:
      return "Key Release Event for " + KeyName(number) + " Key";
    case 11:
      return "Trigger Event: " + (rt.resources.triggers.exists(number)
                                      ? rt.resources.triggers.name(number)
                                      : std::string("<Deleted>"));
    default:
      return "<Unknown Event>";
  }
}

}  // namespace px
