// execute_program and execute_shell.
#include "library/Function_Program.h"

#include <sys/stat.h>

#include "code/Code_Error.h"
#include "platform/Platform_Path.h"
#include "platform/Platform_Process.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

bool EndsWithIgnoringCase(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && SameNameIgnoringCase(s.substr(s.size() - tail.size()), tail);
}

bool IsWebAddress(std::string_view s) {
  return s.find("://") != std::string_view::npos || s.rfind("www.", 0) == 0 ||
         s.rfind("mailto:", 0) == 0;
}

}  // namespace

std::optional<std::vector<std::string>> ProgramCommand(const std::string& prog,
                                                       const std::string& arg) {
  std::vector<std::string> words = SplitCommandLine(prog + " " + arg);
  if (words.empty()) return std::nullopt;
  if (words[0].find_first_of("\\/") != std::string::npos) words[0] = HostPath(words[0]);
  if (EndsWithIgnoringCase(words[0], ".exe")) {
    if (FindOnPath("wine").empty()) return std::nullopt;
    words.insert(words.begin(), "wine");
  }
  return words;
}

std::optional<std::vector<std::string>> ShellCommand(const std::string& target) {
  if (target.empty() || FindOnPath("xdg-open").empty()) return std::nullopt;
  if (IsWebAddress(target)) return std::vector<std::string>{"xdg-open", target};
  const std::string host = HostPath(target);
  struct stat st {};
  if (host.empty() || ::stat(host.c_str(), &st) != 0) return std::nullopt;
  return std::vector<std::string>{"xdg-open", host};
}

namespace {

bool SecureAllowsPrograms(Runtime& rt, const std::string& prog) {
  if (!rt.files.secureMode) return true;
  RuntimeError(rt, "In Secure mode you cannot execute program " + prog);
  return false;
}

void ExecuteProgram(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                    const FunctionArgs& args) {
  const std::string& prog = args[0].str();
  if (!SecureAllowsPrograms(rt, prog)) return;
  const auto command = ProgramCommand(prog, args[1].str());
  if (!command || !rt.platform.startProgram(*command, args[2].real >= 0.5)) {
    RuntimeError(rt, "Cannot execute " + prog);
  }
}

// The shell cannot pass parameters to the program a document opens with,
// so `arg` is not used.
void ExecuteShell(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                  const FunctionArgs& args) {
  const std::string& prog = args[0].str();
  if (!SecureAllowsPrograms(rt, prog)) return;
  const auto command = ShellCommand(prog);
  if (!command || !rt.platform.startProgram(*command, false))
    RuntimeError(rt, "Cannot execute " + prog);
}

constexpr FunctionDef kProgramFunctions[] = {
    {"execute_program", ExecuteProgram},
    {"execute_shell", ExecuteShell},
};

}  // namespace

std::span<const FunctionDef> ProgramFunctions() {
  return kProgramFunctions;
}

}  // namespace px
