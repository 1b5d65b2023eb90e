// RValue: the one value type of game code, a real number or a byte string.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/Rounding.h"

namespace px {

enum class ValueKind : std::int32_t { Real = 0, String = 1 };

// The shared text of string values. Game code runs on one thread, so the
// count is a plain integer; the text is changed in place only while a
// single value holds it.
struct RString {
  std::uint32_t refs = 1;
  std::string text;

  explicit RString(std::string s) : text(std::move(s)) {}
};

// A value carries both fields whatever its kind: code that wants a number
// reads `real`, code that wants text reads str(), and only code that must
// tell them apart looks at kind(). Copies share the text, so copying a value
// never copies characters. 16 bytes: the real, and the text pointer with the
// kind in its lowest bit.
class RValue {
 public:
  double real = 0.0;

  RValue() = default;
  RValue(const RValue& o) : real(o.real), bits_(o.bits_) {
    if (RString* t = text()) ++t->refs;
  }
  RValue(RValue&& o) noexcept : real(o.real), bits_(std::exchange(o.bits_, 0)) {}
  RValue& operator=(const RValue& o) {
    if (RString* t = o.text()) ++t->refs;
    Release();
    real = o.real;
    bits_ = o.bits_;
    return *this;
  }
  RValue& operator=(RValue&& o) noexcept {
    if (this != &o) {
      Release();
      real = o.real;
      bits_ = std::exchange(o.bits_, 0);
    }
    return *this;
  }
  ~RValue() { Release(); }

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

  ValueKind kind() const { return (bits_ & kStringBit) ? ValueKind::String : ValueKind::Real; }
  bool isString() const { return (bits_ & kStringBit) != 0; }
  // A real with no text: the case arithmetic can take without further checks.
  bool isPlainReal() const { return bits_ == 0; }
  const std::string& str() const {
    const RString* t = text();
    return t ? t->text : Empty();
  }

  void setReal(double v) {
    Release();
    bits_ = 0;
    real = v;
  }
  // A string value with a real field of 0.
  void setString(std::string s) {
    setText(std::move(s));
    bits_ |= kStringBit;
    real = 0.0;
  }
  // Replaces only the string field; kind and real stay as they are.
  void setText(std::string s) {
    const std::uintptr_t kindBit = bits_ & kStringBit;
    Release();
    bits_ = kindBit;
    if (!s.empty()) bits_ |= reinterpret_cast<std::uintptr_t>(new RString(std::move(s)));
  }
  // Replaces only the kind; real and text stay as they are.
  void setKind(ValueKind k) {
    bits_ = (bits_ & ~kStringBit) | (k == ValueKind::String ? kStringBit : 0);
  }
  // The text for changing in place when this value is its only holder,
  // else null.
  std::string* uniqueText() {
    RString* t = text();
    return t && t->refs == 1 ? &t->text : nullptr;
  }

  // Same kind, same bits in the real field and same text: the identity of
  // stored content (not the script's comparison operator).
  // Exchanges two values without touching the texts' counts.
  friend void swap(RValue& a, RValue& b) noexcept {
    std::swap(a.real, b.real);
    std::swap(a.bits_, b.bits_);
  }
  // Real 0 with no text: what an unused argument slot holds.
  bool isPlainZero() const { return (bits_ | std::bit_cast<std::uint64_t>(real)) == 0; }

  friend bool operator==(const RValue& a, const RValue& b) {
    return a.kind() == b.kind() &&
           std::bit_cast<std::uint64_t>(a.real) == std::bit_cast<std::uint64_t>(b.real) &&
           a.str() == b.str();
  }

 private:
  static constexpr std::uintptr_t kStringBit = 1;

  RString* text() const { return reinterpret_cast<RString*>(bits_ & ~kStringBit); }
  void Release() {
    RString* t = text();
    if (t && --t->refs == 0) delete t;
  }
  static const std::string& Empty() {
    static const std::string empty;
    return empty;
  }

  std::uintptr_t bits_ = 0;
};

static_assert(sizeof(RValue) == 16);

}  // namespace px
