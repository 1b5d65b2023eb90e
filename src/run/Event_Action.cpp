#include "run/Event_Action.h"

#include <vector>

#include "code/Code_Call.h"
#include "code/Code_Error.h"
#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "resources/Resource_Chunks.h"
#include "run/Action_Class.h"
#include "run/Event_Main.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

// Past the end of any list: the walk stops.
constexpr std::size_t kEnd = 10'000'000;

// Reports the error an execution left pending, once, with the place.
void ReportPendingError(Runtime& rt) {
  if (!rt.code.error.pending) return;
  RuntimeError(rt, rt.code.error.message, false);
  rt.code.error.pending = false;
}

class ActionRunner {
 public:
  ActionRunner(Runtime& rt, CInstance* self, CInstance* other, const std::vector<CAction>& list)
      : rt_(rt), self_(self), other_(other), list_(list) {}

  void RunAll() {
    for (std::size_t i = 0; i < list_.size();) {
      if (!IsPlainCode(list_[i])) {
        i = Run(i);
        continue;
      }
      // A code action for self, the usual case: run without the walk.
      if (ChangePending(rt_)) return;
      rt_.event.action = static_cast<std::int32_t>(i);
      const CAction& a = list_[i];
      RValue result;
      RunCodeAction(a, *a.prepared.get(), a.may_be_relative && a.relative, self_, other_, result);
      ++i;
    }
  }

 private:
  // A plain (not a question, not a block, repeat, else or exit) code
  // action without arguments that applies to self.
  static bool IsPlainCode(const CAction& a) {
    const RPreparedAction* p = a.prepared.get();
    if (!p || a.is_question || p->execType != ExecType::Code || !p->code || p->argCount != 0)
      return false;
    if (p->kind != ActionKind::Normal && p->kind != ActionKind::Code &&
        p->kind != ActionKind::Variable)
      return false;
    return !a.has_applies_to || a.applies_to == kSelf;
  }

  bool Stops(std::size_t i) const { return i >= list_.size() || ChangePending(rt_); }

  ActionKind KindAt(std::size_t i) const {
    const CAction& a = list_[i];
    return a.prepared ? a.prepared->kind : a.kind;
  }

  std::size_t Run(std::size_t i) {
    if (Stops(i)) return kEnd;
    switch (KindAt(i)) {
      case ActionKind::BeginBlock:
        return Block(i);
      case ActionKind::Repeat:
        return Repeat(i);
      default:
        return list_[i].is_question ? Question(i) : Single(i);
    }
  }

  std::size_t Single(std::size_t i) {
    if (Stops(i)) return kEnd;
    rt_.event.action = static_cast<std::int32_t>(i);
    const ActionKind kind = KindAt(i);
    if (kind == ActionKind::Exit) return kEnd;
    if (kind == ActionKind::Else || kind == ActionKind::EndBlock) return i + 1;
    if (!ForTargets(list_[i], false)) return kEnd;
    return i + 1;
  }

  std::size_t Question(std::size_t i) {
    if (Stops(i)) return kEnd;
    rt_.event.action = static_cast<std::int32_t>(i);
    const bool answer = ForTargets(list_[i], true);
    std::size_t next = answer ? Run(i + 1) : Skip(i + 1);
    if (next < list_.size() && KindAt(next) == ActionKind::Else)
      next = answer ? Skip(next + 1) : Run(next + 1);
    return next;
  }

  std::size_t Repeat(std::size_t i) {
    if (Stops(i)) return kEnd;
    rt_.event.action = static_cast<std::int32_t>(i);
    RValue count;
    Argument(list_[i], 0, self_, other_, count);
    const std::int64_t n = RealToInt64(count.real);
    for (std::int64_t k = 0; k < n; ++k) {
      if (Run(i + 1) == kEnd || ChangePending(rt_)) return kEnd;
    }
    return Skip(i + 1);
  }

  std::size_t Block(std::size_t i) {
    if (Stops(i)) return kEnd;
    std::size_t a = i + 1;
    while (a < list_.size() && KindAt(a) != ActionKind::EndBlock) {
      a = Run(a);
      if (a == kEnd || ChangePending(rt_)) return kEnd;
    }
    return a + 1;
  }

  // The index after the action or block at d.
  std::size_t Skip(std::size_t d) {
    if (Stops(d)) return kEnd;
    switch (KindAt(d)) {
      case ActionKind::BeginBlock: {
        int depth = 0;
        for (std::size_t e = d; e < list_.size(); ++e) {
          const ActionKind k = KindAt(e);
          if (k == ActionKind::BeginBlock) ++depth;
          if (k == ActionKind::EndBlock && --depth == 0) return e + 1;
        }
        return kEnd;
      }
      case ActionKind::Repeat:
        return Skip(d + 1);
      default:
        return list_[d].is_question ? Skip(d + 1) : d + 1;
    }
  }

