// The executor: expression and statement routines of the executable tree,
// and the entries that run a unit or call a script.
#include "code/Code_Exec.h"

#include <pthread.h>

#include <algorithm>
#include <cstddef>
#include <new>
#include <sstream>
#include <string>
#include <thread>

#include "code/Code_Call.h"
#include "code/Code_Error.h"
#include "code/Code_ExecTree.h"
#include "code/Code_Main.h"
#include "code/Code_Operator.h"
#include "code/Script_Core.h"
#include "code/Script_Main.h"
#include "code/Variable_BuiltIn.h"

namespace px {

namespace {

using K = TokenKind;

bool Fail(Frame& f, std::int32_t position, std::string_view message) {
  CodeError(f.rt, f.code, position, message);
  return false;
}

ExecStatus FailStatus(Frame& f, std::int32_t position, std::string_view message) {
  CodeError(f.rt, f.code, position, message);
  return ExecStatus::Error;
}

ExecStatus StatusOf(bool ok) {
  return ok ? ExecStatus::Normal : ExecStatus::Error;
}

// ---- Variables --------------------------------------------------------

// The slot of a variable accessed through `local`: the unit's own slot for
// a name it declares `var`, else null (the frame's list of other locals).
LocalSlot* LocalFor(const XNode& n, Frame& f) {
  const std::int32_t slot = n.slot >= 0 ? n.slot : f.tree.slotOf(n.index);
  return slot >= 0 ? &f.locals[slot] : nullptr;
}

bool ReadFailed(const XNode& n, Frame& f, VarStatus status, std::int32_t flat, RValue& out) {
  if (status == VarStatus::Failed && f.rt.settings.uninitializedZero) {
    out.setReal(0.0);
    return true;
  }
  return Fail(f, n.position, VariableErrorMessage(f.rt, VarAccess::Read, status, n.index, flat));
}

// Evaluates the prefix and the array indices of a variable reference.
bool ResolveRef(const XNode& n, Frame& f, std::int32_t& prefix, std::int32_t& flat) {
  if (n.fixedPrefix) {
    prefix = n.prefix;
  } else {
    RValue p;
    if (!n.a->eval(*n.a, f, p)) return false;
    if (p.isString()) return Fail(f, n.position, "Wrong type of variable index");
    prefix = RealToInt(p.real);
  }
  flat = 0;
  if (n.dims == 0) return true;
  RValue v;
  std::int32_t first = 0;
  if (!n.b->eval(*n.b, f, v)) return false;
  if (const char* e = CheckArrayIndex(v, first)) return Fail(f, n.position, e);
  flat = first;
  if (n.dims == 1) return true;
  std::int32_t second = 0;
  if (!n.c->eval(*n.c, f, v)) return false;
  if (const char* e = CheckArrayIndex(v, second)) return Fail(f, n.position, e);
  flat = FlatIndex(first, second);
  return true;
}

bool ReadRef(const XNode& n, Frame& f, std::int32_t prefix, std::int32_t flat, RValue& out) {
  if (prefix == kLocal) {
    if (LocalSlot* s = LocalFor(n, f)) {
      const RValue* v = s->defined ? s->var.element(flat) : nullptr;
      if (v) {
        out = *v;
        return true;
      }
      return ReadFailed(n, f, VarStatus::Failed, flat, out);
    }
  }
  const VarStatus status = ReadVariable(f.rt, f.scope, prefix, n.index, flat, out);
  return status == VarStatus::Ok || ReadFailed(n, f, status, flat, out);
}

bool WriteRef(const XNode& n, Frame& f, std::int32_t prefix, std::int32_t flat,
              const RValue& value) {
  VarStatus status = VarStatus::Failed;
  LocalSlot* s = prefix == kLocal ? LocalFor(n, f) : nullptr;
  if (s) {
    if (s->var.store(flat, value)) {
      s->defined = true;
      status = VarStatus::Ok;
    }
  } else {
    status = WriteVariable(f.rt, f.scope, prefix, n.index, flat, value);
  }
  if (status == VarStatus::Ok) return true;
  return Fail(f, n.position, VariableErrorMessage(f.rt, VarAccess::Write, status, n.index, flat));
}

bool EvalVariable(const XNode& n, Frame& f, RValue& out) {
  std::int32_t prefix = 0;
  std::int32_t flat = 0;
  return ResolveRef(n, f, prefix, flat) && ReadRef(n, f, prefix, flat, out);
}

// An element of a `var` array: the indices, then the slot's storage.
bool EvalLocalElement(const XNode& n, Frame& f, RValue& out) {
  std::int32_t prefix = 0;
  std::int32_t flat = 0;
  if (!ResolveRef(n, f, prefix, flat)) return false;
  const LocalSlot& s = f.locals[n.slot];
  if (const RValue* v = s.defined ? s.var.element(flat) : nullptr) {
    out = *v;
    return true;
  }
  return ReadFailed(n, f, VarStatus::Failed, flat, out);
}

bool EvalLocalScalar(const XNode& n, Frame& f, RValue& out) {
  const LocalSlot& s = f.locals[n.slot];
  if (s.defined) {
    out = s.var.value;
    return true;
  }
  return ReadFailed(n, f, VarStatus::Failed, 0, out);
}

// A user variable of self, written without a prefix (`globalvar` names go
// to the global list) or with `self`.
template <bool CheckGlobalVar>
bool EvalSelfUser(const XNode& n, Frame& f, RValue& out) {
  if (!CheckGlobalVar || !IsGlobalVar(f.rt.vars, n.index)) {
    if (const RVariable* v = f.scope.self->variables.findHinted(n.index, n.hint)) {
      out = v->value;
      return true;
    }
  }
  return ReadRef(n, f, n.prefix, 0, out);
}

// A built-in variable of self (or of the game as a whole) written without
// a prefix or with `self`: the table's getter is called directly.
bool EvalSelfBuiltin(const XNode& n, Frame& f, RValue& out) {
  if (n.builtin->get(f.rt.host(), *f.scope.self, 0, out)) return true;
  return ReadFailed(n, f, VarStatus::Failed, 0, out);
}

bool EvalArgumentSlot(const XNode& n, Frame& f, RValue& out) {
  out = f.rt.vars.arguments[static_cast<std::size_t>(n.argument)];
  return true;
}

// ---- Operators --------------------------------------------------------

bool SlowBinary(const XNode& n, Frame& f, RValue& left, const RValue& right) {
  if (const char* e = BinaryOperation(n.op, left, right)) return Fail(f, n.position, e);
  return true;
}

template <TokenKind Op>
bool RealsTakeFastPath(const RValue& left, const RValue& right) {
  if (!left.isPlainReal() || !right.isPlainReal()) return false;
  if constexpr (realop::NeedsNonZero(Op)) return right.real != 0.0;
  return true;
}

template <TokenKind Op, bool ConstantRight>
bool EvalBinary(const XNode& n, Frame& f, RValue& out) {
  if (!n.a->eval(*n.a, f, out)) return false;
  if constexpr (ConstantRight) {
    if (RealsTakeFastPath<Op>(out, n.value)) {
      out.real = realop::Binary<Op>(out.real, n.value.real);
      return true;
    }
    return SlowBinary(n, f, out, n.value);
  } else {
    RValue right;
    if (!n.b->eval(*n.b, f, right)) return false;
    if (RealsTakeFastPath<Op>(out, right)) {
      out.real = realop::Binary<Op>(out.real, right.real);
      return true;
    }
    return SlowBinary(n, f, out, right);
  }
}

// A `var` local against a constant, the shape of most loop conditions and
// index arithmetic: the slot is read in place.
template <TokenKind Op>
bool EvalBinaryLocalConstant(const XNode& n, Frame& f, RValue& out) {
  const LocalSlot& s = f.locals[n.a->slot];
  if (s.defined && RealsTakeFastPath<Op>(s.var.value, n.value)) {
    out.setReal(realop::Binary<Op>(s.var.value.real, n.value.real));
    return true;
  }
  return EvalBinary<Op, true>(n, f, out);
}

bool IsLocalScalar(const XNode& t);

template <TokenKind Op>
EvalFn BinaryFor(const XNode& n, bool constantRight) {
  if (constantRight && IsLocalScalar(*n.a)) return &EvalBinaryLocalConstant<Op>;
  return constantRight ? &EvalBinary<Op, true> : &EvalBinary<Op, false>;
}

template <TokenKind Op>
bool EvalUnary(const XNode& n, Frame& f, RValue& out) {
  if (!n.a->eval(*n.a, f, out)) return false;
  if (out.isPlainReal()) {
    if constexpr (Op == K::Not) out.real = realop::Bool(!realop::Truth(out.real));
    if constexpr (Op == K::Minus) out.real = -out.real;
    if constexpr (Op == K::BitNot) out.real = static_cast<double>(~RealToInt64(out.real));
    return true;
  }
  if (const char* e = UnaryOperation(Op, out)) return Fail(f, n.position, e);
  return true;
}

// ---- Calls ------------------------------------------------------------

bool EvalArguments(const XNode& n, Frame& f, FunctionArgs& args) {
  const std::size_t count = std::min(n.list.size(), kMaxArguments);
  for (std::size_t i = 0; i < count; ++i) {
    if (!n.list[i]->eval(*n.list[i], f, args[i])) return false;
  }
  return true;
}

std::int32_t ArgumentCount(const XNode& n) {
  return static_cast<std::int32_t>(std::min(n.list.size(), kMaxArguments));
}

bool EvalCallBuiltin(const XNode& n, Frame& f, RValue& out) {
  FunctionArgs args;
  if (!EvalArguments(n, f, args)) return false;
  out.setReal(0.0);
  const BuiltinHandler handler = f.rt.code.functions[static_cast<std::size_t>(n.index)].handler;
  handler(f.rt.host(), f.scope.self, f.scope.other, ArgumentCount(n), out, args);
  return true;
}

class ValueBuffer;
bool CallScriptWith(ScriptCore& rt, std::int32_t position, CInstanceBase* self,
                    CInstanceBase* other, RValue& result, ValueBuffer& args);
bool EvalCallScript(const XNode& n, Frame& f, RValue& out);

bool EvalCallExtension(const XNode& n, Frame& f, RValue& out) {
  FunctionArgs args;
  if (!EvalArguments(n, f, args)) return false;
  return CallExtensionFunction(f.rt, n.index - kExtensionFunctionBase, f.scope.self, f.scope.other,
                               out, args, ArgumentCount(n));
}

bool EvalConstant(const XNode& n, Frame&, RValue& out) {
  out = n.value;
  return true;
}

bool EvalInvalid(const XNode& n, Frame& f, RValue&) {
  return Fail(f, n.position, "(Sub-)expression expected.");
}

// ---- Assignment -------------------------------------------------------

constexpr TokenKind CombiningOperatorOf(TokenKind assign) {
  switch (assign) {
    case K::AddAssign:
      return K::Plus;
    case K::SubAssign:
      return K::Minus;
    case K::MulAssign:
      return K::Multiply;
    case K::DivAssign:
      return K::Divide;
    case K::OrAssign:
      return K::BitOr;
    case K::AndAssign:
      return K::BitAnd;
    default:
      return K::BitXor;  // XorAssign
  }
}

// Combines the working value with the evaluated value for a compound
// assignment.
bool Combine(const XNode& n, Frame& f, RValue& work, const RValue& value) {
  if (const char* e = BinaryOperation(CombiningOperatorOf(n.op), work, value)) {
    return Fail(f, n.position, e);
  }
  return true;
}

// `s += t` on two strings, where s is stored at `target`. The result slot
// may still share the variable's text from an earlier statement; it is about
// to be overwritten, so it lets go first, and a variable that is then the
// only holder of its text grows it in place instead of copying it.
void AppendString(RValue& target, RValue& work, const RValue& value) {
  work.setReal(0.0);
  if (std::string* text = target.uniqueText()) {
    text->append(value.str());
    target.real = 0.0;
  } else {
    target.setString(target.str() + value.str());
  }
  work = target;
}

// `a[i] = v` or `a[i, j] = v` on a `var` array.
ExecStatus RunAssignLocalElement(const XNode& n, Frame& f) {
  const XNode& t = *n.a;
  std::int32_t prefix = 0;
  std::int32_t flat = 0;
  if (!ResolveRef(t, f, prefix, flat)) return ExecStatus::Error;
  RValue& work = *f.result;
  if (!n.b->eval(*n.b, f, work)) return ExecStatus::Error;
  LocalSlot& s = f.locals[t.slot];
  if (!s.var.store(flat, work)) {
    return FailStatus(
        f, t.position,
        VariableErrorMessage(f.rt, VarAccess::Write, VarStatus::Failed, t.index, flat));
  }
  s.defined = true;
  return ExecStatus::Normal;
}

ExecStatus RunAssignGeneric(const XNode& n, Frame& f) {
  const XNode& t = *n.a;
  std::int32_t prefix = 0;
  std::int32_t flat = 0;
  if (!ResolveRef(t, f, prefix, flat)) return ExecStatus::Error;
  RValue& work = *f.result;
  if (n.op == K::Assign) {
    if (!n.b->eval(*n.b, f, work)) return ExecStatus::Error;
  } else {
    RValue value;
    if (!n.b->eval(*n.b, f, value)) return ExecStatus::Error;
    if (!ReadRef(t, f, prefix, flat, work) || !Combine(n, f, work, value)) {
      return ExecStatus::Error;
    }
  }
  return StatusOf(WriteRef(t, f, prefix, flat, work));
}

// Scalars with storage of their own: a `var` local, or a user variable of
// self or of the global list. `Storage` finds the stored value (null when
// absent) and `Create` makes it.
struct LocalPlace {
  static RValue* Find(const XNode& t, Frame& f) {
    LocalSlot& s = f.locals[t.slot];
    return s.defined ? &s.var.value : nullptr;
  }
  static RValue* Create(const XNode& t, Frame& f) {
    LocalSlot& s = f.locals[t.slot];
    s.defined = true;
    return &s.var.value;
  }
};

template <bool CheckGlobalVar>
struct SelfPlace {
  static CVariableList& List(const XNode& t, Frame& f) {
    if (CheckGlobalVar && IsGlobalVar(f.rt.vars, t.index)) return f.rt.vars.globals;
    return f.scope.self->variables;
  }
  static RValue* Find(const XNode& t, Frame& f) {
    RVariable* v = List(t, f).findHinted(t.index, t.hint);
    return v ? &v->value : nullptr;
  }
  static RValue* Create(const XNode& t, Frame& f) {
    CVariableList& list = List(t, f);
    if (RVariable* v = list.findHinted(t.index, t.hint)) return &v->value;
    return &list.ensure(t.index).value;
  }
};

// The value of a compound assignment's right side; a constant is copied.
bool EvalOperand(const XNode& b, Frame& f, RValue& value) {
  if (b.kind != K::Constant) return b.eval(b, f, value);
  value = b.value;
  return true;
}

template <class Place, TokenKind Op>
ExecStatus RunAssignDirect(const XNode& n, Frame& f) {
  const XNode& t = *n.a;
  RValue& work = *f.result;
  if constexpr (Op == K::Assign) {
    if (!n.b->eval(*n.b, f, work)) return ExecStatus::Error;
    *Place::Create(t, f) = work;
    return ExecStatus::Normal;
  } else {
    RValue value;
    if (!EvalOperand(*n.b, f, value)) return ExecStatus::Error;
    RValue* stored = Place::Find(t, f);
    if (!stored) {
      if (!ReadRef(t, f, t.prefix, 0, work)) return ExecStatus::Error;
    } else {
      if constexpr (Op == K::AddAssign || Op == K::SubAssign || Op == K::MulAssign) {
        if (stored->isPlainReal() && value.isPlainReal()) {
          constexpr TokenKind kOp = CombiningOperatorOf(Op);
          stored->real = realop::Binary<kOp>(stored->real, value.real);
          work.setReal(stored->real);
          return ExecStatus::Normal;
        }
      }
      if (Op == K::AddAssign && stored->isString() && value.isString()) {
        if (stored->str().size() + value.str().size() > kMaxStringLength) {
          return FailStatus(f, n.position, kMsgStringTooLong);
        }
        AppendString(*stored, work, value);
        return ExecStatus::Normal;
      }
      work = *stored;
    }
    if (!Combine(n, f, work, value)) return ExecStatus::Error;
    *Place::Create(t, f) = work;
    return ExecStatus::Normal;
  }
}

// `v = e` and `v op= e` on a writable built-in variable of self through
// its getter and setter.
template <TokenKind Op>
ExecStatus RunAssignSelfBuiltin(const XNode& n, Frame& f) {
  const XNode& t = *n.a;
  const RBuiltinVariable& b = *t.builtin;
  RValue& work = *f.result;
  CInstanceBase& self = *f.scope.self;
  if constexpr (Op == K::Assign) {
    if (!n.b->eval(*n.b, f, work)) return ExecStatus::Error;
  } else {
    RValue value;
    if (!EvalOperand(*n.b, f, value)) return ExecStatus::Error;
    if (!b.get(f.rt.host(), self, 0, work) && !ReadFailed(t, f, VarStatus::Failed, 0, work)) {
      return ExecStatus::Error;
    }
    if constexpr (Op == K::AddAssign || Op == K::SubAssign || Op == K::MulAssign) {
      if (work.isPlainReal() && value.isPlainReal()) {
        work.real = realop::Binary<CombiningOperatorOf(Op)>(work.real, value.real);
      } else if (!Combine(n, f, work, value)) {
        return ExecStatus::Error;
      }
    } else if (!Combine(n, f, work, value)) {
      return ExecStatus::Error;
    }
  }
  if (b.set(f.rt.host(), self, 0, work)) return ExecStatus::Normal;
  return FailStatus(f, t.position,
                    VariableErrorMessage(f.rt, VarAccess::Write, VarStatus::Failed, t.index, 0));
}

template <class Place>
struct DirectAssign {
  template <TokenKind Op>
  static ExecStatus Run(const XNode& n, Frame& f) {
    return RunAssignDirect<Place, Op>(n, f);
  }
};

struct SelfBuiltinAssign {
  template <TokenKind Op>
  static ExecStatus Run(const XNode& n, Frame& f) {
    return RunAssignSelfBuiltin<Op>(n, f);
  }
};

// The routine of an assignment operator; the compound operators other than
// +=, -= and *= share one routine, which combines by the node's operator.
template <class Assign>
RunFn AssignFor(TokenKind op) {
  switch (op) {
    case K::Assign:
      return &Assign::template Run<K::Assign>;
    case K::AddAssign:
      return &Assign::template Run<K::AddAssign>;
    case K::SubAssign:
      return &Assign::template Run<K::SubAssign>;
    case K::MulAssign:
      return &Assign::template Run<K::MulAssign>;
    default:
      return &Assign::template Run<K::DivAssign>;
  }
}

// ---- Statements -------------------------------------------------------

ExecStatus RunCall(const XNode& n, Frame& f) {
  return StatusOf(n.eval(n, f, *f.result));
}

ExecStatus RunBlock(const XNode& n, Frame& f) {
  for (const XNode* s : n.list) {
    const ExecStatus status = s->run(*s, f);
    if (status != ExecStatus::Normal) return status;
  }
  return ExecStatus::Normal;
}

// Evaluates a condition that must be real; `message` is the error for a
// string. Sets `truth`.
bool Condition(const XNode& stmt, const XNode& cond, Frame& f, const char* message, bool& truth) {
  RValue v;
  if (!cond.eval(cond, f, v)) return false;
  if (v.isString()) return Fail(f, stmt.position, message);
  truth = realop::Truth(v.real);
  return true;
}

ExecStatus RunIf(const XNode& n, Frame& f) {
  bool truth = false;
  if (!Condition(n, *n.a, f, "Expression expected", truth)) return ExecStatus::Error;
  if (truth) return n.b->run(*n.b, f);
  return n.c ? n.c->run(*n.c, f) : ExecStatus::Normal;
}

// What a loop does after its body: go on (true) or end with `status`. A
// loop also ends, failing, once the run's time limit has passed.
bool LoopGoesOn(const XNode& n, Frame& f, ExecStatus& status) {
  if (status == ExecStatus::Normal || status == ExecStatus::Continue) {
    if (!OutOfTime(f.rt.code.exec)) return true;
    status = FailStatus(f, n.position, TimeLimitMessage(f.rt.code.exec));
    return false;
  }
  if (status == ExecStatus::Break) status = ExecStatus::Normal;
  return false;
}

ExecStatus RunWhile(const XNode& n, Frame& f) {
  for (;;) {
    bool truth = false;
    if (!Condition(n, *n.a, f, "Boolean expression expected", truth)) return ExecStatus::Error;
    if (!truth) return ExecStatus::Normal;
    ExecStatus status = n.b->run(*n.b, f);
    if (!LoopGoesOn(n, f, status)) return status;
  }
}

ExecStatus RunDo(const XNode& n, Frame& f) {
  for (;;) {
    ExecStatus status = n.b->run(*n.b, f);
    if (!LoopGoesOn(n, f, status)) return status;
    bool truth = false;
    if (!Condition(n, *n.a, f, "Boolean expression expected", truth)) return ExecStatus::Error;
    if (truth) return ExecStatus::Normal;
  }
}

// Runs the initial or step statement of a for loop into its private slot.
ExecStatus RunPrivately(const XNode& s, Frame& f, RValue& slot) {
  RValue* const unitSlot = f.result;
  f.result = &slot;
  const ExecStatus status = s.run(s, f);
  f.result = unitSlot;
  return status;
}

ExecStatus RunFor(const XNode& n, Frame& f) {
  RValue slot;
  ExecStatus status = RunPrivately(*n.a, f, slot);
  if (status != ExecStatus::Normal) return status;
  for (;;) {
    bool truth = false;
    if (!Condition(n, *n.b, f, "Expression expected", truth)) return ExecStatus::Error;
    if (!truth) return ExecStatus::Normal;
    status = n.d->run(*n.d, f);
    if (!LoopGoesOn(n, f, status)) return status;
    status = RunPrivately(*n.c, f, slot);
    if (status != ExecStatus::Normal) return status;
  }
}

ExecStatus RunRepeat(const XNode& n, Frame& f) {
  RValue count;
  if (!n.a->eval(*n.a, f, count)) return ExecStatus::Error;
  if (count.isString()) return FailStatus(f, n.position, "Repeat count must be a number");
  const std::int64_t times = RealToInt64(count.real);
  for (std::int64_t i = 0; i < times; ++i) {
    ExecStatus status = n.b->run(*n.b, f);
    if (!LoopGoesOn(n, f, status)) return status;
  }
  return ExecStatus::Normal;
}

// Runs a with body for one instance: self becomes the instance and other
// the previous self. False when the with statement ends with `status`.
bool WithBody(const XNode& n, Frame& f, CInstanceBase* inst, ExecStatus& status) {
  CInstanceBase* const self = f.scope.self;
  CInstanceBase* const other = f.scope.other;
  f.scope.self = inst;
  f.scope.other = self;
  status = n.b->run(*n.b, f);
  f.scope.self = self;
  f.scope.other = other;
  return LoopGoesOn(n, f, status);
}

ExecStatus WithWalk(const XNode& n, Frame& f, std::int32_t target) {
  InstanceLookup* world = f.rt.vars.instances;
  if (!world) return ExecStatus::Normal;
  const std::size_t end = world->walkEnd(target);
  std::size_t cursor = 0;
  ExecStatus status = ExecStatus::Normal;
  while (CInstanceBase* inst = world->nextInstance(target, cursor, end)) {
    if (!WithBody(n, f, inst, status)) return status;
  }
  return ExecStatus::Normal;
}

ExecStatus WithOne(const XNode& n, Frame& f, CInstanceBase* inst) {
  ExecStatus status = ExecStatus::Normal;
  if (inst && !WithBody(n, f, inst, status)) return status;
  return ExecStatus::Normal;
}

ExecStatus RunWith(const XNode& n, Frame& f) {
  RValue v;
  if (!n.a->eval(*n.a, f, v)) return ExecStatus::Error;
  if (v.isString()) return FailStatus(f, n.position, "Object id expected");
  const std::int64_t target = RealToInt64(v.real);
  switch (target) {
    case kLocal:
      return FailStatus(f, n.position, "Cannot use local in with statement.");
    case kGlobal:
      return FailStatus(f, n.position, "Cannot use global in with statement.");
    case kNoone:
      return ExecStatus::Normal;
    case kAll:
      return WithWalk(n, f, kAll);
    case kOther:
      return WithOne(n, f, f.scope.other);
    case kSelf:
    case kNoPrefix:
      return WithOne(n, f, f.scope.self);
    default:
      break;
  }
  if (target < kLocal || target > INT32_MAX) return ExecStatus::Normal;
  const auto id = static_cast<std::int32_t>(target);
  if (id >= kFirstInstanceId) {
    InstanceLookup* world = f.rt.vars.instances;
    return WithOne(n, f, world ? world->findInstance(id) : nullptr);
  }
  return WithWalk(n, f, id);
}

// Case values match when both are reals and exactly equal, or both are
// strings with the same bytes.
bool CaseMatches(const RValue& value, const RValue& label) {
  if (value.isString() != label.isString()) return false;
  return value.isString() ? value.str() == label.str() : value.real == label.real;
}

bool IsLabel(const XNode& s) {
  return s.kind == K::Case || s.kind == K::Default;
}

ExecStatus RunSwitch(const XNode& n, Frame& f) {
  RValue value;
  if (!n.a->eval(*n.a, f, value)) return ExecStatus::Error;
  std::size_t start = n.list.size();
  for (std::size_t i = 0; i < n.list.size(); ++i) {
    const XNode& s = *n.list[i];
    if (s.kind == K::Default) {
      start = i;
      break;
    }
    if (s.kind != K::Case) continue;
    RValue label;
    if (!s.a->eval(*s.a, f, label)) return ExecStatus::Error;
    if (CaseMatches(value, label)) {
      start = i;
      break;
    }
  }
  for (std::size_t i = start; i < n.list.size(); ++i) {
    const XNode& s = *n.list[i];
    if (IsLabel(s)) continue;
    const ExecStatus status = s.run(s, f);
    if (status == ExecStatus::Break) return ExecStatus::Normal;
    if (status != ExecStatus::Normal) return status;
  }
  return ExecStatus::Normal;
}

ExecStatus RunReturn(const XNode& n, Frame& f) {
  return n.a->eval(*n.a, f, *f.result) ? ExecStatus::Exit : ExecStatus::Error;
}

ExecStatus RunExit(const XNode&, Frame&) {
  return ExecStatus::Exit;
}
ExecStatus RunBreak(const XNode&, Frame&) {
  return ExecStatus::Break;
}
ExecStatus RunContinue(const XNode&, Frame&) {
  return ExecStatus::Continue;
}
ExecStatus RunNothing(const XNode&, Frame&) {
  return ExecStatus::Normal;
}

ExecStatus RunGlobalVar(const XNode& n, Frame& f) {
  for (const XNode* name : n.list) DeclareGlobalVar(f.rt.vars, name->index);
  return ExecStatus::Normal;
}

ExecStatus RunCaseOutside(const XNode& n, Frame& f) {
  return FailStatus(f, n.position, "Case statement only allowed inside switch statement.");
}
ExecStatus RunDefaultOutside(const XNode& n, Frame& f) {
  return FailStatus(f, n.position, "Default statement only allowed inside switch statement.");
}
ExecStatus RunInvalid(const XNode& n, Frame& f) {
  return FailStatus(f, n.position, "Statement expected.");
}

bool IsSelfUser(const XNode& t) {
  return t.fixedPrefix && t.dims == 0 && IsUserVariable(t.index) &&
         (t.prefix == kNoPrefix || t.prefix == kSelf);
}

bool IsLocalScalar(const XNode& t) {
  return t.fixedPrefix && t.dims == 0 && t.prefix == kLocal && t.slot >= 0;
}

RunFn AssignRun(const XNode& n) {
  const XNode& t = *n.a;
  if (IsLocalScalar(t)) return AssignFor<DirectAssign<LocalPlace>>(n.op);
  if (n.op == K::Assign && t.fixedPrefix && t.prefix == kLocal && t.slot >= 0) {
    return &RunAssignLocalElement;
  }
  if (IsSelfUser(t)) {
    return t.prefix == kNoPrefix ? AssignFor<DirectAssign<SelfPlace<true>>>(n.op)
                                 : AssignFor<DirectAssign<SelfPlace<false>>>(n.op);
  }
  const RBuiltinVariable* b = t.argument < 0 ? t.builtin : nullptr;
  if (b && b->get && b->set && b->writable) {
    return AssignFor<SelfBuiltinAssign>(n.op);
  }
  return &RunAssignGeneric;
}

// ---- Guards and local slots -------------------------------------------

// The lowest stack address nested executions may reach: the current
// thread's stack with room left for the deepest code one unit can hold.
const char* StackLimit() {
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return nullptr;
  void* low = nullptr;
  std::size_t size = 0;
  const bool ok = pthread_attr_getstack(&attr, &low, &size) == 0;
  pthread_attr_destroy(&attr);
  if (!ok || !low) return nullptr;
  const std::size_t margin = std::min<std::size_t>(size / 4, 2u << 20);
  return static_cast<const char*>(low) + margin;
}

bool StackExhausted(ExecState& st) {
  const char here = 0;
  // Finding the limit reads the process's memory map: once per thread.
  if (st.depth == 0 && st.stackOwner != std::this_thread::get_id()) {
    st.stackBase = StackLimit();
    st.stackOwner = std::this_thread::get_id();
  }
  return st.stackBase && &here < st.stackBase;
}

LocalSlot* AcquireLocals(ExecState& st, std::size_t count) {
  if (count == 0) return nullptr;
  if (st.levels.size() <= st.depth) st.levels.resize(st.depth + 1);
  ExecState::Level& level = st.levels[st.depth];
  if (level.capacity < count) {
    level.slots = std::make_unique<LocalSlot[]>(count);
    level.capacity = count;
  }
  return level.slots.get();
}

void ReleaseLocals(LocalSlot* slots, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    LocalSlot& s = slots[i];
    if (!s.defined) continue;
    s.defined = false;
    s.var.value.setReal(0.0);
    if (!s.var.rows.empty()) std::vector<std::vector<RValue>>().swap(s.var.rows);
  }
}

// One level of nesting for the time an execution runs.
class Nesting {
 public:
  explicit Nesting(ExecState& st) : st_(st) { ++st_.depth; }
  ~Nesting() { --st_.depth; }
  Nesting(const Nesting&) = delete;
  Nesting& operator=(const Nesting&) = delete;

