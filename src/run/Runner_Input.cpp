#include "run/Runner_Input.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>

namespace px {

namespace {

using Kind = InputEvent::Kind;

// What each event is called in a file and what it takes after its name.
enum class Args { None, Key, Character, Button, Position };
struct EventWord {
  std::string_view name;
  Kind kind;
  Args args;
};
constexpr EventWord kEvents[] = {
    {"keydown", Kind::KeyDown, Args::Key},        {"keyup", Kind::KeyUp, Args::Key},
    {"char", Kind::Character, Args::Character},   {"mousemove", Kind::MouseMove, Args::Position},
    {"mousedown", Kind::MouseDown, Args::Button}, {"mouseup", Kind::MouseUp, Args::Button},
    {"wheelup", Kind::WheelUp, Args::None},       {"wheeldown", Kind::WheelDown, Args::None},
    {"close", Kind::Close, Args::None},
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// The line without its comment: a '#' at the start or after a blank.
std::string_view StripComment(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i)
    if (line[i] == '#' && (i == 0 || IsBlank(line[i - 1]))) return line.substr(0, i);
  return line;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

template <class T>
std::optional<T> Number(std::string_view word) {
  T n{};
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
  if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return n;
}

std::optional<std::int32_t> InRange(std::string_view word, std::int32_t low, std::int32_t high) {
  const auto n = Number<std::int32_t>(word);
  if (!n || *n < low || *n > high) return std::nullopt;
  return n;
}

// One line's event, or the reason it is not one.
struct LineResult {
  std::optional<ReplayEvent> event;
  std::string error;
};

LineResult Fail(std::string message) {
  return {std::nullopt, std::move(message)};
}

// A word of the line in quotes; a long one is cut, so a bad line is never
// echoed whole.
std::string Quoted(std::string_view word) {
  constexpr std::size_t kShown = 80;
  if (word.size() > kShown) return "'" + std::string(word.substr(0, kShown)) + "...'";
  return "'" + std::string(word) + "'";
}

std::string LineTooLong() {
  return "line longer than " + std::to_string(kMaxReplayLine) + " characters";
}

LineResult ParseLine(std::string_view line) {
  const std::vector<std::string_view> words = Words(line);
  if (words.empty()) return {};
  const auto step = Number<std::int64_t>(words[0]);
  if (!step || *step < 1) return Fail("step number from 1 up expected, not " + Quoted(words[0]));
  if (words.size() < 2) return Fail("event expected after the step number");
  const auto word = std::find_if(std::begin(kEvents), std::end(kEvents),
                                 [&](const EventWord& w) { return w.name == words[1]; });
  if (word == std::end(kEvents)) return Fail("unknown event " + Quoted(words[1]));

  ReplayEvent r;
  r.step = *step;
  r.event.kind = word->kind;
  const std::string name = Quoted(word->name);
  const std::span<const std::string_view> args(words.begin() + 2, words.end());
  auto count = [&](std::size_t n) -> std::string {
    if (args.size() == n) return {};
    if (n == 0) return name + " takes no arguments";
    return name + " takes " + std::to_string(n) + (n == 1 ? " argument" : " arguments");
  };
  switch (word->args) {
    case Args::None:
      if (auto e = count(0); !e.empty()) return Fail(e);
      break;
    case Args::Key: {
      if (auto e = count(1); !e.empty()) return Fail(e);
      const auto code = InRange(args[0], 0, kKeyCount - 1);
      if (!code) return Fail(name + " needs a key code from 0 to 255, not " + Quoted(args[0]));
      r.event.code = *code;
      break;
    }
    case Args::Character: {
      // A code, or the character itself between single quotes (a blank
      // too, so the quoted form is taken from the line, not the words).
      const auto at = static_cast<std::size_t>(words[1].data() - line.data()) + words[1].size();
      std::string_view rest = line.substr(at);
      while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
      while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
      if (rest.size() == 3 && rest.front() == '\'' && rest.back() == '\'') {
        r.event.code = static_cast<unsigned char>(rest[1]);
        break;
      }
      if (auto e = count(1); !e.empty()) return Fail(e);
      const auto code = InRange(args[0], 0, 255);
      if (!code)
        return Fail(name + " needs a character code from 0 to 255 or a quoted character, not " +
                    Quoted(args[0]));
      r.event.code = *code;
      break;
    }
    case Args::Button: {
      if (auto e = count(1); !e.empty()) return Fail(e);
      const auto b = InRange(args[0], 1, kMouseButtons);
      if (!b)
        return Fail(name + " needs a button 1 (left), 2 (right) or 3 (middle), not " +
                    Quoted(args[0]));
      r.event.code = *b;
      break;
    }
    case Args::Position: {
      if (auto e = count(2); !e.empty()) return Fail(e);
      const auto x = Number<std::int32_t>(args[0]);
      const auto y = Number<std::int32_t>(args[1]);
      if (!x || !y)
        return Fail(name + " needs whole numbers x and y, not " + Quoted(args[0]) + " " +
                    Quoted(args[1]));
      r.event.x = *x;
      r.event.y = *y;
      break;
    }
  }
  return {r, {}};
}

}  // namespace

ReplayFile ParseReplay(std::string_view text, std::string_view name) {
  ReplayFile file;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    LineResult r =
        line.size() > kMaxReplayLine ? Fail(LineTooLong()) : ParseLine(StripComment(line));
    if (!r.error.empty()) {
      file.events.clear();
      file.error = std::string(name) + ":" + std::to_string(lineNumber) + ": " + r.error;
      return file;
    }
    if (r.event) file.events.push_back(*r.event);
  }
  std::stable_sort(file.events.begin(), file.events.end(),
                   [](const ReplayEvent& a, const ReplayEvent& b) { return a.step < b.step; });
  return file;
}

ReplayFile LoadReplay(const std::string& path) {
  std::error_code ec;
  std::ifstream in;
  if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
  ReplayFile file;
  if (!in.is_open()) {
    file.error = path + ": cannot read the file";
    return file;
  }
  // Read piece by piece, so that a line without end (a device, a broken
  // file) is refused once it is too long instead of filling the memory.
  std::string text;
  std::size_t lineStart = 0;
  std::size_t lines = 1;
  char piece[65536];
  while (in.read(piece, sizeof piece) || in.gcount() > 0) {
    const std::size_t from = text.size();
    text.append(piece, static_cast<std::size_t>(in.gcount()));
    for (std::size_t i = from; i < text.size(); ++i) {
      if (text[i] != '\n') continue;
      lineStart = i + 1;
      ++lines;
    }
    if (text.size() - lineStart > kMaxReplayLine) {
      file.error = path + ":" + std::to_string(lines) + ": " + LineTooLong();
      return file;
    }
  }
  return ParseReplay(text, path);
}

}  // namespace px
