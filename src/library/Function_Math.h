// Built-in functions of values, arithmetic, random numbers, conversions,
// strings and plane geometry.
#pragma once

#include <cstdint>
#include <span>

#include "library/Function_List.h"

namespace px {

// is_real … choose, abs … median, point_distance … lengthdir_y.
std::span<const FunctionDef> MathFunctions();
// real, string, string_format, chr, ord and the string_* functions.
std::span<const FunctionDef> StringFunctions();

// floor and ceil as 32-bit integers: the low 32 bits of the value truncated
// toward zero, read as signed, then moved down (floor) or up (ceil) by one
// when there is a fraction, wrapping at the 32-bit ends
// (floor(3000000000) is −1294967296). 0 for NaN and infinities.
std::int32_t Floor32(double x);
std::int32_t Ceil32(double x);

}  // namespace px