 private:
  ExecState& st_;
};

ExecStatus RunUnit(Frame& f, const ExecTree& tree, bool program) {
  const XNode& root = *tree.root;
  if (!program) return StatusOf(root.eval(root, f, *f.result));
  if (root.kind == K::EmptyProgram) return ExecStatus::Normal;
  if (root.kind != K::Block) return FailStatus(f, root.position, "This is not a program.");
  return root.run(root, f);
}

// ---- Script calls -----------------------------------------------------

// Puts a call's arguments into the argument slots (the arguments array gets
// the caller's values for the time of the call) and gives the caller's back
// afterwards. Slots beyond the count become real 0 in kind and real field
// and keep their text.
// Up to 16 values, constructed only as they are added: a call evaluates
// its arguments here without first clearing a full array.
class ValueBuffer {
 public:
  ValueBuffer() = default;
  ~ValueBuffer() {
    for (std::size_t i = 0; i < size_; ++i) at(i).~RValue();
  }
  ValueBuffer(const ValueBuffer&) = delete;
  ValueBuffer& operator=(const ValueBuffer&) = delete;

  RValue& add() { return *::new (&storage_[size_++ * sizeof(RValue)]) RValue(); }
  RValue& at(std::size_t i) {
    return *std::launder(reinterpret_cast<RValue*>(&storage_[i * sizeof(RValue)]));
  }
  std::size_t size() const { return size_; }

