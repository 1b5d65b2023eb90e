// Tokens and syntax-tree nodes of game code. The lexer makes RToken1s, name
// resolution turns them into RToken2s, and the parser builds a tree of
// RTokens that the executor walks. Node kinds reuse the token numbers.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "code/Code_Value.h"

namespace px {

enum class TokenKind : std::int32_t {
  EndOfText = -2,
  Invalid = -1,
  Identifier = 0,  // lexer only
  Number = 1,      // lexer only
  String = 2,      // lexer only
  Constant = 5,
  Function = 6,
  Variable = 7,
  FixedVariable = 8,  // node only: a variable with a fixed instance prefix
  Begin = 11,         // begin, {
  End = 12,           // end, }
  If = 13,
  Then = 14,
  Else = 15,
  While = 16,
  Do = 17,
  For = 18,
  Until = 19,
  Repeat = 20,
  Exit = 21,
  Break = 22,
  Continue = 23,
  With = 24,
  Return = 25,
  Switch = 26,
  Case = 27,
  Default = 28,
  Var = 29,
  GlobalVar = 30,
  Assign = 101,  // :=, =
  AddAssign = 102,
  SubAssign = 103,
  MulAssign = 104,
  DivAssign = 105,
  OpenParen = 106,
  CloseParen = 107,
  Semicolon = 108,
  Comma = 109,
  OpenBracket = 110,
  CloseBracket = 111,
  Dot = 112,
  Colon = 113,
  OrAssign = 114,
  AndAssign = 115,
  XorAssign = 116,
  And = 201,  // and, &&
  Or = 202,   // or, ||
  Not = 203,  // not, !
  Less = 204,
  LessEqual = 205,
  Equal = 206,
  NotEqual = 207,  // !=, <>
  GreaterEqual = 208,
  Greater = 209,
  Plus = 210,
  Minus = 211,
  Multiply = 212,
  Divide = 213,
  Div = 214,
  Mod = 215,
  Xor = 216,  // xor, ^^
  BitOr = 217,
  BitAnd = 218,
  BitXor = 219,
  BitNot = 220,
  ShiftLeft = 221,
  ShiftRight = 222,

  // Node kinds without a token of their own.
  EmptyProgram = -2,
  EmptyStatement = -1,
  Block = 1000,
  Unary = 1010,
  Binary = 1011,
};

// The comparison operators; Assign compares like Equal inside expressions.
constexpr bool IsComparison(TokenKind kind) {
  return kind == TokenKind::Assign || (kind >= TokenKind::Less && kind <= TokenKind::Greater);
}

// A lexer token. `text` points into the text being compiled: the name, the
// number's characters or the string literal's contents.
struct RToken1 {
  TokenKind kind = TokenKind::Invalid;
  std::string_view text;
  std::int32_t position = 0;  // 1-based index of the first character
};

// A resolved token: constants carry their value, functions their function
// index, variables their variable index.
struct RToken2 {
  TokenKind kind = TokenKind::Invalid;
  std::int32_t index = 0;
  RValue value;
  std::int32_t position = 0;
};

struct RToken;
using RTokenList = std::vector<RToken>;

// A node of the syntax tree, owning its children (stored side by side).
//
//   kind            index               children
//   EmptyProgram    -                   -
//   EmptyStatement  -                   -
//   Constant        -                   - (value holds it)
//   Function        function index      the arguments (0 .. 16)
//   Variable        variable index      instance expression, then 0 .. 2
//                                       array indices; the instance is the
//                                       constant kNoPrefix when none was written
//   FixedVariable   variable index      - (instance holds the prefix)
//   Assign          operator (101 …     target variable, value
//                   105, 114 … 116)
//   Block           -                   the statements
//   Unary           203, 210, 211, 220  the operand
//   Binary          operator code       left, right (`=` in an expression
//                                       is stored as Equal)
//   If              -                   condition, then [, else]
//   While           -                   condition, body
//   Do              -                   body, condition
//   For             -                   initial statement, condition, step
//                                       statement, body
//   Repeat          -                   count, body
//   Exit, Break,    -                   -
//   Continue
//   With            -                   instance expression, body
//   Return          -                   the value
//   Switch          -                   the value, then the body's
//                                       statements, labels among them
//   Case            -                   the label value
//   Default         -                   -
//   Var, GlobalVar  -                   one Constant per name, its index
//                                       field holding the variable index
//
// `position` is the text position errors raised at the node point to.
// Destroying a node frees its subtree without recursion, so a very deep
// tree cannot exhaust the stack.
struct RToken {
  TokenKind kind = TokenKind::EmptyStatement;
  std::int32_t index = 0;
  std::int32_t instance = 0;
  std::int32_t position = 0;
  RValue value;
  RTokenList children;

  RToken() = default;
  RToken(TokenKind k, std::int32_t pos) : kind(k), position(pos) {}
  RToken(RToken&&) noexcept = default;
  RToken& operator=(RToken&& other) noexcept;
  RToken(const RToken&) = delete;
  RToken& operator=(const RToken&) = delete;
  ~RToken();

  TokenKind op() const { return static_cast<TokenKind>(index); }
};

}  // namespace px
