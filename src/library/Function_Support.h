// Building blocks for built-in function handlers: a handler made from a
// plain function of reals, and the conversions of arguments the families
// share.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "code/Code_Function.h"
#include "code/Code_Value.h"

namespace px {

template <class F>
struct RealArity;
template <class... A>
struct RealArity<double (*)(A...)> {
  static constexpr std::size_t value = sizeof...(A);
};

template <auto F, std::size_t... I>
double CallWithReals(const FunctionArgs& args, std::index_sequence<I...>) {
  return F(args[I].real...);
}

// The handler of a function that takes the real fields of its arguments and
// gives a real: RealHandler<Sqr> for double Sqr(double).
template <auto F>
void RealHandler(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs& args) {
  result.setReal(CallWithReals<F>(args, std::make_index_sequence<RealArity<decltype(F)>::value>{}));
}

// A real used as a count or a position: rounded, halves to even, and held
// within ±2^62 instead of wrapping, so a huge count means "all of it". NaN
// counts as 0.
inline std::int64_t RealToCount(double v) {
  constexpr double kLimit = 4611686018427387904.0;  // 2^62
  if (std::isnan(v)) return 0;
  return static_cast<std::int64_t>(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}

// An argument that stands for an integer: rounded, halves to even.
inline std::int32_t IntArg(const RValue& v) {
  return RealToInt(v.real);
}

// An argument that stands for a flag: true at 0.5 or more.
inline bool FlagArg(const RValue& v) {
  return v.real >= 0.5;
}

inline double Truth(bool b) {
  return b ? 1.0 : 0.0;
}

}  // namespace px