 private:
  alignas(RValue) std::byte storage_[kMaxArguments * sizeof(RValue)];
  std::size_t size_ = 0;
};

// Puts a call's arguments into the argument slots (the buffer holds the
// caller's values for the time of the call) and gives the caller's back
// afterwards. Slots beyond the count become real 0 in kind and real field
// and keep their text.
class ArgumentFrame {
 public:
  ArgumentFrame(Variables& vars, ValueBuffer& args)
      : slots_(vars.arguments), args_(args), count_(args.size()) {
    for (std::size_t i = 0; i < count_; ++i) swap(slots_[i], args_.at(i));
    // Slots that already hold real 0 and no text need no saving.
    if (AllPlainZero(count_)) return;
    for (std::size_t i = count_; i < kArgumentSlots; ++i) {
      RValue& slot = slots_[i];
      if (slot.isPlainZero()) continue;
      saved_.add() = slot;
      slot.setKind(ValueKind::Real);
      slot.real = 0.0;
      savedMask_ |= 1u << i;
    }
  }
  ~ArgumentFrame() {
    for (std::size_t i = 0; i < count_; ++i) swap(slots_[i], args_.at(i));
    if (savedMask_ == 0 && AllPlainZero(count_)) return;
    std::size_t next = 0;
    for (std::size_t i = count_; i < kArgumentSlots; ++i) {
      RValue& slot = slots_[i];
      if (savedMask_ & (1u << i)) {
        swap(slot, saved_.at(next++));
      } else if (!slot.isPlainZero()) {
        slot.setReal(0.0);
      }
    }
  }
  ArgumentFrame(const ArgumentFrame&) = delete;
  ArgumentFrame& operator=(const ArgumentFrame&) = delete;

