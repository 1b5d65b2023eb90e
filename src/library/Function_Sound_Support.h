// Argument helpers shared by the sound function files.
#pragma once

#include <climits>

#include "code/Code_Value.h"
#include "library/Function_Support.h"

namespace px {

// A real as an int: rounded, halves to even, held to the int range.
inline int RoundedInt(const RValue& v) {
  return static_cast<int>(std::clamp<std::int64_t>(RealToCount(v.real), INT_MIN, INT_MAX));
}

inline float Float(const RValue& v) {
  return static_cast<float>(v.real);
}

}  // namespace px
