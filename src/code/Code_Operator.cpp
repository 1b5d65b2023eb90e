#include "code/Code_Operator.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace px {

namespace {

using realop::Bool;
using realop::kCompareTolerance;

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

const char* CompareStringValues(TokenKind op, RValue& left, const RValue& right) {
  const double d = CompareStrings(left.str(), right.str());
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

double RealBinary(TokenKind op, double a, double b) {
  using K = TokenKind;
  switch (op) {
    case K::Plus:
      return realop::Binary<K::Plus>(a, b);
    case K::Minus:
      return realop::Binary<K::Minus>(a, b);
    case K::Multiply:
      return realop::Binary<K::Multiply>(a, b);
    case K::Divide:
      return realop::Binary<K::Divide>(a, b);
    case K::Div:
      return realop::Binary<K::Div>(a, b);
    case K::Mod:
      return realop::Binary<K::Mod>(a, b);
    case K::And:
      return realop::Binary<K::And>(a, b);
    case K::Or:
      return realop::Binary<K::Or>(a, b);
    case K::Xor:
      return realop::Binary<K::Xor>(a, b);
    case K::Less:
      return realop::Binary<K::Less>(a, b);
    case K::LessEqual:
      return realop::Binary<K::LessEqual>(a, b);
    case K::Greater:
      return realop::Binary<K::Greater>(a, b);
    case K::GreaterEqual:
      return realop::Binary<K::GreaterEqual>(a, b);
    case K::NotEqual:
      return realop::Binary<K::NotEqual>(a, b);
    case K::BitOr:
      return realop::Binary<K::BitOr>(a, b);
    case K::BitAnd:
      return realop::Binary<K::BitAnd>(a, b);
    case K::BitXor:
      return realop::Binary<K::BitXor>(a, b);
    case K::ShiftLeft:
      return realop::Binary<K::ShiftLeft>(a, b);
    case K::ShiftRight:
      return realop::Binary<K::ShiftRight>(a, b);
    default:
      return realop::Binary<K::Equal>(a, b);  // Equal, Assign
  }
}

}  // namespace

const char* UnaryOperation(TokenKind op, RValue& value) {
  if (value.isString()) return "Wrong type of arguments to unary operator.";
  switch (op) {
    case TokenKind::Not:
      value.setReal(Bool(!realop::Truth(value.real)));
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
  const bool leftString = left.isString();
  const bool rightString = right.isString();
  if (IsComparison(op)) {
    if (leftString != rightString) return "Cannot compare arguments.";
    if (leftString) return CompareStringValues(op, left, right);
  } else if (op == TokenKind::Plus) {
    if (leftString != rightString) return "Wrong type of arguments to +.";
    if (leftString) {
      if (left.str().size() + right.str().size() > kMaxStringLength) return kMsgStringTooLong;
      left.setString(left.str() + right.str());
      return nullptr;
    }
  } else if (op == TokenKind::Multiply) {
    if (leftString) return "Wrong type of arguments to *.";
    if (rightString) {
      const std::int64_t count = RealToInt64(left.real);
      const std::size_t size = right.str().size();
      if (count > 0 && size > 0 && static_cast<std::uint64_t>(count) > kMaxStringLength / size) {
        return kMsgStringTooLong;
      }
      left.setString(Repeat(left.real, right.str()));
      return nullptr;
    }
  } else if (leftString || rightString) {
    return RealsOnly(op);
  }
  if (realop::NeedsNonZero(op) && right.real == 0.0) {
    return op == TokenKind::Mod ? "Modulo by 0." : "Division by 0.";
  }
  left.setReal(RealBinary(op, left.real, right.real));
  return nullptr;
}

}  // namespace px