 private:
  // Whether every slot from `first` on holds real 0 and no text.
  bool AllPlainZero(std::size_t first) const {
    bool zero = true;
    for (std::size_t i = first; i < kArgumentSlots; ++i) zero &= slots_[i].isPlainZero();
    return zero;
  }

  std::array<RValue, kArgumentSlots>& slots_;
  ValueBuffer& args_;
  std::size_t count_;
  std::uint32_t savedMask_ = 0;
  ValueBuffer saved_;
};

bool EvaluateWithArguments(ScriptCore& rt, const CCode& code, CInstanceBase* self,
                           CInstanceBase* other, RValue& result, ValueBuffer& args) {
  ArgumentFrame frame(rt.vars, args);
  result.setReal(0.0);
  return EvaluateCode(rt, self, other, code, result);
}

bool CallScriptWith(ScriptCore& rt, std::int32_t position, CInstanceBase* self,
                    CInstanceBase* other, RValue& result, ValueBuffer& args) {
  const CCode* code = ScriptCode(rt, position);
  if (!code) return false;
  if (EvaluateWithArguments(rt, *code, self, other, result, args)) return true;
  std::string& message = rt.code.error.message;
  message.insert(0, "In script " + ScriptName(rt, position) + ":\r");
  return false;
}

bool EvalCallScript(const XNode& n, Frame& f, RValue& out) {
  ValueBuffer args;
  const std::size_t count = std::min(n.list.size(), kMaxArguments);
  for (std::size_t i = 0; i < count; ++i) {
    if (!n.list[i]->eval(*n.list[i], f, args.add())) return false;
  }
  const std::int32_t position = n.index - kScriptFunctionBase;
  if (CallScriptWith(f.rt, position, f.scope.self, f.scope.other, out, args)) return true;
  // A script slot emptied since compilation: nothing recorded an error yet.
  if (!f.rt.code.error.pending) Fail(f, n.position, kMsgNoSuchScript);
  return false;
}

}  // namespace

