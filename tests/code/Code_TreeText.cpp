#include "code/Code_TreeText.h"

#include <sstream>

#include "code/Variable_Main.h"

namespace pxtest {

using px::TokenKind;

namespace {

std::string Number(double v) {
  std::ostringstream s;
  s.precision(17);
  s << v;
  return s.str();
}

std::string ValueText(const px::RValue& v) {
  return v.isString() ? "\"" + v.str() + "\"" : Number(v.real);
}

const char* OperatorText(std::int32_t code) {
  switch (static_cast<TokenKind>(code)) {
    case TokenKind::Assign:
      return "=";
    case TokenKind::AddAssign:
      return "+=";
    case TokenKind::SubAssign:
      return "-=";
    case TokenKind::MulAssign:
      return "*=";
    case TokenKind::DivAssign:
      return "/=";
    case TokenKind::OrAssign:
      return "|=";
    case TokenKind::AndAssign:
      return "&=";
    case TokenKind::XorAssign:
      return "^=";
    case TokenKind::And:
      return "&&";
    case TokenKind::Or:
      return "||";
    case TokenKind::Xor:
      return "^^";
    case TokenKind::Not:
      return "!";
    case TokenKind::Less:
      return "<";
    case TokenKind::LessEqual:
      return "<=";
    case TokenKind::Equal:
      return "==";
    case TokenKind::NotEqual:
      return "!=";
    case TokenKind::GreaterEqual:
      return ">=";
    case TokenKind::Greater:
      return ">";
    case TokenKind::Plus:
      return "+";
    case TokenKind::Minus:
      return "-";
    case TokenKind::Multiply:
      return "*";
    case TokenKind::Divide:
      return "/";
    case TokenKind::Div:
      return "div";
    case TokenKind::Mod:
      return "mod";
    case TokenKind::BitOr:
      return "|";
    case TokenKind::BitAnd:
      return "&";
    case TokenKind::BitXor:
      return "^";
    case TokenKind::BitNot:
      return "~";
    case TokenKind::ShiftLeft:
      return "<<";
    case TokenKind::ShiftRight:
      return ">>";
    default:
      return "?op";
  }
}

const char* StatementText(TokenKind kind) {
  switch (kind) {
    case TokenKind::If:
      return "if";
    case TokenKind::While:
      return "while";
    case TokenKind::Do:
      return "do";
    case TokenKind::For:
      return "for";
    case TokenKind::Repeat:
      return "repeat";
    case TokenKind::With:
      return "with";
    case TokenKind::Return:
      return "return";
    case TokenKind::Switch:
      return "switch";
    case TokenKind::Case:
      return "case";
    case TokenKind::Exit:
      return "exit";
    case TokenKind::Break:
      return "break";
    case TokenKind::Continue:
      return "continue";
    case TokenKind::Default:
      return "default";
    default:
      return "?node";
  }
}

std::string FunctionName(const px::Runtime& rt, std::int32_t index) {
  if (index >= 0 && static_cast<std::size_t>(index) < rt.code.functions.size()) {
    return rt.code.functions[static_cast<std::size_t>(index)].name;
  }
  return "fn#" + std::to_string(index);
}

std::string Group(const px::Runtime& rt, std::string head, const px::RToken& node,
                  std::size_t first = 0) {
  std::string out = "(" + head;
  for (std::size_t i = first; i < node.children.size(); ++i) {
    out += " " + TreeText(rt, node.children[i]);
  }
  return out + ")";
}

}  // namespace

std::string TreeText(const px::Runtime& rt, const px::RToken& node) {
  switch (node.kind) {
    case TokenKind::EmptyProgram:
      return "<empty>";
    case TokenKind::EmptyStatement:
      return ";";
    case TokenKind::Constant:
      return ValueText(node.value);
    case TokenKind::FixedVariable:
      return px::VariableName(rt.vars, node.index) + "@" + std::to_string(node.instance);
    case TokenKind::Variable:
      return Group(rt, "var " + px::VariableName(rt.vars, node.index), node);
    case TokenKind::Function: {
      std::string out = FunctionName(rt, node.index) + "(";
      for (std::size_t i = 0; i < node.children.size(); ++i) {
        out += (i ? " " : "") + TreeText(rt, node.children[i]);
      }
      return out + ")";
    }
    case TokenKind::Assign:
    case TokenKind::Unary:
    case TokenKind::Binary:
      return Group(rt, OperatorText(node.index), node);
    case TokenKind::Block: {
      std::string out = "{";
      for (std::size_t i = 0; i < node.children.size(); ++i) {
        out += (i ? " " : "") + TreeText(rt, node.children[i]);
      }
      return out + "}";
    }
    case TokenKind::Var:
    case TokenKind::GlobalVar: {
      std::string out = node.kind == TokenKind::Var ? "(var" : "(globalvar";
      for (const px::RToken& name : node.children)
        out += " " + px::VariableName(rt.vars, name.index);
      return out + ")";
    }
    default:
      if (node.children.empty()) return StatementText(node.kind);
      return Group(rt, StatementText(node.kind), node);
  }
}

std::string CompileText(px::Runtime& rt, const std::string& source, bool expression) {
  px::CCode code(source, expression);
  if (!code.Compile(rt)) return "error: " + rt.code.error.message;
  return TreeText(rt, code.root());
}

}  // namespace pxtest
