// The texts of the dialogs: line breaks written as "#", the shortcuts of
// button texts, the items of a pop-up menu and numbers typed by the player.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace px {

// Each "#" becomes a line break (CR LF) except "\#", which becomes "#".
std::string DialogLineBreaks(std::string_view text);

// The character after the last "&" of a button text, upper-cased; 0 when
// there is no "&" or nothing follows it.
char ButtonShortcut(std::string_view text);
// The button text as shown: each "&" that marks a shortcut removed, "&&"
// written as one "&".
std::string ButtonCaption(std::string_view text);

// One entry of a pop-up menu: a separator has no index.
struct MenuItem {
  std::string text;
  int index = -1;  // -1 for a separator
};
// The items of a menu text: split at "|" (a final "|" adds nothing, two
// adjacent ones an empty item); an item that is exactly "-" is a separator.
std::vector<MenuItem> ParseMenu(std::string_view text);

// A typed text read as a whole number: blanks around it, an optional sign,
// decimal digits (or "$" or "0x" and hexadecimal digits); nothing when it
// is not one or does not fit 32 bits.
std::optional<std::int32_t> TypedInteger(std::string_view text);

}  // namespace px
