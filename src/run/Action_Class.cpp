#include "run/Action_Class.h"

#include <algorithm>
#include <string>

#include "code/Code_Error.h"
#include "resources/Resource_Chunks.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

enum class StoredArgKind : std::int32_t {
  Expression = 0,
  String = 1,
  StringOrExpression = 2,
  FontString = 15,
};

std::string ArgText(const CAction& a, std::size_t i) {
  return i < a.arg_texts.size() ? a.arg_texts[i] : std::string();
}

std::int32_t StoredKind(const CAction& a, std::size_t i) {
  return i < a.arg_kinds.size() ? a.arg_kinds[i] : 0;
}

bool StartsQuoted(const std::string& text) {
  return !text.empty() && (text.front() == '\'' || text.front() == '"');
}

bool CompileArgument(Runtime& rt, const std::string& text, std::size_t i, RPreparedAction& p) {
  auto code = std::make_unique<CCode>(text, true);
  if (!code->Compile(rt)) {
    RuntimeError(
        rt, "COMPILATION ERROR in argument " + std::to_string(i) + "\r" + rt.code.error.message,
        true);
    return false;
  }
  if (code->mode() == CodeMode::Constant) {
    p.argKinds[i] = kArgConstant;
    p.argValues[i] = code->constant();
  } else {
    p.argKinds[i] = kArgExpression;
    p.argCodes[i] = std::move(code);
  }
  return true;
}

}  // namespace

bool PrepareAction(Runtime& rt, CAction& action) {
  auto p = std::make_shared<RPreparedAction>();
  p->kind = action.kind;
  p->execType = action.exec_type;
  p->argCount = std::clamp(action.arg_count, 0, CAction::kMaxArgs);
  std::string code = action.code;
  if (action.kind == ActionKind::Variable || action.kind == ActionKind::Code) {
    code = action.kind == ActionKind::Code
               ? ArgText(action, 0)
               : ArgText(action, 0) + (action.relative ? " += " : " = ") + ArgText(action, 1);
    p->kind = ActionKind::Normal;
    p->argCount = 0;
  }
  if (p->execType == ExecType::Code) {
    p->code = std::make_unique<CCode>(code, false);
    if (!p->code->Compile(rt)) {
      RuntimeError(rt, "COMPILATION ERROR in code action\r" + rt.code.error.message, true);
      return false;
    }
  }
  for (std::size_t i = 0; i < static_cast<std::size_t>(p->argCount); ++i) {
    const std::string text = ArgText(action, i);
    auto kind = static_cast<StoredArgKind>(StoredKind(action, i));
    if (kind == StoredArgKind::StringOrExpression)
      kind = StartsQuoted(text) ? StoredArgKind::Expression : StoredArgKind::String;
    if (kind == StoredArgKind::String || kind == StoredArgKind::FontString) {
      p->argKinds[i] = kArgConstant;
      p->argValues[i].setString(text);
    } else if (!CompileArgument(rt, text, i, *p)) {
      return false;
    }
  }
  action.prepared.form = std::move(p);
  return true;
}

CAction MakeCodeAction(const std::string& text) {
  CAction action;
  action.kind = ActionKind::Code;
  action.exec_type = ExecType::Code;
  action.arg_count = 1;
  action.arg_kinds = {1};
  action.arg_texts = {text};
  return action;
}

bool PrepareEvent(Runtime& rt, CEvent& event) {
  for (std::size_t i = 0; i < event.actions.size(); ++i) {
    rt.event.action = static_cast<std::int32_t>(i);
    if (!PrepareAction(rt, event.actions[i])) return false;
  }
  return true;
}

bool PrepareTimeLineActions(Runtime& rt) {
  auto& timeLines = rt.resources.timeLines;
  for (int t = 0; t < timeLines.count(); ++t) {
    CTimeLine* line = timeLines.get(t);
    if (!line) continue;
    for (std::size_t m = 0; m < line->events.size(); ++m) {
      rt.event.object = t;
      rt.event.type = kTimeLineEvent;
      rt.event.number = m < line->steps.size() ? line->steps[m] : 0;
      if (!PrepareEvent(rt, line->events[m])) return false;
    }
  }
  return true;
}

bool PrepareObjectActions(Runtime& rt) {
  auto& objects = rt.resources.objects;
  for (int o = 0; o < objects.count(); ++o) {
    CObject* obj = objects.get(o);
    if (!obj) continue;
    for (std::int32_t kind = 0; kind < CObject::kEventKinds; ++kind) {
      for (RNumberedEvent& stored : obj->events[static_cast<std::size_t>(kind)]) {
        rt.event.object = o;
        rt.event.type = kind;
        rt.event.number = stored.number;
        if (!PrepareEvent(rt, stored.event)) return false;
      }
    }
  }
  return true;
}

void LocateActionFunctions(Runtime& rt, CEvent& event) {
  for (CAction& action : event.actions) {
    if (action.exec_type != ExecType::Function) continue;
    action.function_index = FindFunction(rt, action.function_name);
    if (action.function_index < 0)
      rt.platform.messageBox("Failed to locate action function " + action.function_name,
                             rt.applicationTitle, Buttons::Ok, MessageIcon::Error);
  }
}

void LocateTimeLineActionFunctions(Runtime& rt) {
  for (int i = 0; i < rt.resources.timeLines.count(); ++i)
    if (CTimeLine* timeLine = rt.resources.timeLines.get(i))
      for (CEvent& event : timeLine->events) LocateActionFunctions(rt, event);
}

void LocateObjectActionFunctions(Runtime& rt) {
  for (int i = 0; i < rt.resources.objects.count(); ++i)
    if (CObject* object = rt.resources.objects.get(i))
      for (auto& kind : object->events)
        for (RNumberedEvent& stored : kind) LocateActionFunctions(rt, stored.event);
}

}  // namespace px
