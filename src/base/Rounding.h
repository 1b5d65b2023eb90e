// Reals rounded to integers the way game code rounds them: to the nearest,
// halves to even.
#pragma once

#include <cmath>
#include <cstdint>

namespace px {

// A real rounded to the nearest integer, halves to even. Below 2^51 in
// size, adding and taking away 1.5 × 2^52 rounds in the default rounding
// mode without a library call.
inline double RoundHalfEven(double v) {
  constexpr double kShift = 6755399441055744.0;
  if (v > -2251799813685248.0 && v < 2251799813685248.0) return (v + kShift) - kShift;
  return std::nearbyint(v);  // the default rounding mode: halves to even
}

// A real as a 64-bit integer, rounded to the nearest integer with halves to
// even; 0 for a value with no 64-bit integer form (NaN, infinities, ±2^63
// and beyond).
inline std::int64_t RealToInt64(double v) {
  const double r = RoundHalfEven(v);
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return 0;
  return static_cast<std::int64_t>(r);
}

// A real used as an integer: RealToInt64 cut to its low 32 bits
// (10000000000 gives 1410065408).
inline std::int32_t RealToInt(double v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(RealToInt64(v)));
}

}  // namespace px
