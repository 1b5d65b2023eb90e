// RValue: the one value type of game code, a real number or a byte string.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

namespace px {

enum class ValueKind : std::int32_t { Real = 0, String = 1 };

// A value carries both fields whatever its kind: code that wants a number
// reads `real`, code that wants text reads str(), and only code that must
// tell them apart looks at `kind`. Copies share the string text, which is
// never changed in place, so copying a value does not copy its characters.
class RValue {
 public:
  ValueKind kind = ValueKind::Real;
  double real = 0.0;

  RValue() = default;
  static RValue FromReal(double v) {
    RValue r;
    r.real = v;
    return r;
  }
  static RValue FromString(std::string s) {
    RValue r;
    r.setString(std::move(s));
    return r;
  }

  bool isString() const { return kind == ValueKind::String; }
  const std::string& str() const { return text_ ? *text_ : Empty(); }

  void setReal(double v) {
    kind = ValueKind::Real;
    real = v;
    text_.reset();
  }
  // A string value with a real field of 0.
  void setString(std::string s) {
    kind = ValueKind::String;
    real = 0.0;
    setText(std::move(s));
  }
  // Replaces only the string field; kind and real stay as they are.
  void setText(std::string s) {
    if (s.empty()) {
      text_.reset();
    } else {
      text_ = std::make_shared<const std::string>(std::move(s));
    }
  }

  // Same kind, same bits in the real field and same text: the identity of
  // stored content (not the script's comparison operator).
  friend bool operator==(const RValue& a, const RValue& b) {
    return a.kind == b.kind &&
           std::bit_cast<std::uint64_t>(a.real) == std::bit_cast<std::uint64_t>(b.real) &&
           a.str() == b.str();
  }

 private:
  static const std::string& Empty() {
    static const std::string empty;
    return empty;
  }
  std::shared_ptr<const std::string> text_;
};

// A real as a 64-bit integer, rounded to the nearest integer with halves to
// even; 0 for a value with no 64-bit integer form (NaN, infinities, ±2^63
// and beyond).
inline std::int64_t RealToInt64(double v) {
  const double r = std::nearbyint(v);  // the default rounding mode: halves to even
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return 0;
  return static_cast<std::int64_t>(r);
}

// A real used as an integer: RealToInt64 cut to its low 32 bits
// (10000000000 gives 1410065408).
inline std::int32_t RealToInt(double v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(RealToInt64(v)));
}

}  // namespace px
