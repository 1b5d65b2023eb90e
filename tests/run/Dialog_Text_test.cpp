// The dialogs' texts: "#" line breaks, button shortcuts, menu items, typed
// numbers, and which key closes the message window with which button.
#include "run/Dialog_Text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform_Input.h"
#include "run/Dialog_Message.h"

namespace {

using namespace px;

TEST(DialogText, LineBreaksAndShortcuts) {
  const struct {
    const char* text;
    const char* shown;
  } breaks[] = {{"one#two", "one\r\ntwo"}, {"100\\#1", "100#1"}, {"#", "\r\n"},
                {"a\\b", "a\\b"},          {"end\\", "end\\"},   {"##", "\r\n\r\n"}};
  for (const auto& c : breaks) EXPECT_EQ(DialogLineBreaks(c.text), c.shown) << c.text;

  const struct {
    const char* text;
    char shortcut;
    const char* caption;
  } buttons[] = {{"&Yes", 'Y', "Yes"}, {"Sa&ve", 'V', "Save"}, {"&a&b", 'B', "ab"},
                 {"No", 0, "No"},      {"End&", 0, "End"},     {"R&&D", 'D', "R&D"}};
  for (const auto& c : buttons) {
    EXPECT_EQ(ButtonShortcut(c.text), c.shortcut) << c.text;
    EXPECT_EQ(ButtonCaption(c.text), c.caption) << c.text;
  }
}

TEST(DialogText, MenuItemsAndSeparators) {
  const struct {
    const char* text;
    std::vector<std::pair<std::string, int>> items;
  } cases[] = {
      {"New|-|Open|Quit", {{"New", 0}, {"-", -1}, {"Open", 1}, {"Quit", 2}}},
      {"a||b|", {{"a", 0}, {"", 1}, {"b", 2}}},
      {"|", {{"", 0}}},
      {"", {}},
      {"-|-", {{"-", -1}, {"-", -1}}},
      {" - |x", {{" - ", 0}, {"x", 1}}},
  };
  for (const auto& c : cases) {
    const std::vector<MenuItem> items = ParseMenu(c.text);
    ASSERT_EQ(items.size(), c.items.size()) << c.text;
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i].text, c.items[i].first) << c.text;
      EXPECT_EQ(items[i].index, c.items[i].second) << c.text;
    }
  }
}

TEST(DialogText, TypedIntegers) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {{"42", 42},
               {" -7 ", -7},
               {"+3", 3},
               {"$ff", 255},
               {"0x10", 16},
               {"$FFFFFFFF", -1},
               {"2147483647", 2147483647},
               {"-2147483648", -2147483647 - 1},
               {"2147483648", std::nullopt},
               {"99999999999999999999", std::nullopt},
               {"abc", std::nullopt},
               {"1.5", std::nullopt},
               {"", std::nullopt},
               {"-", std::nullopt},
               {"12a", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(TypedInteger(c.text), c.value) << c.text;
}

InputEvent Key(int vk) {
  return {InputEvent::Kind::KeyDown, vk, 0, 0};
}
InputEvent Char(int c) {
  return {InputEvent::Kind::Character, c, 0, 0};
}

TEST(DialogText, KeysCloseTheMessageWithAButton) {
  MessageRequest yesCancel;
  yesCancel.buttons = {"&Yes", "", "&Cancel"};
  MessageRequest input;
  input.buttons = {"", "OK", ""};
  input.input = true;
  const struct {
    const MessageRequest* request;
    InputEvent event;
    bool alt;
    std::optional<int> button;
  } cases[] = {
      {&yesCancel, Char('y'), false, 1},
      {&yesCancel, Char('Y'), false, 1},
      {&yesCancel, Char('c'), false, 3},
      {&yesCancel, Char('x'), false, std::nullopt},
      {&yesCancel, Char(' '), false, 1},
      {&yesCancel, Key(13), false, 1},
      {&yesCancel, Key(27), false, 0},
      {&yesCancel, Key('C'), true, 3},
      {&yesCancel, Key('C'), false, std::nullopt},
      {&yesCancel, Char('c'), true, std::nullopt},
      // With the input line, characters are typed, not shortcuts.
      {&input, Char('o'), false, std::nullopt},
      {&input, Char(' '), false, std::nullopt},
      {&input, Key(13), false, 2},
      {&input, Key(27), false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ButtonForKey(*c.request, c.event, c.alt), c.button)
        << c.event.code << " alt " << c.alt << " input " << c.request->input;
  }
}

}  // namespace
