#include "run/Dialog_Text.h"

#include <cctype>
#include <limits>

namespace px {

std::string DialogLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '#') {
      out += '#';
      ++i;
    } else if (text[i] == '#') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

char ButtonShortcut(std::string_view text) {
  const std::size_t amp = text.rfind('&');
  if (amp == std::string_view::npos || amp + 1 >= text.size()) return 0;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(text[amp + 1])));
}

std::string ButtonCaption(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  return out;
}

std::vector<MenuItem> ParseMenu(std::string_view text) {
  std::vector<MenuItem> items;
  int next = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t bar = text.find('|', start);
    if (bar == std::string_view::npos) bar = text.size();
    MenuItem item{std::string(text.substr(start, bar - start)), -1};
    if (item.text != "-") item.index = next++;
    items.push_back(std::move(item));
    start = bar + 1;
  }
  return items;
}

std::optional<std::int32_t> TypedInteger(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with('$')) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    const int digit = std::isdigit(static_cast<unsigned char>(c))
                          ? c - '0'
                          : (base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                                 ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                                 : -1);
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > std::int64_t{1} << 32) return std::nullopt;
  }
  if (negative) value = -value;
  // Hexadecimal numbers may fill all 32 bits and read as negative.
  if (base == 16 && value > std::numeric_limits<std::int32_t>::max() &&
      value <= std::numeric_limits<std::uint32_t>::max())
    value -= std::int64_t{1} << 32;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace px
