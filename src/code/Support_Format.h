// Reals as text and text as reals, the way game code converts them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace px {

// A whole number as an integer ("5", "-12"); any other real in fixed
// notation with two decimals and at most 10 significant digits ("0.10",
// "123456789.10"), or in exponent form when it has more than 10 integer
// digits. "ERROR" for a real with no such text (NaN, infinities, whole
// numbers beyond the 64-bit integers).
std::string RealToText(double v);

// Fixed notation with exactly `decimals` decimals; digits past the first
// `significant` significant ones are written as 0, and a number with more
// than `significant` integer digits is written in exponent form
// ("1.234567890E+10"). Rounds to nearest, exact halves away from zero.
// Nothing for NaN and infinities.
std::optional<std::string> RealToFixed(double v, int decimals, int significant);

// A decimal number with "." as separator: optional sign, digits with at most
// one point, optional exponent; spaces and control characters around it are
// ignored and a blank text reads as 0. Nothing when the text is not such a
// number or is too large for a real (too small ones read as 0).
std::optional<double> TextToReal(std::string_view text);

}  // namespace px
