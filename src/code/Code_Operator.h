// The operators of game code, shared by the executor and by constant
// folding in the compiler. Each returns null on success or the error
// message; on success the result has replaced the (left) value.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "code/Code_Token.h"
#include "code/Code_Value.h"

namespace px {

// The longest string the operators build: a longer result is an error
// rather than an allocation that exhausts the machine.
inline constexpr std::size_t kMaxStringLength = std::size_t{1} << 30;
inline constexpr const char* kMsgStringTooLong = "String too long: more than 1 GiB.";

// Not, Minus, Plus or BitNot on a real.
const char* UnaryOperation(TokenKind op, RValue& value);
// A binary operator code (Equal … ShiftRight, And, Or, Xor; Assign compares
// like Equal). The left value becomes the result.
const char* BinaryOperation(TokenKind op, RValue& left, const RValue& right);

// The kernels of the operators on two reals, for callers that have checked
// the operand kinds themselves. Division, div and mod need a right operand
// other than 0.
namespace realop {

// Reals closer than this compare equal.
inline constexpr double kCompareTolerance = 1e-13;

inline bool Truth(double v) {
  return v >= 0.5;
}
inline double Bool(bool b) {
  return b ? 1.0 : 0.0;
}

// The quotient of div and mod: truncated, then its low 32 bits as signed.
// The conversion to an integer truncates by itself.
inline double Quotient32(double left, double right) {
  const double q = left / right;
  if (!(q > -9223372036854775808.0 && q < 9223372036854775808.0)) return 0.0;
  const auto t = static_cast<std::uint64_t>(static_cast<std::int64_t>(q));
  return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(t)));
}

// Shift counts use their low 8 bits: 0–63 shift, 64–127 clear the value,
// 128–255 shift by their low 5 bits.
inline std::uint64_t Shift(std::uint64_t value, std::int64_t count, bool left) {
  auto c = static_cast<unsigned>(static_cast<std::uint64_t>(count) & 0xFF);
  if (c >= 64 && c < 128) return 0;
  if (c >= 128) c &= 31;
  return left ? value << c : value >> c;
}

// Whether an operator fails for this right operand whatever the left.
constexpr bool NeedsNonZero(TokenKind op) {
  return op == TokenKind::Divide || op == TokenKind::Div || op == TokenKind::Mod;
}

// Every binary operator but string concatenation and repetition, on reals.
template <TokenKind Op>
inline double Binary(double a, double b) {
  using K = TokenKind;
  if constexpr (Op == K::Plus) return a + b;
  if constexpr (Op == K::Minus) return a - b;
  if constexpr (Op == K::Multiply) return a * b;
  if constexpr (Op == K::Divide) return a / b;
  if constexpr (Op == K::Div) return Quotient32(a, b);
  if constexpr (Op == K::Mod) return a - Quotient32(a, b) * b;
  if constexpr (Op == K::And) return Bool(Truth(a) && Truth(b));
  if constexpr (Op == K::Or) return Bool(Truth(a) || Truth(b));
  if constexpr (Op == K::Xor) return Bool(Truth(a) != Truth(b));
  if constexpr (Op == K::Less) return Bool(a - b < -kCompareTolerance);
  if constexpr (Op == K::LessEqual) return Bool(a - b <= kCompareTolerance);
  if constexpr (Op == K::Greater) return Bool(a - b > kCompareTolerance);
  if constexpr (Op == K::GreaterEqual) return Bool(a - b >= -kCompareTolerance);
  if constexpr (Op == K::NotEqual) {
    const double d = a - b;
    return Bool(d < -kCompareTolerance || d > kCompareTolerance);
  }
  if constexpr (Op == K::Equal || Op == K::Assign) {
    const double d = a - b;
    return Bool(d > -kCompareTolerance && d < kCompareTolerance);
  }
  if constexpr (Op == K::BitOr || Op == K::BitAnd || Op == K::BitXor || Op == K::ShiftLeft ||
                Op == K::ShiftRight) {
    const auto x = static_cast<std::uint64_t>(RealToInt64(a));
    const std::int64_t y = RealToInt64(b);
    std::uint64_t r = 0;
    if constexpr (Op == K::BitOr) r = x | static_cast<std::uint64_t>(y);
    if constexpr (Op == K::BitAnd) r = x & static_cast<std::uint64_t>(y);
    if constexpr (Op == K::BitXor) r = x ^ static_cast<std::uint64_t>(y);
    if constexpr (Op == K::ShiftLeft) r = Shift(x, y, true);
    if constexpr (Op == K::ShiftRight) r = Shift(x, y, false);
    return static_cast<double>(static_cast<std::int64_t>(r));
  }
}

}  // namespace realop

}  // namespace px
