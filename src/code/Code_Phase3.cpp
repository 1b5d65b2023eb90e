#include "code/Code_Phase3.h"

#include "code/Code_Function.h"
#include "code/Variable_Main.h"

namespace px {

namespace {

// The binding level of a binary operator, loosest first; 0 for other tokens.
int BinaryLevel(TokenKind kind) {
  if (IsComparison(kind)) return 2;
  switch (kind) {
    case TokenKind::And:
    case TokenKind::Or:
    case TokenKind::Xor:
      return 1;
    case TokenKind::BitOr:
    case TokenKind::BitAnd:
    case TokenKind::BitXor:
      return 3;
    case TokenKind::ShiftLeft:
    case TokenKind::ShiftRight:
      return 4;
    case TokenKind::Plus:
    case TokenKind::Minus:
      return 5;
    case TokenKind::Multiply:
    case TokenKind::Divide:
    case TokenKind::Div:
    case TokenKind::Mod:
      return 6;
    default:
      return 0;
  }
}

bool IsUnaryOperator(TokenKind kind) {
  return kind == TokenKind::Not || kind == TokenKind::Minus || kind == TokenKind::Plus ||
         kind == TokenKind::BitNot;
}

bool IsAssignmentOperator(TokenKind kind) {
  switch (kind) {
    case TokenKind::Assign:
    case TokenKind::AddAssign:
    case TokenKind::SubAssign:
    case TokenKind::MulAssign:
    case TokenKind::DivAssign:
    case TokenKind::OrAssign:
    case TokenKind::AndAssign:
    case TokenKind::XorAssign:
      return true;
    default:
      return false;
  }
}

class Parser {
 public:
  Parser(const CompileContext& ctx, const std::vector<RToken2>& tokens)
      : ctx_(ctx), tokens_(tokens) {}

  bool Program(RToken& root) {
    if (Kind() == TokenKind::EndOfText) {
      root = RToken(TokenKind::EmptyProgram, Pos());
      return true;
    }
    if (Kind() == TokenKind::Begin) {
      if (!Statement(root)) return false;
      if (Kind() != TokenKind::EndOfText) return Fail("Program ends before end of the code.");
      return true;
    }
    root = RToken(TokenKind::Block, Pos());
    while (Kind() != TokenKind::EndOfText) {
      if (!Statement(Add(root))) return false;
    }
    return true;
  }

  bool Expression(RToken& root) {
    if (Kind() == TokenKind::EndOfText) {
      root = RToken(TokenKind::Constant, Pos());
      return true;
    }
    return Expr(root);
  }

 private:
  // Counts the parser's nesting, refusing code nested deeper than the limit.
  class Nesting {
   public:
    explicit Nesting(int& depth) : depth_(depth) { ++depth_; }
    ~Nesting() { --depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
    bool tooDeep() const { return depth_ > kMaxNesting; }

   private:
    int& depth_;
  };

  const RToken2& Tok() const { return tokens_[pos_]; }
  TokenKind Kind() const { return Tok().kind; }
  std::int32_t Pos() const { return Tok().position; }
  // Moves to the next token; the end token is never passed.
  void Advance() {
    if (Kind() != TokenKind::EndOfText) ++pos_;
  }
  bool Fail(const char* message) const { return ctx_.Fail(Pos(), message); }
  static RToken& Add(RToken& parent) { return parent.children.emplace_back(); }

  // A statement, then any number of ";".
  bool Statement(RToken& out) {
    const Nesting nesting(depth_);
    if (nesting.tooDeep()) return Fail(kTooDeeplyNested);
    if (!StatementBody(out)) return false;
    while (Kind() == TokenKind::Semicolon) Advance();
    return true;
  }

  // Skips the keyword; the node takes the position of the token after it.
  RToken KeywordNode(TokenKind kind) {
    Advance();
    return RToken(kind, Pos());
  }

