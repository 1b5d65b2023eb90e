#include "code/Support_Format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace px {

namespace {

// Fixed output has at most 18 integer digits and, for the smallest
// denormals, about 340 decimals before the significant ones end.
using Buffer = std::array<char, 512>;

// Whether v lies exactly halfway between two numbers of `decimals`
// decimals: v × 2 × 10^decimals is an odd integer. With v = m × 2^e and m
// odd, that product is m × 5^decimals × 2^(e + 1 + decimals), odd exactly
// when e = −(decimals + 1).
bool IsExactHalf(double v, int decimals) {
  if (v == 0.0) return false;
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(v), &exponent);
  auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  exponent -= 53;
  const int zeros = std::countr_zero(mantissa);
  exponent += zeros;
  return exponent == -(decimals + 1);
}

// The decimal exponent of the leading digit of |v| once rounded to
// `significant` digits (0 for 1 … 9.99, −1 for 0.1 …).
int LeadingExponent(double v, int significant) {
  if (v == 0.0) return 0;
  Buffer buf;
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(v),
                               std::chars_format::scientific, significant - 1);
  const char* e = std::find(buf.data(), r.ptr, 'e');
  int exponent = 0;
  const char* digits = e + 1;
  if (*digits == '+') ++digits;
  std::from_chars(digits, r.ptr, exponent);
  return exponent;
}

std::string ExponentForm(double v, int significant) {
  Buffer buf;
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v,
                               std::chars_format::scientific, significant - 1);
  std::string out(buf.data(), r.ptr);
  std::replace(out.begin(), out.end(), 'e', 'E');
  return out;
}

// Adds one unit of the last digit to the magnitude of a fixed-notation text.
void IncrementLastDigit(std::string& text) {
  for (std::size_t i = text.size(); i-- > 0;) {
    if (text[i] == '.') continue;
    if (text[i] == '-') {
      text.insert(i + 1, 1, '1');
      return;
    }
    if (text[i] != '9') {
      ++text[i];
      return;
    }
    text[i] = '0';
  }
  text.insert(0, 1, '1');
}

// v correctly rounded to `decimals` decimals, except that an exact half goes
// away from zero, as decimal rounding by hand does (0.125 gives 0.13), where
// the library would round it to even.
std::string FixedDigits(double v, int decimals) {
  const bool half = IsExactHalf(v, decimals);
  Buffer buf;
  // An exact half has exactly one decimal more, so printing it is exact.
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed,
                               half ? decimals + 1 : decimals);
  std::string out(buf.data(), r.ptr);
  if (half) {
    out.pop_back();                     // the 5
    if (decimals == 0) out.pop_back();  // the point
    IncrementLastDigit(out);
  }
  return out;
}

// A sign in front of nothing but zeros is dropped.
void DropNegativeZero(std::string& text) {
  if (!text.empty() && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) {
    text.erase(0, 1);
  }
}

}  // namespace

std::optional<std::string> RealToFixed(double v, int decimals, int significant) {
  if (!std::isfinite(v)) return std::nullopt;
  decimals = std::max(decimals, 0);
  const int leading = LeadingExponent(v, significant);
  if (leading + 1 > significant) return ExponentForm(v, significant);
  const int kept = std::min(decimals, significant - 1 - leading);
  std::string out = FixedDigits(v, kept);
  if (kept < decimals) {
    if (kept == 0) out += '.';
    out.append(static_cast<std::size_t>(decimals - kept), '0');
  }
  DropNegativeZero(out);
  return out;
}

std::string RealToText(double v) {
  if (!std::isfinite(v)) return "ERROR";
  const double whole = std::nearbyint(v);
  if (whole == v) {
    if (!(whole >= -9223372036854775808.0 && whole < 9223372036854775808.0)) return "ERROR";
    return std::to_string(static_cast<std::int64_t>(whole));
  }
  return *RealToFixed(v, 2, 10);
}

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The parts of a decimal number's text; false when it is not one.
struct NumberText {
  std::string_view mantissa;  // digits with at most one point
  std::int64_t exponent = 0;  // saturated
};

bool SplitNumber(std::string_view s, NumberText& out) {
  std::size_t i = 0;
  std::size_t digits = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      ++digits;
    } else if (s[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  out.mantissa = s.substr(0, i);
  if (i == s.size()) return true;
  if (s[i] != 'e' && s[i] != 'E') return false;
  ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return false;
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return false;
    out.exponent = std::min<std::int64_t>(out.exponent * 10 + (s[i] - '0'), 1'000'000'000);
  }
  if (negative) out.exponent = -out.exponent;
  return true;
}

// Where the number's first significant digit stands: 1 for 1 … 9.99, 0 for
// 0.1 … 0.99, −1 for 0.01 …; very negative for zero.
std::int64_t Magnitude(const NumberText& n) {
  std::int64_t position = 0;
  bool afterPoint = false;
  for (const char c : n.mantissa) {
    if (c == '.') {
      afterPoint = true;
    } else if (c != '0') {
      return position + (afterPoint ? 0 : 1) + n.exponent;
    } else if (afterPoint) {
      --position;
    }
  }
  return std::numeric_limits<std::int64_t>::min() / 2;
}

}  // namespace

std::optional<double> TextToReal(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return 0.0;
  bool negative = false;
  std::string_view unsigned_ = text;
  if (unsigned_.front() == '+' || unsigned_.front() == '-') {
    negative = unsigned_.front() == '-';
    unsigned_.remove_prefix(1);
  }
  NumberText parts;
  if (!SplitNumber(unsigned_, parts)) return std::nullopt;
  double value = 0.0;
  const auto r = std::from_chars(unsigned_.data(), unsigned_.data() + unsigned_.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    if (Magnitude(parts) > 0) return std::nullopt;  // beyond the largest real
    value = 0.0;
  } else if (r.ec != std::errc() || r.ptr != unsigned_.data() + unsigned_.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace px
