#include "code/Code_Operator.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace px {

namespace {

// Reals closer than this compare equal.
constexpr double kCompareTolerance = 1e-13;

bool Truth(double v) {
  return v >= 0.5;
}

double Bool(bool b) {
  return b ? 1.0 : 0.0;
}

// Truncates toward 0; 0 when the value has no 64-bit integer form.
std::int64_t TruncToInt64(double v) {
  const double t = std::trunc(v);
  if (!(t >= -9223372036854775808.0 && t < 9223372036854775808.0)) return 0;
  return static_cast<std::int64_t>(t);
}

// The quotient of div and mod: truncated, then its low 32 bits as signed.
double Quotient32(double left, double right) {
  const auto q = static_cast<std::uint64_t>(TruncToInt64(left / right));
  return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(q)));
}

// Ordinal byte comparison: the difference of the first differing bytes, or
// of the lengths when one string is a prefix of the other.
double CompareStrings(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (ca != cb) return static_cast<double>(ca) - static_cast<double>(cb);
  }
  return static_cast<double>(a.size()) - static_cast<double>(b.size());
}

const char* Compare(TokenKind op, RValue& left, const RValue& right) {
  if (left.kind != right.kind) return "Cannot compare arguments.";
  const double d =
      left.isString() ? CompareStrings(left.str(), right.str()) : left.real - right.real;
  bool r = false;
  switch (op) {
    case TokenKind::Less:
      r = d < -kCompareTolerance;
      break;
    case TokenKind::LessEqual:
      r = d <= kCompareTolerance;
      break;
    case TokenKind::NotEqual:
      r = d < -kCompareTolerance || d > kCompareTolerance;
      break;
    case TokenKind::GreaterEqual:
      r = d >= -kCompareTolerance;
      break;
    case TokenKind::Greater:
      r = d > kCompareTolerance;
      break;
    default:
      r = d > -kCompareTolerance && d < kCompareTolerance;
      break;  // Equal, Assign
  }
  left.setReal(Bool(r));
  return nullptr;
}

// A string repeated round(n) times; empty for 0 or less.
std::string Repeat(double n, const std::string& s) {
  const std::int64_t count = RealToInt64(n);
  std::string out;
  if (count <= 0 || s.empty()) return out;
  out.reserve(static_cast<std::size_t>(count) * s.size());
  for (std::int64_t i = 0; i < count; ++i) out += s;
  return out;
}

const char* Multiply(RValue& left, const RValue& right) {
  if (left.isString()) return "Wrong type of arguments to *.";
  if (right.isString()) {
    left.setString(Repeat(left.real, right.str()));
  } else {
    left.setReal(left.real * right.real);
  }
  return nullptr;
}

const char* Plus(RValue& left, const RValue& right) {
  if (left.kind != right.kind) return "Wrong type of arguments to +.";
  if (left.isString()) {
    left.setString(left.str() + right.str());
  } else {
    left.setReal(left.real + right.real);
  }
  return nullptr;
}

// Shift counts use their low 8 bits: 0–63 shift, 64–127 clear the value,
// 128–255 shift by their low 5 bits.
std::uint64_t Shift(std::uint64_t value, std::int64_t count, bool left) {
  auto c = static_cast<unsigned>(static_cast<std::uint64_t>(count) & 0xFF);
  if (c >= 64 && c < 128) return 0;
  if (c >= 128) c &= 31;
  return left ? value << c : value >> c;
}

const char* Integer(TokenKind op, RValue& left, const RValue& right) {
  const auto a = static_cast<std::uint64_t>(RealToInt64(left.real));
  const std::int64_t b = RealToInt64(right.real);
  std::uint64_t r = 0;
  switch (op) {
    case TokenKind::BitOr:
      r = a | static_cast<std::uint64_t>(b);
      break;
    case TokenKind::BitAnd:
      r = a & static_cast<std::uint64_t>(b);
      break;
    case TokenKind::BitXor:
      r = a ^ static_cast<std::uint64_t>(b);
      break;
    case TokenKind::ShiftLeft:
      r = Shift(a, b, true);
      break;
    default:
      r = Shift(a, b, false);
      break;
  }
  left.setReal(static_cast<double>(static_cast<std::int64_t>(r)));
  return nullptr;
}

// The message for operands that are not both reals.
const char* RealsOnly(TokenKind op) {
  switch (op) {
    case TokenKind::And:
      return "Wrong type of arguments for &&.";
    case TokenKind::Or:
      return "Wrong type of arguments for ||.";
    case TokenKind::Xor:
      return "Wrong type of arguments for ^^.";
    case TokenKind::Minus:
      return "Wrong type of arguments to -.";
    case TokenKind::Divide:
      return "Wrong type of arguments to /.";
    case TokenKind::Div:
      return "Wrong type of arguments to div.";
    case TokenKind::Mod:
      return "Wrong type of arguments to mod.";
    case TokenKind::BitOr:
      return "Wrong type of arguments for |.";
    case TokenKind::BitAnd:
      return "Wrong type of arguments for &.";
    case TokenKind::BitXor:
      return "Wrong type of arguments for ^.";
    case TokenKind::ShiftLeft:
      return "Wrong type of arguments for <<.";
    default:
      return "Wrong type of arguments for >>.";
  }
}

const char* Arithmetic(TokenKind op, RValue& left, const RValue& right) {
  if (left.isString() || right.isString()) return RealsOnly(op);
  const double a = left.real;
  const double b = right.real;
  switch (op) {
    case TokenKind::And:
      left.setReal(Bool(Truth(a) && Truth(b)));
      return nullptr;
    case TokenKind::Or:
      left.setReal(Bool(Truth(a) || Truth(b)));
      return nullptr;
    case TokenKind::Xor:
      left.setReal(Bool(Truth(a) != Truth(b)));
      return nullptr;
    case TokenKind::Minus:
      left.setReal(a - b);
      return nullptr;
    case TokenKind::Divide:
      if (b == 0.0) return "Division by 0.";
      left.setReal(a / b);
      return nullptr;
    case TokenKind::Div:
      if (b == 0.0) return "Division by 0.";
      left.setReal(Quotient32(a, b));
      return nullptr;
    case TokenKind::Mod:
      if (b == 0.0) return "Modulo by 0.";
      left.setReal(a - Quotient32(a, b) * b);
      return nullptr;
    default:
      return Integer(op, left, right);
  }
}

}  // namespace

const char* UnaryOperation(TokenKind op, RValue& value) {
  if (value.isString()) return "Wrong type of arguments to unary operator.";
  switch (op) {
    case TokenKind::Not:
      value.setReal(Bool(!Truth(value.real)));
      break;
    case TokenKind::Minus:
      value.setReal(-value.real);
      break;
    case TokenKind::BitNot:
      value.setReal(static_cast<double>(~RealToInt64(value.real)));
      break;
    default:
      value.setReal(value.real);
      break;  // Plus
  }
  return nullptr;
}

const char* BinaryOperation(TokenKind op, RValue& left, const RValue& right) {
  if (IsComparison(op)) return Compare(op, left, right);
  switch (op) {
    case TokenKind::Plus:
      return Plus(left, right);
    case TokenKind::Multiply:
      return Multiply(left, right);
    default:
      return Arithmetic(op, left, right);
  }
}

}  // namespace px
