#include "code/Code_Phase4.h"

#include <vector>

#include "code/Code_Operator.h"
#include "code/Variable_Main.h"

namespace px {

namespace {

bool IsConstant(const RToken& node) {
  return node.kind == TokenKind::Constant;
}

void BecomeConstant(RToken& node, RValue value) {
  node.kind = TokenKind::Constant;
  node.index = 0;
  node.value = std::move(value);
  node.children.clear();
}

// Whether folding would build a string longer than kMaxFoldedStringLength.
bool TooLongToFold(TokenKind op, const RValue& left, const RValue& right) {
  if (op == TokenKind::Plus && left.isString() && right.isString()) {
    return left.str().size() + right.str().size() > kMaxFoldedStringLength;
  }
  if (op == TokenKind::Multiply && !left.isString() && right.isString() && !right.str().empty()) {
    const std::int64_t count = RealToInt64(left.real);
    return count > 0 &&
           static_cast<std::uint64_t>(count) > kMaxFoldedStringLength / right.str().size();
  }
  return false;
}

class PostPass {
 public:
  explicit PostPass(const CompileContext& ctx) : ctx_(ctx) {}

  bool Run(RToken& root) {
    struct Frame {
      RToken* node;
      std::size_t next;
    };
    std::vector<Frame> stack{{&root, 0}};
    while (!stack.empty()) {
      Frame& top = stack.back();
      if (top.next < top.node->children.size()) {
        RToken* child = &top.node->children[top.next++];
        if (stack.size() >= static_cast<std::size_t>(kMaxNesting)) {
          return ctx_.Fail(child->position, kTooDeeplyNested);
        }
        stack.push_back({child, 0});
        continue;
      }
      RToken* node = top.node;
      stack.pop_back();
      if (!Process(*node)) return false;
    }
    return true;
  }

 private:
  bool Process(RToken& node) {
    switch (node.kind) {
      case TokenKind::Var:
        for (const RToken& name : node.children) DeclareLocal(name.index);
        return true;
      case TokenKind::Variable:
        return FixPrefix(node);
      case TokenKind::Unary:
        return FoldUnary(node);
      case TokenKind::Binary:
        return FoldBinary(node);
      default:
        return true;
    }
  }

  void DeclareLocal(std::int32_t index) {
    const auto slot = static_cast<std::size_t>(index - kUserVariableBase);
    if (slot >= locals_.size()) locals_.resize(slot + 1, false);
    locals_[slot] = true;
  }

  bool IsLocal(std::int32_t index) const {
    const auto slot = static_cast<std::size_t>(index) - kUserVariableBase;
    return IsUserVariable(index) && slot < locals_.size() && locals_[slot];
  }

  bool FixPrefix(RToken& node) {
    RToken& prefix = node.children[0];
    if (!IsConstant(prefix)) return true;
    if (!prefix.value.isString() && prefix.value.real == kNoPrefix && IsLocal(node.index)) {
      prefix.value.setReal(kLocal);
    }
    if (node.children.size() > 1) return true;
    if (prefix.value.isString()) {
      return ctx_.Fail(node.position, "Left hand side must be a real value.");
    }
    node.kind = TokenKind::FixedVariable;
    node.instance = RealToInt(prefix.value.real);
    node.children.clear();
    return true;
  }

  bool FoldUnary(RToken& node) {
    RToken& operand = node.children[0];
    if (!IsConstant(operand)) return true;
    RValue value = operand.value;
    if (const char* error = UnaryOperation(node.op(), value)) {
      return ctx_.Fail(operand.position, error);
    }
    BecomeConstant(node, std::move(value));
    return true;
  }

  bool FoldBinary(RToken& node) {
    const RToken& left = node.children[0];
    const RToken& right = node.children[1];
    if (!IsConstant(left) || !IsConstant(right)) return true;
    if (TooLongToFold(node.op(), left.value, right.value)) return true;
    RValue value = left.value;
    if (const char* error = BinaryOperation(node.op(), value, right.value)) {
      return ctx_.Fail(right.position, error);
    }
    BecomeConstant(node, std::move(value));
    return true;
  }

  const CompileContext& ctx_;
  // The names declared `var` so far, by user index − kUserVariableBase.
  std::vector<bool> locals_;
};

}  // namespace

bool PostProcess(const CompileContext& ctx, RToken& root) {
  return PostPass(ctx).Run(root);
}

}  // namespace px
