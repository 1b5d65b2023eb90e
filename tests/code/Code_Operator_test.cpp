// The operators of game code.
#include "code/Code_Operator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "code/Code_TestSupport.h"

using namespace px;

namespace {

constexpr auto R = pxtest::Real;
constexpr auto S = pxtest::Str;

std::string Show(const RValue& v) {
  if (v.isString()) return "'" + v.str() + "'";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v.real);
  return buf;
}

// The result of an operation as text, or its error message.
std::string Binary(TokenKind op, RValue left, const RValue& right) {
  const char* error = BinaryOperation(op, left, right);
  return error ? error : Show(left);
}

std::string Unary(TokenKind op, RValue value) {
  const char* error = UnaryOperation(op, value);
  return error ? error : Show(value);
}

using K = TokenKind;

TEST(Operators, Binary) {
  struct Case {
    RValue left;
    TokenKind op;
    RValue right;
    std::string expected;
  };
  const Case cases[] = {
      // Comparisons: reals within 1e-13 are equal; strings by bytes.
      {R(0.1 + 0.2), K::Equal, R(0.3), "1"},
      {R(1), K::Equal, R(1.00000000000009), "1"},
      {R(1), K::Equal, R(1.0000000000002), "0"},
      {R(1), K::Assign, R(1), "1"},
      {R(1), K::NotEqual, R(1 + 1e-14), "0"},
      {R(1), K::Less, R(1 + 1e-14), "0"},
      {R(1), K::LessEqual, R(1 + 1e-14), "1"},
      {R(2), K::Greater, R(1), "1"},
      {R(1), K::GreaterEqual, R(1 + 1e-14), "1"},
      {S("abc"), K::Less, S("abd"), "1"},
      {S("ab"), K::Less, S("abc"), "1"},
      {S("\xff"), K::Greater, S("a"), "1"},
      {S("a"), K::Equal, S("a"), "1"},
      {S("a"), K::Equal, R(1), "Cannot compare arguments."},
      {R(0), K::Less, S(""), "Cannot compare arguments."},
      // Logic: true from 0.5.
      {R(0.5), K::And, R(1), "1"},
      {R(0.4), K::Or, R(0), "0"},
      {R(1), K::Xor, R(1), "0"},
      {R(1), K::Xor, R(0), "1"},
      {S("a"), K::And, R(1), "Wrong type of arguments for &&."},
      {R(1), K::Or, S("a"), "Wrong type of arguments for ||."},
      {R(1), K::Xor, S("a"), "Wrong type of arguments for ^^."},
      // Arithmetic.
      {R(2), K::Plus, R(3), "5"},
      {S("a"), K::Plus, S("b"), "'ab'"},
      {S("a"), K::Plus, R(1), "Wrong type of arguments to +."},
      {R(2), K::Minus, R(3), "-1"},
      {S("a"), K::Minus, S("b"), "Wrong type of arguments to -."},
      {R(3), K::Multiply, S("ab"), "'ababab'"},
      {R(2.5), K::Multiply, S("ab"), "'abab'"},
      {R(-1), K::Multiply, S("ab"), "''"},
      {S("ab"), K::Multiply, R(3), "Wrong type of arguments to *."},
      {S("ab"), K::Multiply, S("ab"), "Wrong type of arguments to *."},
      {R(1), K::Divide, R(4), "0.25"},
      {R(1), K::Divide, R(0), "Division by 0."},
      {R(1), K::Divide, S("a"), "Wrong type of arguments to /."},
      {R(7), K::Div, R(2), "3"},
      {R(-7), K::Div, R(2), "-3"},
      {R(10000000000), K::Div, R(1), "1410065408"},
      {R(1e300), K::Div, R(1), "0"},
      {R(1), K::Div, R(0), "Division by 0."},
      {S("7"), K::Div, R(2), "Wrong type of arguments to div."},
      {R(-7), K::Mod, R(3), "-1"},
      {R(7.5), K::Mod, R(2), "1.5"},
      {R(1), K::Mod, R(0), "Modulo by 0."},
      {R(1), K::Mod, S("2"), "Wrong type of arguments to mod."},
      // Integer operations on rounded operands.
      {R(5), K::BitOr, R(2.5), "7"},
      {R(6), K::BitAnd, R(3), "2"},
      {R(6), K::BitXor, R(3), "5"},
      {R(1), K::ShiftLeft, R(3), "8"},
      {R(1), K::ShiftLeft, R(64), "0"},
      {R(1), K::ShiftLeft, R(130), "4"},
      {R(1), K::ShiftLeft, R(256), "1"},
      {R(-1), K::ShiftRight, R(1), "9.2233720368547758e+18"},
      {R(1e300), K::BitOr, R(1), "1"},
      {S("1"), K::BitOr, R(1), "Wrong type of arguments for |."},
      {R(1), K::BitAnd, S("1"), "Wrong type of arguments for &."},
      {R(1), K::BitXor, S("1"), "Wrong type of arguments for ^."},
      {R(1), K::ShiftLeft, S("1"), "Wrong type of arguments for <<."},
      {R(1), K::ShiftRight, S("1"), "Wrong type of arguments for >>."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Binary(c.op, c.left, c.right), c.expected)
        << Show(c.left) << " " << static_cast<int>(c.op) << " " << Show(c.right);
  }
}

TEST(Operators, Unary) {
  EXPECT_EQ(Unary(K::Not, R(0.4)), "1");
  EXPECT_EQ(Unary(K::Not, R(0.5)), "0");
  EXPECT_EQ(Unary(K::Minus, R(3)), "-3");
  EXPECT_EQ(Unary(K::Plus, R(3)), "3");
  EXPECT_EQ(Unary(K::BitNot, R(0)), "-1");
  EXPECT_EQ(Unary(K::BitNot, R(2.5)), "-3");
  EXPECT_EQ(Unary(K::BitNot, R(NAN)), "-1");
  EXPECT_EQ(Unary(K::Minus, S("a")), "Wrong type of arguments to unary operator.");
}

}  // namespace
