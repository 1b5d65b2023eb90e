// The message window's dialogs: messages with up to three buttons, the
// input line, pop-up menus and the pickers. Each blocks the game until it
// closes and clears the keyboard and mouse state afterwards, so that the
// key or click that closed it does not reach the game. Headless, each
// prints its text and takes the next answer of the run's answer file, or
// its default answer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Geometry.h"

namespace px {

struct Runtime;
struct InputEvent;

struct MessageRequest {
  std::string text;                    // as shown, line breaks converted
  std::array<std::string, 3> buttons;  // texts with their "&"; empty: hidden
  bool input = false;                  // the input line is shown
  std::string inputText;               // its text at the start
};

struct MessageResult {
  int button = 0;  // 1..3, 0 when closed with Escape
  std::string input;
};

// The lowest-numbered visible button, 0 when none is.
int FirstButton(const MessageRequest& request);
// The button a key or character closes the window with; 0 for Escape;
// nothing when the event closes nothing.
std::optional<int> ButtonForKey(const MessageRequest& request, const InputEvent& e, bool altHeld);

MessageResult RunMessageDialog(Runtime& rt, const MessageRequest& request);
// The message with these button texts; the chosen button's number.
int ShowMessageButtons(Runtime& rt, std::string_view text, std::string_view b1, std::string_view b2,
                       std::string_view b3);
// The input dialog: the text typed, `def` when nothing was changed.
std::string AskText(Runtime& rt, std::string_view text, std::string_view def);

// A pop-up menu of the items of `items` at `at` (the mouse when nothing);
// the chosen item's index, or `def` when none was chosen.
double ShowPopupMenu(Runtime& rt, std::string_view items, std::optional<Point> at, double def);

// The pickers: the desktop's own where one is available, else the input
// line (always when headless). The colour, or -1 when cancelled.
double PickColor(Runtime& rt, double def);
enum class PathPicker : std::uint8_t { Open, Save, Directory };
// The path chosen, "" when cancelled. `filter` holds description and mask
// pairs joined by "|".
std::string PickPath(Runtime& rt, PathPicker kind, std::string_view title, std::string_view filter,
                     std::string_view preset);

}  // namespace px
