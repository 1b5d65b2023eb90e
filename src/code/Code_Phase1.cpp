#include "code/Code_Phase1.h"

#include <array>
#include <cstdint>

namespace px {

namespace {

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

struct Keyword {
  std::string_view word;
  TokenKind kind;
};

constexpr std::array<Keyword, 26> kKeywords{{
    {"begin", TokenKind::Begin},
    {"end", TokenKind::End},
    {"if", TokenKind::If},
    {"then", TokenKind::Then},
    {"else", TokenKind::Else},
    {"while", TokenKind::While},
    {"do", TokenKind::Do},
    {"for", TokenKind::For},
    {"until", TokenKind::Until},
    {"repeat", TokenKind::Repeat},
    {"exit", TokenKind::Exit},
    {"break", TokenKind::Break},
    {"continue", TokenKind::Continue},
    {"with", TokenKind::With},
    {"return", TokenKind::Return},
    {"switch", TokenKind::Switch},
    {"case", TokenKind::Case},
    {"default", TokenKind::Default},
    {"var", TokenKind::Var},
    {"globalvar", TokenKind::GlobalVar},
    {"and", TokenKind::And},
    {"or", TokenKind::Or},
    {"not", TokenKind::Not},
    {"div", TokenKind::Div},
    {"mod", TokenKind::Mod},
    {"xor", TokenKind::Xor},
}};

TokenKind WordKind(std::string_view word) {
  for (const Keyword& k : kKeywords) {
    if (k.word == word) return k.kind;
  }
  return TokenKind::Identifier;
}

struct Operator {
  std::string_view symbol;
  TokenKind kind;
};

constexpr std::array<Operator, 18> kTwoCharOperators{{
    {":=", TokenKind::Assign},
    {"+=", TokenKind::AddAssign},
    {"-=", TokenKind::SubAssign},
    {"*=", TokenKind::MulAssign},
    {"/=", TokenKind::DivAssign},
    {"&&", TokenKind::And},
    {"||", TokenKind::Or},
    {"<=", TokenKind::LessEqual},
    {"==", TokenKind::Equal},
    {"!=", TokenKind::NotEqual},
    {"<>", TokenKind::NotEqual},
    {">=", TokenKind::GreaterEqual},
    {"|=", TokenKind::OrAssign},
    {"&=", TokenKind::AndAssign},
    {"^=", TokenKind::XorAssign},
    {"<<", TokenKind::ShiftLeft},
    {">>", TokenKind::ShiftRight},
    {"^^", TokenKind::Xor},
}};

TokenKind SingleCharKind(char c) {
  switch (c) {
    case '!':
      return TokenKind::Not;
    case '&':
      return TokenKind::BitAnd;
    case '(':
      return TokenKind::OpenParen;
    case ')':
      return TokenKind::CloseParen;
    case '*':
      return TokenKind::Multiply;
    case '+':
      return TokenKind::Plus;
    case ',':
      return TokenKind::Comma;
    case '-':
      return TokenKind::Minus;
    case '.':
      return TokenKind::Dot;
    case '/':
      return TokenKind::Divide;
    case ':':
      return TokenKind::Colon;
    case ';':
      return TokenKind::Semicolon;
    case '<':
      return TokenKind::Less;
    case '=':
      return TokenKind::Assign;
    case '>':
      return TokenKind::Greater;
    case '[':
      return TokenKind::OpenBracket;
    case ']':
      return TokenKind::CloseBracket;
    case '^':
      return TokenKind::BitXor;
    case '{':
      return TokenKind::Begin;
    case '|':
      return TokenKind::BitOr;
    case '}':
      return TokenKind::End;
    case '~':
      return TokenKind::BitNot;
    default:
      return TokenKind::Invalid;
  }
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  // The next token; Invalid for a character that starts none.
  RToken1 Next() {
    SkipSpaceAndComments();
    const std::size_t start = pos_;
    if (pos_ >= text_.size()) return Make(TokenKind::EndOfText, start, start);
    const char c = text_[pos_];
    if (IsLetter(c)) return Word(start);
    if (IsDigit(c) || c == '$' || (c == '.' && IsDigit(At(pos_ + 1)))) return Number(start);
    if (c == '\'' || c == '"') return String(start, c);
    return Symbol(start);
  }

 private:
  char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

  RToken1 Make(TokenKind kind, std::size_t start, std::size_t end) const {
    return {kind, text_.substr(start, end - start), static_cast<std::int32_t>(start + 1)};
  }

  void SkipSpaceAndComments() {
    for (;;) {
      while (pos_ < text_.size() && static_cast<std::uint8_t>(text_[pos_]) <= 32) ++pos_;
      if (At(pos_) != '/') return;
      if (At(pos_ + 1) == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
        if (pos_ < text_.size()) ++pos_;
      } else if (At(pos_ + 1) == '*') {
        // The closing pair may start at the opening '/' itself: "/*/" is a comment.
        const std::size_t close = text_.find("*/", pos_);
        pos_ = close == std::string_view::npos ? text_.size() : close + 2;
      } else {
        return;
      }
    }
  }

  RToken1 Word(std::size_t start) {
    while (pos_ < text_.size() && (IsLetter(text_[pos_]) || IsDigit(text_[pos_]))) ++pos_;
    RToken1 t = Make(TokenKind::Identifier, start, pos_);
    t.kind = WordKind(t.text);
    return t;
  }

  RToken1 Number(std::size_t start) {
    if (text_[pos_] == '$') {
      ++pos_;
      while (pos_ < text_.size() && IsHexDigit(text_[pos_])) ++pos_;
    } else {
      while (pos_ < text_.size() && (IsDigit(text_[pos_]) || text_[pos_] == '.')) ++pos_;
    }
    return Make(TokenKind::Number, start, pos_);
  }

  RToken1 String(std::size_t start, char quote) {
    const std::size_t close = text_.find(quote, start + 1);
    const std::size_t end = close == std::string_view::npos ? text_.size() : close;
    pos_ = close == std::string_view::npos ? text_.size() : close + 1;
    RToken1 t = Make(TokenKind::String, start + 1, end);
    t.position = static_cast<std::int32_t>(start + 1);
    return t;
  }

  RToken1 Symbol(std::size_t start) {
    const std::string_view two = text_.substr(pos_, 2);
    for (const Operator& op : kTwoCharOperators) {
      if (op.symbol == two) {
        pos_ += 2;
        return Make(op.kind, start, pos_);
      }
    }
    const TokenKind kind = SingleCharKind(text_[pos_]);
    ++pos_;
    return Make(kind, start, pos_);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

bool LexCode(const CompileContext& ctx, std::string_view text, std::vector<RToken1>& tokens) {
  tokens.clear();
  tokens.reserve(text.size() / 3 + 1);
  Lexer lexer(text);
  for (;;) {
    RToken1 t = lexer.Next();
    if (t.kind == TokenKind::Invalid) return ctx.Fail(t.position, "Unexpected symbol.");
    tokens.push_back(t);
    if (t.kind == TokenKind::EndOfText) return true;
  }
}

}  // namespace px
