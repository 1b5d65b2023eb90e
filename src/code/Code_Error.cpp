#include "code/Code_Error.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "code/Code_Main.h"
#include "runner/Run_Global.h"
#include "world/Event_Name.h"

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

void CodeError(Runtime& rt, const CCode& code, std::int32_t position, std::string_view message) {
  CodeErrorState& state = rt.code.error;
  if (state.pending) return;
  state.pending = true;
  state.message =
      FormatCodeError(code.SourceText(), code.mode() == CodeMode::Program, position, message);
}

namespace {

// The lines the window adds for a report: an empty line, a rule, then the
// message split at CR with LF dropped.
std::vector<std::string> FormLines(std::string_view message) {
  std::vector<std::string> lines{"", std::string(43, '_'), ""};
  for (const char c : message) {
    if (c == '\r') {
      lines.emplace_back();
    } else if (c != '\n') {
      lines.back() += c;
    }
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += separator;
    out += lines[i];
  }
  return out;
}

// Appends the message, a line end and two empty lines to the log; the first
// write of a run starts the file afresh. File errors are ignored.
void LogError(ErrorReportState& report, std::string_view message) {
  const char* mode = report.logStarted ? "ab" : "wb";
  report.logStarted = true;
  if (std::FILE* file = std::fopen(kErrorLogFile, mode)) {
    std::fwrite(message.data(), 1, message.size(), file);
    std::fputs("\r\n\r\n\r\n", file);
    std::fclose(file);
  }
}

}  // namespace

bool ShowErrorForm(Runtime& rt, std::string_view message, bool allowIgnore) {
  std::string& memo = rt.code.report.memo;
  const std::vector<std::string> added = FormLines(message);
  memo += (memo.empty() ? "" : "\r\n") + JoinLines(added, "\r\n");
  enum Choice { kAbort, kIgnore, kCopy, kClear };
  std::vector<std::string_view> labels{"Abort"};
  std::vector<Choice> choices{kAbort};
  if (allowIgnore) {
    labels.push_back("Ignore");
    choices.push_back(kIgnore);
  }
  labels.insert(labels.end(), {"Copy", "Clear"});
  choices.insert(choices.end(), {kCopy, kClear});
  // Without a player the window shows what this report added and takes
  // Ignore where it may, else Abort.
  const int fallback = allowIgnore ? 1 : 0;
  for (;;) {
    const std::string text = rt.platform.headless() ? JoinLines(added, "\n") : memo;
    const int pressed = rt.platform.choiceBox(text, kErrorFormCaption, labels, fallback);
    if (pressed < 0 || static_cast<std::size_t>(pressed) >= choices.size()) return true;
    switch (choices[static_cast<std::size_t>(pressed)]) {
      case kAbort:
        return true;
      case kIgnore:
        return false;
      case kCopy:
        rt.platform.setClipboardText(memo);
        break;
      case kClear:
        memo.clear();
        break;
    }
  }
}

void ReportError(Runtime& rt, std::string_view message, bool fatal) {
  ErrorReportState& report = rt.code.report;
  if (report.aborting) return;
  if (rt.settings.abortOnErrors) fatal = true;
  if (rt.settings.showErrors && ShowErrorForm(rt, message, !fatal)) fatal = true;
  if (rt.settings.logErrors) LogError(report, message);
  report.last = std::string(message);
  report.occurred = true;
  if (fatal) {
    report.aborting = true;
    rt.pendingChange = kPendingAbort;
    rt.terminateRequested = true;
  }
}

std::string RuntimeErrorHeader(const Runtime& rt, bool fatal) {
  const CurrentEvent& e = rt.event;
  std::string header = fatal ? "FATAL ERROR in\r\n" : "ERROR in\r\n";
  header += "action number " + std::to_string(static_cast<std::int64_t>(e.action) + 1) + "\r\n";
  if (e.type == kTimeLineEvent) {
    header += "at time step " + std::to_string(e.number) + "\r\nof time line " +
              rt.resources.timeLines.name(e.object) + ":\r\n\r\n";
  } else {
    header += "of " + EventName(rt, e.type, e.number) + "\r\nfor object " +
              rt.resources.objects.name(e.object) + ":\r\n\r\n";
  }
  return header;
}

void RuntimeError(Runtime& rt, std::string_view message, bool fatal) {
  ReportError(rt, RuntimeErrorHeader(rt, fatal) + std::string(message), fatal);
}

}  // namespace px