// ---- Routine selection for the builder --------------------------------

namespace exec {

EvalFn ConstantEval() {
  return &EvalConstant;
}

EvalFn InvalidEval() {
  return &EvalInvalid;
}

const RBuiltinVariable* SelfBuiltinOf(const XNode& n) {
  if (!n.fixedPrefix || n.dims != 0 || (n.prefix != kNoPrefix && n.prefix != kSelf)) {
    return nullptr;
  }
  if (n.index < 0 || IsUserVariable(n.index)) return nullptr;
  const CBuiltinTable& table = BuiltinVariables();
  if (static_cast<std::size_t>(n.index) >= table.size()) return nullptr;
  return &table[static_cast<std::size_t>(n.index)];
}

EvalFn VariableEval(const XNode& n) {
  if (IsLocalScalar(n)) return &EvalLocalScalar;
  if (n.fixedPrefix && n.prefix == kLocal && n.slot >= 0) return &EvalLocalElement;
  if (IsSelfUser(n)) {
    return n.prefix == kNoPrefix ? &EvalSelfUser<true> : &EvalSelfUser<false>;
  }
  const bool routedToSelf = n.prefix == kNoPrefix || n.prefix == kSelf || n.prefix == kOther;
  if (n.fixedPrefix && routedToSelf && n.argument >= 0) return &EvalArgumentSlot;
  if (n.builtin && n.builtin->get) return &EvalSelfBuiltin;
  return &EvalVariable;
}

EvalFn CallEval(const XNode& n) {
  if (n.index >= kExtensionFunctionBase) return &EvalCallExtension;
  if (n.index >= kScriptFunctionBase) return &EvalCallScript;
  return &EvalCallBuiltin;
}

EvalFn UnaryEval(const XNode& n) {
  switch (n.op) {
    case K::Not:
      return &EvalUnary<K::Not>;
    case K::Minus:
      return &EvalUnary<K::Minus>;
    case K::BitNot:
      return &EvalUnary<K::BitNot>;
    default:
      return &EvalUnary<K::Plus>;
  }
}

EvalFn BinaryEval(const XNode& n) {
  const bool c = n.b->kind == K::Constant;
  switch (n.op) {
    case K::Plus:
      return BinaryFor<K::Plus>(n, c);
    case K::Minus:
      return BinaryFor<K::Minus>(n, c);
    case K::Multiply:
      return BinaryFor<K::Multiply>(n, c);
    case K::Divide:
      return BinaryFor<K::Divide>(n, c);
    case K::Div:
      return BinaryFor<K::Div>(n, c);
    case K::Mod:
      return BinaryFor<K::Mod>(n, c);
    case K::And:
      return BinaryFor<K::And>(n, c);
    case K::Or:
      return BinaryFor<K::Or>(n, c);
    case K::Xor:
      return BinaryFor<K::Xor>(n, c);
    case K::Less:
      return BinaryFor<K::Less>(n, c);
    case K::LessEqual:
      return BinaryFor<K::LessEqual>(n, c);
    case K::Greater:
      return BinaryFor<K::Greater>(n, c);
    case K::GreaterEqual:
      return BinaryFor<K::GreaterEqual>(n, c);
    case K::NotEqual:
      return BinaryFor<K::NotEqual>(n, c);
    case K::BitOr:
      return BinaryFor<K::BitOr>(n, c);
    case K::BitAnd:
      return BinaryFor<K::BitAnd>(n, c);
    case K::BitXor:
      return BinaryFor<K::BitXor>(n, c);
    case K::ShiftLeft:
      return BinaryFor<K::ShiftLeft>(n, c);
    case K::ShiftRight:
      return BinaryFor<K::ShiftRight>(n, c);
    default:
      return BinaryFor<K::Equal>(n, c);  // Equal, Assign
  }
}

RunFn StatementRun(const XNode& n) {
  switch (n.kind) {
    case K::Function:
      return &RunCall;
    case K::Assign:
      return AssignRun(n);
    case K::Block:
      return &RunBlock;
    case K::If:
      return &RunIf;
    case K::While:
      return &RunWhile;
    case K::Do:
      return &RunDo;
    case K::For:
      return &RunFor;
    case K::Repeat:
      return &RunRepeat;
    case K::With:
      return &RunWith;
    case K::Switch:
      return &RunSwitch;
    case K::Return:
      return &RunReturn;
    case K::Exit:
      return &RunExit;
    case K::Break:
      return &RunBreak;
    case K::Continue:
      return &RunContinue;
    case K::Var:
    case K::EmptyProgram:
      return &RunNothing;
    case K::GlobalVar:
      return &RunGlobalVar;
    case K::Case:
      return &RunCaseOutside;
    case K::Default:
      return &RunDefaultOutside;
    default:
      return &RunInvalid;
  }
}

}  // namespace exec

