// The code-error record: the first error of a compilation or execution,
// turned into the message with line, column and a caret under the place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace px {

struct ScriptCore;
class CCode;

struct CodeErrorState {
  // Set by the first code error of a compilation or execution; later code
  // errors are ignored until it is cleared.
  bool pending = false;
  // The message of the last code error (or one a caller composed).
  std::string message;
};

// What the reports of a run have left.
struct ErrorReportState {
  // error_occurred and error_last.
  bool occurred = false;
  // Every report of the run, fatal or not, whatever game code does with
  // error_occurred: what --strict looks at.
  std::int64_t count = 0;
  std::string last;
  // Set by a fatal report: every later report does nothing.
  bool aborting = false;
  // Whether the error log has been written this run (the first write
  // truncates it).
  bool logStarted = false;
  // Bytes written to the error log this run, and whether the log has been
  // closed to further reports because it grew past its limit.
  std::size_t logBytes = 0;
  bool logFull = false;
  // The error window's text: every report of the run, CR LF between lines,
  // until the player clears it.
  std::string memo;
};

// Records a code error at a 1-based text position of the code, unless one is
// already pending.
void CodeError(ScriptCore& rt, const CCode& code, std::int32_t position, std::string_view message);

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
