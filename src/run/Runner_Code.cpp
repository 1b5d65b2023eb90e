#include "run/Runner_Code.h"

#include <memory>
#include <string>
#include <vector>

#include "code/Code_Constant.h"
#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

std::string_view TrimControls(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsValidName(std::string_view name) {
  if (name.empty() || !IsNameStart(name.front())) return false;
  for (const char c : name) {
    if (!IsNameStart(c) && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

bool Refuse(Runtime& rt, const std::string& text) {
  rt.platform.messageBox(text, rt.applicationTitle, Buttons::Ok, MessageIcon::Error);
  return false;
}

}  // namespace

bool DefineConstant(Runtime& rt, std::string_view rawName, std::string_view valueText) {
  const std::string name(TrimControls(rawName));
  if (!IsValidName(name)) return Refuse(rt, "Constant name " + name + "  is not valid.");
  CCode code(valueText, true);
  CInstanceBase temporary;
  RValue value;
  if (!code.Compile(rt) || !EvaluateCode(rt, &temporary, &temporary, code, value)) {
    rt.code.error.pending = false;
    return Refuse(rt, "Value for constant " + name + "  is not valid.");
  }
  AddConstant(rt, name, value);
  return true;
}

bool DefineUserConstants(Runtime& rt) {
  for (const auto& [name, value] : rt.resources.constants) {
    if (!DefineConstant(rt, name, value)) return false;
  }
  return true;
}

bool CompileScripts(Runtime& rt) {
  const auto& scripts = rt.resources.scripts;
  std::vector<std::unique_ptr<CCode>>& table = rt.code.scripts.code;
  table.clear();
  table.resize(static_cast<std::size_t>(std::max(scripts.count(), 0)));
  for (int i = 0; i < scripts.count(); ++i) {
    const CScript* script = scripts.get(i);
    if (!script) continue;
    auto code = std::make_unique<CCode>(script->code, false);
    if (!code->Compile(rt)) {
      ReportError(rt,
                  "COMPILATION ERROR in Script: " + scripts.name(i) + "\r" + rt.code.error.message,
                  true);
      table.clear();
      return false;
    }
    table[static_cast<std::size_t>(i)] = std::move(code);
  }
  return true;
}

}  // namespace px