  // Executes the action for its targets. For a question, the answer: true
  // when it holds for every target (and when an object has no instances).
  // For other actions, false when a change came up while walking an object.
  bool ForTargets(const CAction& a, bool question) {
    if (!a.has_applies_to || a.applies_to == kSelf) return Answer(a, self_, other_, question);
    if (a.applies_to == kOther) return Answer(a, other_, self_, question);
    if (a.applies_to < 0) return true;
    CInstanceList& list = rt_.world.instances;
    const std::size_t count = list.family(a.applies_to).size();
    for (std::size_t k = 0; k < count; ++k) {
      const auto family = list.family(a.applies_to);
      if (k >= family.size()) break;
      CInstance* inst = family[k];
      if (inst->deleted) continue;
      const bool result = Answer(a, inst, other_, question);
      if (question && !result) return false;
      if (!question && ChangePending(rt_)) return false;
    }
    return true;
  }

  bool Answer(const CAction& a, CInstance* self, CInstance* other, bool question) {
    RValue result;
    Execute(a, self, other, result);
    if (!question) return true;
    return (result.real >= 0.5) != a.is_not;
  }

  // The value of argument i: a copied constant or an evaluated expression.
  void Argument(const CAction& a, std::size_t i, CInstance* self, CInstance* other, RValue& out) {
    const RPreparedAction* p = a.prepared.get();
    if (!p || i >= static_cast<std::size_t>(p->argCount)) {
      out.setReal(0);
      return;
    }
    if (p->argKinds[i] == kArgConstant || !p->argCodes[i]) {
      out = p->argValues[i];
      return;
    }
    if (!EvaluateCode(rt_, self, other, *p->argCodes[i], out)) ReportPendingError(rt_);
  }

  void Execute(const CAction& a, CInstance* self, CInstance* other, RValue& result) {
    const RPreparedAction* p = a.prepared.get();
    if (!p) return;
    const bool relative = a.may_be_relative && a.relative;
    if (p->execType == ExecType::Function) {
      if (a.function_index < 0) return;
      rt_.vars.argumentRelative = relative;
      FunctionArgs args;
      for (std::size_t i = 0; i < static_cast<std::size_t>(p->argCount); ++i)
        Argument(a, i, self, other, args[i]);
      Call(a.function_index, self, other, p->argCount, result, args);
    } else if (p->execType == ExecType::Code && p->code) {
      RunCodeAction(a, *p, relative, self, other, result);
    }
  }

  void Call(std::int32_t index, CInstance* self, CInstance* other, std::int32_t argc,
            RValue& result, const FunctionArgs& args) {
    if (index >= kExtensionFunctionBase) {
      if (!CallExtensionFunction(rt_, index - kExtensionFunctionBase, self, other, result, args,
                                 argc))
        ReportPendingError(rt_);
    } else if (index >= kScriptFunctionBase) {
      if (!CallScript(rt_, index - kScriptFunctionBase, self, other, result, args, argc))
        ReportPendingError(rt_);
    } else if (static_cast<std::size_t>(index) < rt_.code.functions.size()) {
      rt_.code.functions[static_cast<std::size_t>(index)].handler(rt_, self, other, argc, result,
                                                                  args);
    }
  }

  // Code runs with argument_relative and the first argument globals set to
  // the action's; both are restored afterwards.
  void RunCodeAction(const CAction& a, const RPreparedAction& p, bool relative, CInstance* self,
                     CInstance* other, RValue& result) {
    const bool savedRelative = rt_.vars.argumentRelative;
    rt_.vars.argumentRelative = relative;
    if (p.argCount == 0) {
      // Code actions have no arguments: nothing else to save.
      RunCode(rt_, self, other, *p.code, result);
    } else {
      RunCodeWithArguments(a, p, self, other, result);
    }
    rt_.vars.argumentRelative = savedRelative;
  }

  void RunCodeWithArguments(const CAction& a, const RPreparedAction& p, CInstance* self,
                            CInstance* other, RValue& result) {
    const auto count = static_cast<std::size_t>(p.argCount);
    std::array<RValue, CAction::kMaxArgs> saved;
    std::array<RValue, CAction::kMaxArgs> values;
    for (std::size_t i = 0; i < count; ++i) Argument(a, i, self, other, values[i]);
    for (std::size_t i = 0; i < count; ++i) swap(saved[i], rt_.vars.arguments[i]);
    for (std::size_t i = 0; i < count; ++i) rt_.vars.arguments[i] = values[i];
    RunCode(rt_, self, other, *p.code, result);
    for (std::size_t i = 0; i < count; ++i) swap(rt_.vars.arguments[i], saved[i]);
  }

  Runtime& rt_;
  CInstance* self_;
  CInstance* other_;
  const std::vector<CAction>& list_;
};

}  // namespace

void RunActions(Runtime& rt, CInstance* self, CInstance* other, const CEvent& event) {
  ActionRunner(rt, self, other, event.actions).RunAll();
}

bool RunLibraryInitCode(Runtime& rt) {
  for (const std::string& text : rt.resources.libraryInitCode) {
    if (text.empty()) continue;
    CCode code(text, false);
    if (!code.Compile(rt)) {
      ReportError(rt, "COMPILATION ERROR in library initialization code\r" + rt.code.error.message,
                  true);
      return false;
    }
    CInstance temporary(rt.resources, 0, 0, 0, 0);
    RValue result;
    RunCode(rt, &temporary, &temporary, code, result);
  }
  return true;
}

}  // namespace px
