// Translation of a compiled syntax tree into its executable form.
#include <string>

#include "code/Code_ExecTree.h"
#include "code/Variable_BuiltIn.h"
#include "code/Variable_Main.h"

namespace px {

namespace {

class Builder {
 public:
  explicit Builder(ExecTree& tree) : tree_(tree) {}

  const XNode* Statement(const RToken& t) {
    XNode& n = Make(t);
    Fill(n, t);
    if (t.kind == TokenKind::Function) n.eval = exec::CallEval(n);
    n.run = exec::StatementRun(n);
    return &n;
  }

  const XNode* Expression(const RToken& t) {
    XNode& n = Make(t);
    Fill(n, t);
    switch (t.kind) {
      case TokenKind::Constant:
        n.eval = exec::ConstantEval();
        break;
      case TokenKind::Variable:
      case TokenKind::FixedVariable:
        n.eval = exec::VariableEval(n);
        break;
      case TokenKind::Function:
        n.eval = exec::CallEval(n);
        break;
      case TokenKind::Unary:
        n.eval = exec::UnaryEval(n);
        break;
      case TokenKind::Binary:
        n.eval = exec::BinaryEval(n);
        break;
      default:
        n.eval = exec::InvalidEval();
        break;
    }
    return &n;
  }

 private:
  XNode& Make(const RToken& t) {
    XNode& n = tree_.nodes.emplace_back();
    n.kind = t.kind;
    n.position = t.position;
    n.index = t.index;
    return n;
  }

  std::int32_t SlotFor(std::int32_t index) {
    const std::int32_t known = tree_.slotOf(index);
    if (known >= 0) return known;
    tree_.localIndices.push_back(index);
    return static_cast<std::int32_t>(tree_.localIndices.size() - 1);
  }

  void Variable(XNode& n, const RToken& t) {
    if (t.kind == TokenKind::FixedVariable) {
      n.fixedPrefix = true;
      n.prefix = t.instance;
    } else {
      const RToken& prefix = t.children[0];
      if (prefix.kind == TokenKind::Constant && !prefix.value.isString()) {
        n.fixedPrefix = true;
        n.prefix = RealToInt(prefix.value.real);
      } else {
        n.a = Expression(prefix);
      }
      n.dims = static_cast<std::int32_t>(t.children.size()) - 1;
      if (n.dims >= 1) n.b = Expression(t.children[1]);
      if (n.dims >= 2) n.c = Expression(t.children[2]);
    }
    if (n.fixedPrefix && n.prefix == kLocal) n.slot = SlotFor(n.index);
    if (n.fixedPrefix && n.dims == 0) n.argument = ArgumentNumber(n.index);
    n.builtin = exec::SelfBuiltinOf(n);
  }

  // N when the index is the built-in variable argumentN, else −1.
  static std::int32_t ArgumentNumber(std::int32_t index) {
    static const std::int32_t first = FindBuiltinVariable("argument0");
    if (first < 0 || index < first || index >= first + 16) return -1;
    const std::int32_t n = index - first;
    return FindBuiltinVariable("argument" + std::to_string(n)) == index ? n : -1;
  }

  void Fill(XNode& n, const RToken& t) {
    const RTokenList& kids = t.children;
    switch (t.kind) {
      case TokenKind::Constant:
        n.value = t.value;
        break;
      case TokenKind::Variable:
      case TokenKind::FixedVariable:
        Variable(n, t);
        break;
      case TokenKind::Function:
        for (const RToken& arg : kids) n.list.push_back(Expression(arg));
        break;
      case TokenKind::Assign:
        n.op = t.op();
        n.a = Expression(kids[0]);
        n.b = Expression(kids[1]);
        break;
      case TokenKind::Unary:
        n.op = t.op();
        n.a = Expression(kids[0]);
        break;
      case TokenKind::Binary:
        n.op = t.op();
        n.a = Expression(kids[0]);
        n.b = Expression(kids[1]);
        if (kids[1].kind == TokenKind::Constant) n.value = kids[1].value;
        break;
      case TokenKind::Block:
        for (const RToken& s : kids) n.list.push_back(Statement(s));
        break;
      case TokenKind::If:
        n.a = Expression(kids[0]);
        n.b = Statement(kids[1]);
        if (kids.size() > 2) n.c = Statement(kids[2]);
        break;
      case TokenKind::While:
      case TokenKind::Repeat:
      case TokenKind::With:
        n.a = Expression(kids[0]);
        n.b = Statement(kids[1]);
        break;
      case TokenKind::Do:
        n.b = Statement(kids[0]);
        n.a = Expression(kids[1]);
        break;
      case TokenKind::For:
        n.a = Statement(kids[0]);
        n.b = Expression(kids[1]);
        n.c = Statement(kids[2]);
        n.d = Statement(kids[3]);
        break;
      case TokenKind::Return:
      case TokenKind::Case:
        n.a = Expression(kids[0]);
        break;
      case TokenKind::Switch:
        n.a = Expression(kids[0]);
        for (std::size_t i = 1; i < kids.size(); ++i) n.list.push_back(Statement(kids[i]));
        break;
      case TokenKind::GlobalVar:
        for (const RToken& name : kids) {
          XNode& v = Make(name);
          n.list.push_back(&v);
        }
        break;
      default:
        break;
    }
  }

  ExecTree& tree_;
};

}  // namespace

std::unique_ptr<ExecTree> BuildExecTree(ScriptCore&, const RToken& root, bool program) {
  auto tree = std::make_unique<ExecTree>();
  Builder builder(*tree);
  tree->root = program ? builder.Statement(root) : builder.Expression(root);
  return tree;
}

}  // namespace px