// ---- Entries ----------------------------------------------------------

bool ExecuteCode(ScriptCore& rt, CInstanceBase* self, CInstanceBase* other, const CCode& code,
                 RValue& result) {
  rt.code.error.pending = false;
  if (!code.compiled()) {
    CodeError(rt, code, 0, "Internal Error: Executing non-compiled code.");
    return false;
  }
  if (code.mode() == CodeMode::Constant) {
    result = code.constant();
    return true;
  }
  if (!self || !other) {
    CodeError(rt, code, 0, "Internal Error: Executing code for nil instance.");
    return false;
  }
  ExecState& st = rt.code.exec;
  if (StackExhausted(st)) {
    CodeError(rt, code, 0, kMsgRecursionTooDeep);
    return false;
  }
  if (OutOfTime(st)) {
    CodeError(rt, code, 0, TimeLimitMessage(st));
    return false;
  }
  const ExecTree& tree = *code.exec();
  const std::size_t localCount = tree.localIndices.size();
  LocalSlot* locals = AcquireLocals(st, localCount);
  ExecStatus status = ExecStatus::Normal;
  {
    Nesting nesting(st);
    Frame f{rt, VarScope{self, other, nullptr}, code, tree, &result, locals};
    status = RunUnit(f, tree, code.mode() == CodeMode::Program);
  }
  ReleaseLocals(locals, localCount);
  return status != ExecStatus::Error;
}

