// Reports of errors while a game runs: the error window, the log,
// error_last and error_occurred, and the end of the game after a fatal one;
// and running code with its failure reported.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "code/Code_Error.h"

namespace px {

struct Runtime;
class CCode;
class CInstanceBase;
class RValue;

inline constexpr const char* kErrorLogFile = "game_errors.log";
inline constexpr const char* kErrorFormCaption = "Error Messages";
// The error log of one run stops growing at this size, with this line.
inline constexpr std::size_t kErrorLogLimit = std::size_t{10} << 20;
inline constexpr const char* kMsgErrorLogFull =
    "Further error reports of this run are not logged: the log has reached 10 MB.";

// Shows the error window with the message added to its text; true when the
// player chose to abort (every way of closing it but Ignore). Ignore is
// offered only when `allowIgnore`.
bool ShowErrorForm(Runtime& rt, std::string_view message, bool allowIgnore);

// The central report of an error: the error window, the log, error_last and
// error_occurred; a fatal report ends the game.
void ReportError(Runtime& rt, std::string_view message, bool fatal);
// ReportError with the header naming the event being run. The report every
// built-in function uses; it never makes the calling code fail.
void RuntimeError(Runtime& rt, std::string_view message, bool fatal = false);
// "[FATAL ]ERROR in" CR LF "action number " … ":" CR LF CR LF, naming the
// running event and its object (or the time line and step of a moment).
std::string RuntimeErrorHeader(const Runtime& rt, bool fatal);

// Runs the code (ExecuteCode); a failure is reported at once as a non-fatal
// run-time error and the pending-error flag is cleared. For event code, code
// actions, creation code and code strings.
bool RunCode(Runtime& rt, CInstanceBase* self, CInstanceBase* other, const CCode& code,
             RValue& result);

}  // namespace px
