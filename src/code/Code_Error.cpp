#include "code/Code_Error.h"

#include <algorithm>

#include "code/Code_Main.h"
#include "code/Script_Core.h"

namespace px {

namespace {

struct Place {
  std::int32_t line = 1;
  std::int32_t column = 0;
};

bool IsBreak(std::string_view text, std::size_t i) {
  return text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
}

Place Locate(std::string_view text, std::size_t last) {
  Place p;
  for (std::size_t i = 0; i < last; ++i) {
    if (IsBreak(text, i)) {
      ++p.line;
      p.column = 0;
    } else {
      ++p.column;
    }
  }
  return p;
}

// The shown line: from after the last CR before the character at `last`
// (1-based) up to the next CR. Only CR bounds it, so in a text broken by LF
// alone the shown part spans several counted lines, and an error on a CR
// shows the line that CR ends.
std::string_view LineAt(std::string_view text, std::size_t last) {
  const std::size_t cr = last >= 2 ? text.rfind('\r', last - 2) : std::string_view::npos;
  const std::size_t start = cr == std::string_view::npos ? 0 : cr + 1;
  const std::size_t end = std::min(text.find('\r', start), text.size());
  return text.substr(start, end - start);
}

}  // namespace

std::string FormatCodeError(std::string_view text, bool program, std::int32_t position,
                            std::string_view message) {
  // Walks up to and including the character at the position.
  const auto length = static_cast<std::int64_t>(text.size());
  const auto last = static_cast<std::size_t>(std::min<std::int64_t>(std::max(position, 1), length));
  const Place p = Locate(text, last);
  const std::string column = std::to_string(p.column);
  if (!program) {
    return "Error in expression:" + std::string(text) + "\r position " + column + ": " +
           std::string(message);
  }
  std::string out = "Error in code at line " + std::to_string(p.line) + ":\r   ";
  out += LineAt(text, last);
  out += '\r';
  out.append(static_cast<std::size_t>(p.column) + 1, ' ');
  out += "^\rat position " + column + ": ";
  out += message;
  return out;
}

void CodeError(ScriptCore& rt, const CCode& code, std::int32_t position, std::string_view message) {
  CodeErrorState& state = rt.code.error;
  if (state.pending) return;
  state.pending = true;
  state.message =
      FormatCodeError(code.SourceText(), code.mode() == CodeMode::Program, position, message);
}

}  // namespace px
