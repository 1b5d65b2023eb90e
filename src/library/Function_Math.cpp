// Values, random numbers, arithmetic and plane geometry for game code.
#include "library/Function_Math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "code/Code_Error.h"
#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr double kTwoTo32 = 4294967296.0;

// The low 32 bits of a whole real, read as signed; fmod is exact.
std::int32_t Low32(double whole) {
  const auto low = static_cast<std::int64_t>(std::fmod(whole, kTwoTo32));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(low));
}

std::int32_t AddWrapping(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace

std::int32_t Floor32(double x) {
  if (!std::isfinite(x)) return 0;
  const double t = std::trunc(x);
  return AddWrapping(Low32(t), x < t ? -1 : 0);
}

std::int32_t Ceil32(double x) {
  if (!std::isfinite(x)) return 0;
  const double t = std::trunc(x);
  return AddWrapping(Low32(t), x > t ? 1 : 0);
}

namespace {

// ---- Values and random numbers ----

void IsReal(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
            const FunctionArgs& args) {
  result.setReal(Truth(!args[0].isString()));
}

void IsString(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
              const FunctionArgs& args) {
  result.setReal(Truth(args[0].isString()));
}

void Random(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
            const FunctionArgs& args) {
  result.setReal(rt.random.NextReal() * args[0].real);
}

void RandomRange(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs& args) {
  const double x1 = args[0].real, x2 = args[1].real;
  result.setReal(x1 + rt.random.NextReal() * (x2 - x1));
}

// A whole number from lo to hi inclusive (lo ≤ hi): lo + an integer draw for
// the range hi − lo + 1, which reaches 2^32 at most.
double DrawBetween(CRandom& random, std::int64_t lo, std::int64_t hi) {
  return static_cast<double>(
      lo + static_cast<std::int64_t>(random.NextBelow(static_cast<std::uint64_t>(hi - lo + 1))));
}

// A whole number from 0 to floor(x): for x ≥ 0 the draw for the range
// floor(x) + 1; a negative x gives floor(x) … 0 the same way rather than a
// draw for a negative range, which has no sensible meaning.
void IRandom(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
             const FunctionArgs& args) {
  const std::int64_t top = Floor32(args[0].real);
  if (top >= 0) {
    result.setReal(DrawBetween(rt.random, 0, top));
  } else {
    result.setReal(-DrawBetween(rt.random, 0, -top));
  }
}

// floor(x1) + a draw for the range floor(x2) − floor(x1) + 1; the bounds may
// come in either order.
void IRandomRange(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  const std::int64_t a = Floor32(args[0].real), b = Floor32(args[1].real);
  result.setReal(DrawBetween(rt.random, std::min(a, b), std::max(a, b)));
}

void RandomSetSeed(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                   const FunctionArgs& args) {
  rt.random.seed = static_cast<std::uint32_t>(RealToInt(args[0].real));
}

void RandomGetSeed(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                   const FunctionArgs&) {
  result.setReal(static_cast<std::int32_t>(rt.random.seed));
}

void Randomize(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
               const FunctionArgs&) {
  rt.random.SeedFromClock(rt.platform);
}

std::int32_t ArgumentCount(std::int32_t argc) {
  return std::clamp<std::int32_t>(argc, 0, static_cast<std::int32_t>(kMaxArguments));
}

void Choose(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
            const FunctionArgs& args) {
  const std::int32_t count = ArgumentCount(argc);
  if (count > 0) result = args[rt.random.NextInt(static_cast<std::uint32_t>(count))];
}

// ---- Arithmetic ----

double Abs(double x) {
  return std::fabs(x);
}
// Halves to even; reals beyond the 64-bit integers are already whole.
double Round(double x) {
  return std::nearbyint(x);
}
// NaN and infinities stay as they are.
double Floor(double x) {
  return std::isfinite(x) ? Floor32(x) : x;
}
double Ceil(double x) {
  return std::isfinite(x) ? Ceil32(x) : x;
}
double Sign(double x) {
  if (std::isnan(x)) return x;
  if (x <= -1e-13) return -1.0;
  return x < 1e-13 ? 0.0 : 1.0;
}
double Frac(double x) {
  return x - std::trunc(x);
}
double Sqr(double x) {
  return x * x;
}
double Sin(double x) {
  return std::sin(x);
}
double Cos(double x) {
  return std::cos(x);
}
double Tan(double x) {
  return std::tan(x);
}
double DegToRad(double x) {
  return x * std::numbers::pi / 180.0;
}
double RadToDeg(double x) {
  return x * 180.0 / std::numbers::pi;
}

void Sqrt(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
          const FunctionArgs& args) {
  const double x = args[0].real;
  if (x < 0.0) {
    RuntimeError(rt, "Cannot apply sqrt to negative number.");
    return;
  }
  result.setReal(std::sqrt(x));
}

// The functions whose floating-point faults are reported. A fault is an
// invalid operation (a NaN from arguments that are not NaN), a division by
// zero or an overflow (an infinity from finite arguments).
template <class... A>
bool Faulted(double result, A... inputs) {
  if (std::isnan(result)) return !(std::isnan(inputs) || ...);
  if (std::isinf(result)) return (std::isfinite(inputs) && ...);
  return false;
}

template <const char* Message, auto F>
void CheckedHandler(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                    const FunctionArgs& args) {
  constexpr std::size_t n = RealArity<decltype(F)>::value;
  const double value = CallWithReals<F>(args, std::make_index_sequence<n>{});
  bool fault = false;
  if constexpr (n == 1) {
    fault = Faulted(value, args[0].real);
  } else {
    fault = Faulted(value, args[0].real, args[1].real);
  }
  if (fault) {
    RuntimeError(rt, Message);
    return;
  }
  result.setReal(value);
}

double Exp(double x) {
  return std::exp(x);
}
double Ln(double x) {
  return std::log(x);
}
double Log2(double x) {
  return std::log2(x);
}
double Log10(double x) {
  return std::log10(x);
}
double ArcSin(double x) {
  return std::asin(x);
}
double ArcCos(double x) {
  return std::acos(x);
}
double ArcTan(double x) {
  return std::atan(x);
}
double ArcTan2(double y, double x) {
  return std::atan2(y, x);
}
double Power(double x, double n) {
  return std::pow(x, n);
}
double LogN(double n, double x) {
  return std::log(x) / std::log(n);
}

constexpr char kExpError[] = "Error in function exp().";
constexpr char kLnError[] = "Error in function ln().";
constexpr char kLog2Error[] = "Error in function log2().";
constexpr char kLog10Error[] = "Error in function log10().";
constexpr char kArcSinError[] = "Error in function arcsin().";
constexpr char kArcCosError[] = "Error in function arccos().";
constexpr char kArcTanError[] = "Error in function arctan().";
constexpr char kArcTan2Error[] = "Error in function arctan2().";
constexpr char kPowerError[] = "Error in function power().";
constexpr char kLogNError[] = "Error in function logn().";

// min and max: the result starts as the first argument; a later argument
// replaces it when it compares lower (higher) in the current result's kind:
// by real field against a real, by ordinal byte comparison of the string
// field against a string. The candidate's kind is not looked at.
template <bool Highest>
void Extreme(std::int32_t count, RValue& result, const FunctionArgs& args) {
  if (count <= 0) return;
  result = args[0];
  for (std::int32_t i = 1; i < count; ++i) {
    const RValue& c = args[i];
    bool better = false;
    if (result.isString()) {
      const int order = c.str().compare(result.str());
      better = Highest ? order > 0 : order < 0;
    } else {
      better = Highest ? c.real > result.real : c.real < result.real;
    }
    if (better) result = c;
  }
}

void Min(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
         const FunctionArgs& args) {
  Extreme<false>(ArgumentCount(argc), result, args);
}

void Max(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
         const FunctionArgs& args) {
  Extreme<true>(ArgumentCount(argc), result, args);
}

void Min3(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
          const FunctionArgs& args) {
  Extreme<false>(3, result, args);
}

void Max3(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
          const FunctionArgs& args) {
  Extreme<true>(3, result, args);
}

void Mean(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
          const FunctionArgs& args) {
  const std::int32_t count = ArgumentCount(argc);
  if (count == 0) return;
  double sum = 0.0;
  for (std::int32_t i = 0; i < count; ++i) sum += args[i].real;
  result.setReal(sum / count);
}

// The first argument c with i < count / 2 ≤ j, where i counts the arguments
// below c and j those at or below it: for an even count the lower middle.
void Median(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
            const FunctionArgs& args) {
  const std::int32_t count = ArgumentCount(argc);
  const double half = count / 2.0;
  for (std::int32_t k = 0; k < count; ++k) {
    const double c = args[k].real;
    std::int32_t below = 0, atOrBelow = 0;
    for (std::int32_t m = 0; m < count; ++m) {
      below += args[m].real < c;
      atOrBelow += args[m].real <= c;
    }
    if (below < half && half <= atOrBelow) {
      result = args[k];
      return;
    }
  }
}

// ---- Geometry ----

double PointDistance(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  return std::sqrt(dx * dx + dy * dy);
}

// Degrees counter-clockwise on a screen whose y grows downwards, 0 … 360.
double PointDirection(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  if (dx == 0.0) {
    if (dy > 0.0) return 270.0;
    return dy < 0.0 ? 90.0 : 0.0;
  }
  const double a = RadToDeg(std::atan2(dy, dx));
  return a > 0.0 ? 360.0 - a : -a;
}

// A value within 0.0001 of a whole number becomes that number, so that
// lengthdir_x(10, 90) is exactly 0.
double Snap(double v) {
  const double whole = std::nearbyint(v);
  return std::fabs(v - whole) < 0.0001 ? whole : v;
}

double LengthDirX(double len, double dir) {
  return Snap(len * std::cos(DegToRad(dir)));
}

double LengthDirY(double len, double dir) {
  return Snap(-len * std::sin(DegToRad(dir)));
}

constexpr FunctionDef kMathFunctions[] = {
    {"is_real", IsReal},
    {"is_string", IsString},
    {"random", Random},
    {"random_range", RandomRange},
    {"irandom", IRandom},
    {"irandom_range", IRandomRange},
    {"random_set_seed", RandomSetSeed},
    {"random_get_seed", RandomGetSeed},
    {"randomize", Randomize},
    {"abs", RealHandler<Abs>},
    {"round", RealHandler<Round>},
    {"floor", RealHandler<Floor>},
    {"ceil", RealHandler<Ceil>},
    {"sign", RealHandler<Sign>},
    {"frac", RealHandler<Frac>},
    {"sqrt", Sqrt},
    {"sqr", RealHandler<Sqr>},
    {"exp", CheckedHandler<kExpError, Exp>},
    {"ln", CheckedHandler<kLnError, Ln>},
    {"log2", CheckedHandler<kLog2Error, Log2>},
    {"log10", CheckedHandler<kLog10Error, Log10>},
    {"sin", RealHandler<Sin>},
    {"cos", RealHandler<Cos>},
    {"tan", RealHandler<Tan>},
    {"arcsin", CheckedHandler<kArcSinError, ArcSin>},
    {"arccos", CheckedHandler<kArcCosError, ArcCos>},
    {"arctan", CheckedHandler<kArcTanError, ArcTan>},
    {"arctan2", CheckedHandler<kArcTan2Error, ArcTan2>},
    {"degtorad", RealHandler<DegToRad>},
    {"radtodeg", RealHandler<RadToDeg>},
    {"power", CheckedHandler<kPowerError, Power>},
    {"logn", CheckedHandler<kLogNError, LogN>},
    {"min", Min},
    {"max", Max},
    {"min3", Min3},
    {"max3", Max3},
    {"mean", Mean},
    {"median", Median},
    {"choose", Choose},
    {"point_distance", RealHandler<PointDistance>},
    {"point_direction", RealHandler<PointDirection>},
    {"lengthdir_x", RealHandler<LengthDirX>},
    {"lengthdir_y", RealHandler<LengthDirY>},
};

}  // namespace

std::span<const FunctionDef> MathFunctions() {
  return kMathFunctions;
}

}  // namespace px
