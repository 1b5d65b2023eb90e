// The executable form of a compiled unit: the syntax tree translated once
// into nodes that carry the routine that runs them, with names, variable
// places, local slots and constant operands resolved. Evaluating a node is
// one indirect call; nothing is looked up by name at run time.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "code/Code_Exec.h"
#include "code/Code_Token.h"
#include "code/Code_Value.h"
#include "code/Code_Variable.h"

namespace px {

struct ScriptCore;
struct RBuiltinVariable;
class CCode;
struct XNode;
struct ExecTree;

// One execution of a unit (or of a script call).
struct Frame {
  ScriptCore& rt;
  // self, other, and the locals reached through a prefix computed at run
  // time that no `var` of the unit names.
  VarScope scope;
  const CCode& code;
  const ExecTree& tree;
  RValue* result;
  LocalSlot* locals;
};

using EvalFn = bool (*)(const XNode& n, Frame& f, RValue& out);
using RunFn = ExecStatus (*)(const XNode& n, Frame& f);

struct XNode {
  EvalFn eval = nullptr;  // set on expression nodes
  RunFn run = nullptr;    // set on statement nodes
  TokenKind kind = TokenKind::EmptyStatement;
  TokenKind op = TokenKind::EmptyStatement;  // operator of unary, binary and assignment nodes
  std::int32_t position = 0;
  std::int32_t index = 0;          // variable or function index
  std::int32_t prefix = 0;         // a fixed instance prefix
  std::int32_t slot = -1;          // local slot of a `var` variable, else −1
  std::int32_t argument = -1;      // N of a plain argumentN, else −1
  std::int32_t dims = 0;           // array indices written on a variable
  bool fixedPrefix = false;        // the prefix is known without evaluating `a`
  const XNode* a = nullptr;        // operand, condition, prefix expression, target
  const XNode* b = nullptr;        // operand, body, first index, value
  const XNode* c = nullptr;        // second index, step statement
  const XNode* d = nullptr;        // body of a for loop
  std::vector<const XNode*> list;  // statements or arguments
  RValue value;                    // a constant, or a constant operand
  // The table entry of a built-in variable of self read or written without
  // a prefix or with `self` and no index, else null.
  const RBuiltinVariable* builtin = nullptr;
  // Where a user variable was found last time in its list.
  mutable std::uint32_t hint = 0;
};

struct ExecTree {
  const XNode* root = nullptr;
  // The number of local slots and the variable index of each.
  std::vector<std::int32_t> localIndices;
  std::deque<XNode> nodes;

  // The slot of a variable declared `var` in this unit, or −1.
  std::int32_t slotOf(std::int32_t index) const {
    for (std::size_t i = 0; i < localIndices.size(); ++i) {
      if (localIndices[i] == index) return static_cast<std::int32_t>(i);
    }
    return -1;
  }
};

// Translates a compiled syntax tree.
std::unique_ptr<ExecTree> BuildExecTree(ScriptCore& rt, const RToken& root, bool program);

// The routines the builder attaches to nodes.
namespace exec {

EvalFn ConstantEval();
// The table entry a variable node keeps in `builtin`.
const RBuiltinVariable* SelfBuiltinOf(const XNode& n);
EvalFn VariableEval(const XNode& n);
EvalFn CallEval(const XNode& n);
EvalFn UnaryEval(const XNode& n);
EvalFn BinaryEval(const XNode& n);
EvalFn InvalidEval();
RunFn StatementRun(const XNode& n);

}  // namespace exec

}  // namespace px