  bool StatementBody(RToken& out) {
    switch (Kind()) {
      case TokenKind::Function:
        return Call(out);
      case TokenKind::Begin:
        return Block(out);
      case TokenKind::If:
        return If(out);
      case TokenKind::While:
      case TokenKind::With:
        return WhileOrWith(out);
      case TokenKind::Do:
        return DoUntil(out);
      case TokenKind::For:
        return For(out);
      case TokenKind::Repeat:
        out = KeywordNode(TokenKind::Repeat);
        return Expr(Add(out)) && Statement(Add(out));
      case TokenKind::Exit:
      case TokenKind::Break:
      case TokenKind::Continue:
        out = KeywordNode(Kind());
        return true;
      case TokenKind::Return:
        out = KeywordNode(TokenKind::Return);
        return Expr(Add(out));
      case TokenKind::Switch:
        return Switch(out);
      case TokenKind::Case:
        out = KeywordNode(TokenKind::Case);
        return Expr(Add(out)) && Expect(TokenKind::Colon, "Symbol : expected.");
      case TokenKind::Default:
        out = KeywordNode(TokenKind::Default);
        return Expect(TokenKind::Colon, "Symbol : expected.");
      case TokenKind::Var:
      case TokenKind::GlobalVar:
        return Declaration(out);
      case TokenKind::Semicolon:
        out = RToken(TokenKind::EmptyStatement, Pos());
        Advance();
        return true;
      case TokenKind::EndOfText:
        return Fail("Unexpected end of code reached.");
      default:
        return Assignment(out);
    }
  }

  bool Expect(TokenKind kind, const char* message) {
    if (Kind() != kind) return Fail(message);
    Advance();
    return true;
  }

  // Statements up to "}" or "end", which is skipped.
  bool StatementsUntilEnd(RToken& out) {
    while (Kind() != TokenKind::End) {
      if (Kind() == TokenKind::EndOfText) return Fail("Symbol } expected.");
      if (!Statement(Add(out))) return false;
    }
    Advance();
    return true;
  }

  bool Block(RToken& out) {
    out = KeywordNode(TokenKind::Block);
    return StatementsUntilEnd(out);
  }

  bool If(RToken& out) {
    out = KeywordNode(TokenKind::If);
    if (!Expr(Add(out))) return false;
    if (Kind() == TokenKind::Then) Advance();
    if (!Statement(Add(out))) return false;
    if (Kind() != TokenKind::Else) return true;
    Advance();
    return Statement(Add(out));
  }

  // while condition [do] statement; with expression [do] statement.
  bool WhileOrWith(RToken& out) {
    out = KeywordNode(Kind());
    if (!Expr(Add(out))) return false;
    if (Kind() == TokenKind::Do) Advance();
    return Statement(Add(out));
  }

  bool DoUntil(RToken& out) {
    out = KeywordNode(TokenKind::Do);
    if (!Statement(Add(out))) return false;
    if (!Expect(TokenKind::Until, "Keyword until expected.")) return false;
    return Expr(Add(out));
  }

  bool For(RToken& out) {
    out = KeywordNode(TokenKind::For);
    if (!Expect(TokenKind::OpenParen, "Symbol ( expected.")) return false;
    if (!Statement(Add(out))) return false;
    if (Kind() == TokenKind::Semicolon) Advance();
    if (!Expr(Add(out))) return false;
    if (Kind() == TokenKind::Semicolon) Advance();
    if (!Statement(Add(out))) return false;
    if (!Expect(TokenKind::CloseParen, "Symbol ) expected.")) return false;
    return Statement(Add(out));
  }

  bool Switch(RToken& out) {
    out = KeywordNode(TokenKind::Switch);
    if (!Expr(Add(out))) return false;
    if (!Expect(TokenKind::Begin, "Symbol { expected.")) return false;
    return StatementsUntilEnd(out);
  }

  // var / globalvar: names, each optionally followed by ",", up to the first
  // token that is not a variable name.
  bool Declaration(RToken& out) {
    out = KeywordNode(Kind());
    while (Kind() == TokenKind::Variable) {
      if (!IsUserVariable(Tok().index)) return Fail("Cannot redeclare a builtin variable.");
      RToken& name = Add(out);
      name = RToken(TokenKind::Constant, Pos());
      name.index = Tok().index;
      Advance();
      if (Kind() == TokenKind::Comma) Advance();
    }
    return true;
  }

  bool Assignment(RToken& out) {
    out = RToken(TokenKind::Assign, Pos());
    RToken& target = Add(out);
    if (!Unary(target)) return false;
    if (target.kind != TokenKind::Variable)
      return ctx_.Fail(out.position, "Variable name expected.");
    if (!IsAssignmentOperator(Kind())) return Fail("Assignment operator expected.");
    out.index = static_cast<std::int32_t>(Kind());
    Advance();
    return Expr(Add(out));
  }

