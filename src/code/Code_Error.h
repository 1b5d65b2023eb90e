// The code-error record: the first error of a compilation or execution,
// turned into the message with line, column and a caret under the place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace px {

struct Runtime;
class CCode;

struct CodeErrorState {
  // Set by the first code error of a compilation or execution; later code
  // errors are ignored until it is cleared.
  bool pending = false;
  // The message of the last code error (or one a caller composed).
  std::string message;
};

// Records a code error at a 1-based text position of the code, unless one is
// already pending.
void CodeError(Runtime& rt, const CCode& code, std::int32_t position, std::string_view message);

// The recorded message. A program shows the line and a caret:
//   "Error in code at line L:" CR "   " line CR (column + 1 spaces) "^" CR
//   "at position C: " message
// and an expression shows its whole text:
//   "Error in expression:" text CR " position C: " message
// The position is clamped to the text; lines break at CR and at an LF that
// does not follow a CR, so the LF of a CR LF pair counts as a character of
// the next line. The shown line is bounded by CRs alone: the last CR before
// the position and the next one.
std::string FormatCodeError(std::string_view text, bool program, std::int32_t position,
                            std::string_view message);

}  // namespace px