void SetTimeLimit(ExecState& st, double seconds) {
  const auto span = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(seconds));
  st.deadline = std::chrono::steady_clock::now() + span;
  st.timeLimitSeconds = seconds;
  st.outOfTime = false;
  st.timeCheckCountdown = 1;
}

bool TimeLimitPassed(ExecState& st) {
  if (!st.outOfTime && std::chrono::steady_clock::now() >= st.deadline) st.outOfTime = true;
  // Once out of time, every check looks again, so every loop fails at once.
  st.timeCheckCountdown = st.outOfTime ? 1 : ExecState::kTimeCheckInterval;
  return st.outOfTime;
}

std::string TimeLimitMessage(const ExecState& st) {
  std::ostringstream text;
  text << "The run has passed its time limit of " << st.timeLimitSeconds << " seconds.";
  return text.str();
}

bool EvaluateCode(ScriptCore& rt, CInstanceBase* self, CInstanceBase* other, const CCode& code,
                  RValue& result) {
  if (ExecuteCode(rt, self, other, code, result)) return true;
  result.setString("ERROR");
  return false;
}

namespace {

void FillBuffer(ValueBuffer& buffer, const FunctionArgs& args, std::int32_t count) {
  const auto n = std::clamp<std::int32_t>(count, 0, static_cast<std::int32_t>(kMaxArguments));
  for (std::int32_t i = 0; i < n; ++i) buffer.add() = args[static_cast<std::size_t>(i)];
}

}  // namespace

bool CallScript(ScriptCore& rt, std::int32_t position, CInstanceBase* self, CInstanceBase* other,
                RValue& result, const FunctionArgs& args, std::int32_t count) {
  ValueBuffer buffer;
  FillBuffer(buffer, args, count);
  return CallScriptWith(rt, position, self, other, result, buffer);
}

bool CallCodeWithArguments(ScriptCore& rt, const CCode& code, CInstanceBase* self,
                           CInstanceBase* other, RValue& result, const FunctionArgs& args,
                           std::int32_t count) {
  ValueBuffer buffer;
  FillBuffer(buffer, args, count);
  return EvaluateWithArguments(rt, code, self, other, result, buffer);
}

}  // namespace px
