#include "run/Dialog_Message.h"

#include <cctype>
#include <span>
#include <vector>

#include "code/Support_Format.h"
#include "platform/Platform_Input.h"
#include "platform/Platform_Keymap.h"
#include "platform/Platform_Picker.h"
#include "run/Dialog_State.h"
#include "run/Dialog_Text.h"
#include "run/Dialog_Window.h"
#include "run/Runtime.h"

namespace px {
namespace {

constexpr int kVkReturn = 13, kVkEscape = 27;

bool Visible(const MessageRequest& request, int button) {
  return !request.buttons[static_cast<std::size_t>(button - 1)].empty();
}

// The first visible button whose shortcut is `c` (upper-cased), 0 when none.
int ButtonWithShortcut(const MessageRequest& request, int c) {
  if (c <= 0 || c > 255) return 0;
  const int upper = std::toupper(c);
  for (int b = 1; b <= 3; ++b) {
    const char shortcut = ButtonShortcut(request.buttons[static_cast<std::size_t>(b - 1)]);
    if (Visible(request, b) && shortcut != 0 && static_cast<unsigned char>(shortcut) == upper)
      return b;
  }
  return 0;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Prints a dialog's text the way every headless dialog does.
void PrintDialogText(Runtime& rt, std::string_view text) {
  rt.platform.choiceBox(text, rt.applicationTitle, std::span<const std::string_view>{}, 0);
}

// A headless answer to a message: a button's number (0 for Escape) or its
// text; anything else, or no answer, takes the first button.
int AnsweredButton(const MessageRequest& request, const std::optional<std::string>& answer) {
  const int fallback = FirstButton(request);
  if (!answer) return fallback;
  if (const auto n = TypedInteger(*answer)) {
    if (*n == 0) return 0;
    if (*n >= 1 && *n <= 3 && Visible(request, *n)) return *n;
    return fallback;
  }
  for (int b = 1; b <= 3; ++b)
    if (Visible(request, b) &&
        SameLetters(ButtonCaption(request.buttons[static_cast<std::size_t>(b - 1)]), *answer))
      return b;
  return fallback;
}

std::string MenuText(const std::vector<MenuItem>& items) {
  std::string text;
  for (const MenuItem& item : items) {
    if (!text.empty()) text += '\n';
    text += item.text;
  }
  return text;
}

// A headless answer to a menu: an item's index or its text.
std::optional<int> AnsweredItem(const std::vector<MenuItem>& items,
                                const std::optional<std::string>& answer) {
  if (!answer) return std::nullopt;
  const auto n = TypedInteger(*answer);
  for (const MenuItem& item : items) {
    if (item.index < 0) continue;
    if (n ? *n == item.index : SameLetters(item.text, *answer)) return item.index;
  }
  return std::nullopt;
}

}  // namespace

int FirstButton(const MessageRequest& request) {
  for (int b = 1; b <= 3; ++b)
    if (Visible(request, b)) return b;
  return 0;
}

std::optional<int> ButtonForKey(const MessageRequest& request, const InputEvent& e, bool altHeld) {
  if (e.kind == InputEvent::Kind::KeyDown) {
    if (e.code == kVkEscape) return 0;
    if (e.code == kVkReturn) {
      if (const int b = FirstButton(request)) return b;
      return std::nullopt;
    }
    if (altHeld) {
      if (const int b = ButtonWithShortcut(request, e.code)) return b;
    }
    return std::nullopt;
  }
  if (e.kind != InputEvent::Kind::Character || request.input || altHeld || e.code < 32)
    return std::nullopt;
  if (e.code == ' ') {
    if (const int b = FirstButton(request)) return b;
    return std::nullopt;
  }
  if (const int b = ButtonWithShortcut(request, e.code)) return b;
  return std::nullopt;
}

MessageResult RunMessageDialog(Runtime& rt, const MessageRequest& request) {
  MessageResult result;
  if (rt.platform.headless()) {
    PrintDialogText(rt, request.text);
    const std::optional<std::string> answer = NextDialogAnswer(rt);
    if (request.input) {
      result.button = 2;
      result.input = answer.value_or(request.inputText);
    } else {
      result.button = AnsweredButton(request, answer);
    }
  } else {
    result = RunMessageWindow(rt, request);
  }
  ClearInput(rt.input);
  return result;
}

int ShowMessageButtons(Runtime& rt, std::string_view text, std::string_view b1, std::string_view b2,
                       std::string_view b3) {
  MessageRequest request;
  request.text = DialogLineBreaks(text);
  request.buttons = {std::string(b1), std::string(b2), std::string(b3)};
  return RunMessageDialog(rt, request).button;
}

namespace {

// The input dialog: the text, one "OK" button and the input line preset.
MessageRequest InputRequest(std::string_view text, std::string_view preset) {
  MessageRequest request;
  request.text = DialogLineBreaks(text);
  request.buttons = {"", "OK", ""};
  request.input = true;
  request.inputText = preset;
  return request;
}

}  // namespace

std::string AskText(Runtime& rt, std::string_view text, std::string_view def) {
  return RunMessageDialog(rt, InputRequest(text, def)).input;
}

double ShowPopupMenu(Runtime& rt, std::string_view text, std::optional<Point> at, double def) {
  const std::vector<MenuItem> items = ParseMenu(text);
  std::optional<int> chosen;
  if (rt.platform.headless()) {
    PrintDialogText(rt, MenuText(items));
    chosen = AnsweredItem(items, NextDialogAnswer(rt));
  } else {
    chosen = RunMenuWindow(rt, items, at.value_or(DialogMouse(rt)));
  }
  ClearInput(rt.input);
  return chosen ? static_cast<double>(*chosen) : def;
}

namespace {

// The desktop's picker, with the game window's events handled meanwhile
// (its input set aside); nothing when there is none.
std::optional<PickerOutcome> DesktopPicker(Runtime& rt, const std::vector<std::string>& args) {
  if (rt.platform.headless()) return std::nullopt;
  rt.platform.setInputSink([](const InputEvent&) {});
  PickerOutcome outcome = RunDesktopPicker(args, [&rt] { rt.platform.pumpEvents(); });
  RestoreGameInput(rt);
  ClearInput(rt.input);
  if (outcome.kind == PickerOutcome::Kind::Unavailable) return std::nullopt;
  return outcome;
}

// A folder as zenity's preset: with a final "/" it opens inside it.
std::string FolderPreset(std::string_view preset) {
  std::string folder(preset);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

double PickColor(Runtime& rt, double def) {
  const auto bgr = static_cast<std::uint32_t>(RealToInt(def));
  const std::string rgb = "rgb(" + std::to_string(bgr & 0xFF) + "," +
                          std::to_string((bgr >> 8) & 0xFF) + "," +
                          std::to_string((bgr >> 16) & 0xFF) + ")";
  if (const auto picked = DesktopPicker(rt, {"--color-selection", "--color=" + rgb}))
    return picked->kind == PickerOutcome::Kind::Chosen ? double(PickerColor(picked->text)) : -1;
  const std::string typed = AskText(rt, "Color", RealToText(def));
  if (const auto n = TypedInteger(typed)) return *n < 0 ? -1 : (*n & 0xFFFFFF);
  return -1;
}

std::string PickPath(Runtime& rt, PathPicker kind, std::string_view title, std::string_view filter,
                     std::string_view preset) {
  std::vector<std::string> args{"--file-selection", "--title=" + std::string(title)};
  if (kind == PathPicker::Save) args.insert(args.end(), {"--save", "--confirm-overwrite"});
  if (kind == PathPicker::Directory) {
    args.push_back("--directory");
    if (!preset.empty()) args.push_back("--filename=" + FolderPreset(preset));
  } else {
    if (!preset.empty()) args.push_back("--filename=" + std::string(preset));
    for (std::string& f : PickerFileFilters(std::string(filter))) args.push_back(std::move(f));
  }
  if (const auto picked = DesktopPicker(rt, args)) return picked->text;
  std::string prompt(title);
  if (!filter.empty()) prompt += "#" + std::string(filter);
  const MessageResult r = RunMessageDialog(rt, InputRequest(prompt, preset));
  return r.button == 0 ? std::string() : r.input;
}

}  // namespace px
