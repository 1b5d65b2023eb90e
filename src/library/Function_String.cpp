// Conversions between reals and text, and byte-string manipulation for game
// code. Positions are 1-based; strings are bytes.
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "code/Code_Error.h"
#include "code/Support_Format.h"
#include "library/Function_Math.h"
#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

// The longest string these functions build. Longer results (string_repeat
// of a huge count, say) would exhaust memory and end the process; they are
// refused with an error instead.
constexpr std::int64_t kMaxResultLength = std::int64_t{1} << 28;

// ---- Conversions ----

void Real(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
          const FunctionArgs& args) {
  if (!args[0].isString()) {
    result.setReal(args[0].real);
    return;
  }
  const std::optional<double> value = TextToReal(args[0].str());
  if (!value) {
    RuntimeError(rt, "Error in function real().");
    return;
  }
  result.setReal(*value);
}

void String(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
            const FunctionArgs& args) {
  if (args[0].isString()) {
    result = args[0];
  } else {
    result.setString(RealToText(args[0].real));
  }
}

// At most 18 significant digits; then spaces in front up to the width.
std::string FormatNumber(double v, std::int64_t width, std::int64_t decimals) {
  if (width > kMaxResultLength || decimals > kMaxResultLength) return "ERROR";
  std::optional<std::string> text = RealToFixed(v, static_cast<int>(decimals), 18);
  if (!text) return "ERROR";
  const auto length = static_cast<std::int64_t>(text->size());
  if (width > length) text->insert(0, static_cast<std::size_t>(width - length), ' ');
  return *text;
}

void StringFormat(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  if (args[0].isString()) {
    result = args[0];
    return;
  }
  result.setString(
      FormatNumber(args[0].real, RealToCount(args[1].real), RealToCount(args[2].real)));
}

void Chr(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
         const FunctionArgs& args) {
  result.setString(std::string(1, static_cast<char>(RealToInt64(args[0].real) & 0xFF)));
}

void Ord(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
         const FunctionArgs& args) {
  const std::string& s = args[0].str();
  result.setReal(s.empty() ? 0.0 : static_cast<unsigned char>(s[0]));
}

// ---- Positions and pieces ----

void StringLength(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  result.setReal(static_cast<double>(args[0].str().size()));
}

void StringPos(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
               const FunctionArgs& args) {
  const std::string& sub = args[0].str();
  if (sub.empty()) return;
  const std::size_t at = args[1].str().find(sub);
  if (at != std::string::npos) result.setReal(static_cast<double>(at + 1));
}

// `count` bytes from the 1-based `index`: an index below 1 counts as 1, one
// past the end or a negative count gives nothing, the count stops at the end.
std::string Copy(const std::string& s, std::int64_t index, std::int64_t count) {
  index = std::max<std::int64_t>(index, 1);
  const auto length = static_cast<std::int64_t>(s.size());
  if (index > length || count <= 0) return {};
  return s.substr(static_cast<std::size_t>(index - 1),
                  static_cast<std::size_t>(std::min(count, length - index + 1)));
}

void StringCopy(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                const FunctionArgs& args) {
  result.setString(Copy(args[0].str(), RealToCount(args[1].real), RealToCount(args[2].real)));
}

void StringCharAt(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  result.setString(Copy(args[0].str(), RealToCount(args[1].real), 1));
}

// Unlike a copy, a delete from an index below 1 removes nothing.
void StringDelete(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  std::string s = args[0].str();
  const std::int64_t index = RealToCount(args[1].real), count = RealToCount(args[2].real);
  const auto length = static_cast<std::int64_t>(s.size());
  if (index >= 1 && index <= length && count > 0) {
    s.erase(static_cast<std::size_t>(index - 1),
            static_cast<std::size_t>(std::min(count, length - index + 1)));
  }
  result.setString(std::move(s));
}

// Inserted before the byte at `index`; below 1 at the start, past the end at
// the end.
void StringInsert(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  std::string s = args[1].str();
  const auto length = static_cast<std::int64_t>(s.size());
  const std::int64_t index = std::clamp<std::int64_t>(RealToCount(args[2].real), 1, length + 1);
  s.insert(static_cast<std::size_t>(index - 1), args[0].str());
  result.setString(std::move(s));
}

// ---- Characters ----

bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
bool IsLetter(char c) {
  return IsUpper(c) || IsLower(c);
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetterOrDigit(char c) {
  return IsLetter(c) || IsDigit(c);
}
char ToLower(char c) {
  return IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}
char ToUpper(char c) {
  return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}

template <char (*Map)(char)>
void MapBytes(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
              const FunctionArgs& args) {
  std::string s = args[0].str();
  std::transform(s.begin(), s.end(), s.begin(), Map);
  result.setString(std::move(s));
}

template <bool (*Keep)(char)>
void KeepBytes(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
               const FunctionArgs& args) {
  std::string s = args[0].str();
  std::erase_if(s, [](char c) { return !Keep(c); });
  result.setString(std::move(s));
}

// ---- Repeating and replacing ----

void StringRepeat(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  const std::string& s = args[0].str();
  const std::int64_t count = RealToCount(args[1].real);
  if (count <= 0 || s.empty()) {
    result.setString({});
    return;
  }
  if (count > kMaxResultLength / static_cast<std::int64_t>(s.size())) {
    RuntimeError(rt, "Error in function string_repeat().");
    result.setString({});
    return;
  }
  std::string out;
  out.reserve(s.size() * static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) out += s;
  result.setString(std::move(out));
}

// Calls `at` with the start of each non-overlapping occurrence of `sub` in
// `s`, scanning left to right, at most `limit` times; returns how many.
template <class At>
std::size_t ForEachOccurrence(std::string_view s, std::string_view sub, std::size_t limit, At at) {
  std::size_t n = 0;
  if (sub.empty()) return n;
  for (std::size_t i = s.find(sub); i != std::string_view::npos && n < limit;
       i = s.find(sub, i + sub.size())) {
    at(i);
    ++n;
  }
  return n;
}

std::size_t CountOccurrences(std::string_view s, std::string_view sub, std::size_t limit) {
  return ForEachOccurrence(s, sub, limit, [](std::size_t) {});
}

// The first `limit` occurrences of substr replaced by newstr; an empty
// substr replaces nothing. A result that would be too long is reported and
// gives the empty string.
template <std::size_t Limit>
void Replace(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
             const FunctionArgs& args) {
  const std::string& s = args[0].str();
  const std::string& sub = args[1].str();
  const std::string& with = args[2].str();
  const auto count = static_cast<std::int64_t>(CountOccurrences(s, sub, Limit));
  const std::int64_t grown =
      static_cast<std::int64_t>(s.size()) +
      count * (static_cast<std::int64_t>(with.size()) - static_cast<std::int64_t>(sub.size()));
  if (grown > kMaxResultLength) {
    RuntimeError(rt, Limit == 1 ? "Error in function string_replace()."
                                : "Error in function string_replace_all().");
    result.setString({});
    return;
  }
  std::string out;
  out.reserve(static_cast<std::size_t>(grown));
  std::size_t from = 0;
  ForEachOccurrence(s, sub, Limit, [&](std::size_t i) {
    out.append(s, from, i - from);
    out += with;
    from = i + sub.size();
  });
  out.append(s, from);
  result.setString(std::move(out));
}

void StringCount(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs& args) {
  result.setReal(
      static_cast<double>(CountOccurrences(args[1].str(), args[0].str(), std::string_view::npos)));
}

constexpr FunctionDef kStringFunctions[] = {
    {"real", Real},
    {"string", String},
    {"string_format", StringFormat},
    {"chr", Chr},
    {"ord", Ord},
    {"string_length", StringLength},
    {"string_pos", StringPos},
    {"string_copy", StringCopy},
    {"string_char_at", StringCharAt},
    {"string_delete", StringDelete},
    {"string_insert", StringInsert},
    {"string_lower", MapBytes<ToLower>},
    {"string_upper", MapBytes<ToUpper>},
    {"string_repeat", StringRepeat},
    {"string_letters", KeepBytes<IsLetter>},
    {"string_digits", KeepBytes<IsDigit>},
    {"string_lettersdigits", KeepBytes<IsLetterOrDigit>},
    {"string_replace", Replace<1>},
    {"string_replace_all", Replace<std::string_view::npos>},
    {"string_count", StringCount},
};

}  // namespace

std::span<const FunctionDef> StringFunctions() {
  return kStringFunctions;
}

}  // namespace px
