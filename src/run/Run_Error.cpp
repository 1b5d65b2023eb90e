#include "run/Run_Error.h"

#include <cstdio>
#include <string>
#include <vector>

#include "code/Code_Exec.h"
#include "run/Dialog_Window.h"
#include "run/Event_Name.h"
#include "run/Runtime.h"

namespace px {

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
  if (report.logFull) return;
  const char* mode = report.logStarted ? "ab" : "wb";
  report.logStarted = true;
  constexpr std::string_view kGap = "\r\n\r\n\r\n";
  // A game that fails every step must not fill the disk: past the limit
  // one last line says that the log stops.
  const bool full = report.logBytes + message.size() + kGap.size() > kErrorLogLimit;
  if (full) {
    report.logFull = true;
    message = kMsgErrorLogFull;
  }
  if (std::FILE* file = std::fopen(kErrorLogFile, mode)) {
    std::fwrite(message.data(), 1, message.size(), file);
    std::fwrite(kGap.data(), 1, full ? 2 : kGap.size(), file);
    std::fclose(file);
  }
  report.logBytes += message.size() + kGap.size();
}

// On a desktop with the game's window made, the runner draws the error
// window itself; before that (and headless) the platform shows it.
bool OwnErrorWindow(Runtime& rt) {
  return !rt.platform.headless() && rt.display.hasWindow() && rt.display.device.exists();
}

// The error window with the memo and the buttons, each with its shortcut.
ChoiceWindow ErrorWindow(const std::string& memo, const std::vector<std::string_view>& labels,
                         int defaultButton) {
  ChoiceWindow w;
  w.caption = kErrorFormCaption;
  w.text = memo;
  for (const std::string_view label : labels) {
    if (label == "Clear") {
      w.buttons.emplace_back("C&lear");
    } else {
      w.buttons.push_back("&" + std::string(label));
    }
  }
  w.defaultButton = defaultButton;
  return w;
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
    const int pressed = OwnErrorWindow(rt)
                            ? RunChoiceWindow(rt, ErrorWindow(memo, labels, 0))
                            : rt.platform.choiceBox(text, kErrorFormCaption, labels, fallback);
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
  // Code stopped by the time limit cannot go on: the run ends.
  if (rt.code.exec.outOfTime) fatal = true;
  if (rt.settings.showErrors && ShowErrorForm(rt, message, !fatal)) fatal = true;
  if (rt.settings.logErrors) LogError(report, message);
  report.last = std::string(message);
  report.occurred = true;
  ++report.count;
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
  // Code stopped by the time limit cannot go on: the report says so.
  if (rt.code.exec.outOfTime) fatal = true;
  ReportError(rt, RuntimeErrorHeader(rt, fatal) + std::string(message), fatal);
}

bool RunCode(Runtime& rt, CInstanceBase* self, CInstanceBase* other, const CCode& code,
             RValue& result) {
  if (ExecuteCode(rt, self, other, code, result)) return true;
  RuntimeError(rt, rt.code.error.message, false);
  rt.code.error.pending = false;
  return false;
}

}  // namespace px
