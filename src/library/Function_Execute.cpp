#include "library/Function_Execute.h"

#include <fstream>
#include <string>

#include "code/Code_Error.h"
#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

// Holds the argument slots for a piece of code run with arguments: the
// arguments after the text go to slots 0, 1, …; the others become real 0 in
// kind and real field. The caller's slots are back afterwards.
class CodeArguments {
 public:
  CodeArguments(Variables& vars, std::int32_t argc, const FunctionArgs& args)
      : vars_(vars), saved_(vars.arguments) {
    const auto count = static_cast<std::size_t>(std::max(argc - 1, 0));
    for (std::size_t i = 0; i < kArgumentSlots; ++i) {
      if (i < count) {
        vars_.arguments[i] = args[i + 1];
      } else {
        vars_.arguments[i].setKind(ValueKind::Real);
        vars_.arguments[i].real = 0.0;
      }
    }
  }
  ~CodeArguments() { vars_.arguments = std::move(saved_); }
  CodeArguments(const CodeArguments&) = delete;
  CodeArguments& operator=(const CodeArguments&) = delete;

 private:
  Variables& vars_;
  std::array<RValue, kArgumentSlots> saved_;
};

// Compiles a program text and runs it; a compile error is reported with
// `heading` in front of the compile message.
void RunText(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t argc,
             const FunctionArgs& args, const std::string& text, const char* heading,
             RValue& result) {
  CodeArguments slots(rt.vars, argc, args);
  CCode code(text, false);
  if (!code.Compile(rt)) {
    ReportError(rt, std::string(heading) + "\r" + rt.code.error.message, false);
    rt.code.error.pending = false;
    return;
  }
  RunCode(rt, self, other, code, result);
}

void ExecuteString(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t argc,
                   RValue& result, const FunctionArgs& args) {
  if (argc <= 0) return;
  RunText(rt, self, other, argc, args, args[0].str(), "COMPILATION ERROR in string to be executed",
          result);
}

// The file's lines, each followed by CR, whatever line ends it had.
bool ReadLines(const std::string& name, std::string& text) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    text += line;
    text += '\r';
  }
  return true;
}

void ExecuteFile(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t argc,
                 RValue& result, const FunctionArgs& args) {
  if (argc <= 0) return;
  std::string text;
  if (!ReadLines(args[0].str(), text)) {
    RuntimeError(rt, "Trying to execute non-existing file.");
    return;
  }
  RunText(rt, self, other, argc, args, text, "COMPILATION ERROR in file to be executed", result);
}

void ShowError(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
               const FunctionArgs& args) {
  RuntimeError(rt, args[0].str(), args[1].real >= 0.5);
}

constexpr FunctionDef kExecuteFunctions[] = {
    {"execute_string", ExecuteString},
    {"execute_file", ExecuteFile},
    {"show_error", ShowError},
};

}  // namespace

std::span<const FunctionDef> ExecuteFunctions() {
  return kExecuteFunctions;
}

}  // namespace px