  // Binary operators of `minLevel` and tighter, left-associative.
  bool Expr(RToken& out, int minLevel = 1) {
    const Nesting nesting(depth_);
    if (nesting.tooDeep()) return Fail(kTooDeeplyNested);
    const std::int32_t start = Pos();
    if (!Unary(out)) return false;
    for (int level = BinaryLevel(Kind()); level >= minLevel; level = BinaryLevel(Kind())) {
      // `=` inside an expression compares, like `==`.
      const TokenKind op = Kind() == TokenKind::Assign ? TokenKind::Equal : Kind();
      Advance();
      RToken node(TokenKind::Binary, start);
      node.index = static_cast<std::int32_t>(op);
      node.children.reserve(2);
      node.children.push_back(std::move(out));
      if (!Expr(Add(node), level + 1)) return false;
      out = std::move(node);
    }
    return true;
  }

  // Prefix operators, repeatable, over a postfix expression.
  bool Unary(RToken& out) {
    if (!IsUnaryOperator(Kind())) return Postfix(out);
    const Nesting nesting(depth_);
    if (nesting.tooDeep()) return Fail(kTooDeeplyNested);
    out = RToken(TokenKind::Unary, Pos());
    out.index = static_cast<std::int32_t>(Kind());
    Advance();
    return Unary(Add(out));
  }

  // A primary followed by any number of "." variable: each variable takes
  // the expression before its dot as its instance.
  bool Postfix(RToken& out) {
    const std::int32_t start = Pos();
    if (!Primary(out)) return false;
    while (Kind() == TokenKind::Dot) {
      Advance();
      if (Kind() != TokenKind::Variable) return Fail("Variable name expected.");
      RToken variable;
      if (!Variable(variable)) return false;
      variable.position = start;
      variable.children[0] = std::move(out);
      out = std::move(variable);
    }
    return true;
  }

  bool Primary(RToken& out) {
    switch (Kind()) {
      case TokenKind::Constant:
        out = RToken(TokenKind::Constant, Pos());
        out.value = Tok().value;
        Advance();
        return true;
      case TokenKind::Function:
        return Call(out);
      case TokenKind::Variable:
        return Variable(out);
      case TokenKind::OpenParen:
        Advance();
        return Expr(out) && Expect(TokenKind::CloseParen, "Symbol ) expected.");
      default:
        return Fail("Unexpected symbol in expression.");
    }
  }

  // Expressions separated by "," up to `close`, which is skipped; a ","
  // right before it is accepted.
  bool List(RToken& out, TokenKind close, const char* missingClose, const char* badSeparator) {
    for (;;) {
      if (Kind() == close) {
        Advance();
        return true;
      }
      if (Kind() == TokenKind::EndOfText) return Fail(missingClose);
      if (!Expr(Add(out))) return false;
      if (Kind() == TokenKind::Comma) {
        Advance();
      } else if (Kind() != close) {
        return Fail(Kind() == TokenKind::EndOfText ? missingClose : badSeparator);
      }
    }
  }

  bool Call(RToken& out) {
    out = RToken(TokenKind::Function, Pos());
    out.index = Tok().index;
    Advance();
    if (!Expect(TokenKind::OpenParen, "Symbol ( expected.")) return false;
    if (!List(out, TokenKind::CloseParen, "Symbol ) expected.", "Symbol , or ) expected.")) {
      return false;
    }
    const auto count = static_cast<std::int32_t>(out.children.size());
    const std::int32_t declared = FunctionArgCount(ctx_.rt, out.index);
    if (count > static_cast<std::int32_t>(kMaxArguments) || (declared >= 0 && count != declared)) {
      return ctx_.Fail(out.position, "Wrong number of arguments to function or script.");
    }
    return true;
  }

  // A variable token with its optional "[" indices "]"; the instance is the
  // constant kNoPrefix.
  bool Variable(RToken& out) {
    out = RToken(TokenKind::Variable, Pos());
    out.index = Tok().index;
    RToken& prefix = Add(out);
    prefix = RToken(TokenKind::Constant, Pos());
    prefix.value.setReal(kNoPrefix);
    Advance();
    if (Kind() != TokenKind::OpenBracket) return true;
    Advance();
    if (!List(out, TokenKind::CloseBracket, "Symbol ] expected.", "Symbol , or ] expected.")) {
      return false;
    }
    if (out.children.size() > 3) return Fail("Only 1- and 2-dimensional arrays are supported.");
    return true;
  }

  const CompileContext& ctx_;
  const std::vector<RToken2>& tokens_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

bool ParseCode(const CompileContext& ctx, const std::vector<RToken2>& tokens, bool program,
               RToken& root) {
  Parser parser(ctx, tokens);
  return program ? parser.Program(root) : parser.Expression(root);
}

}  // namespace px
