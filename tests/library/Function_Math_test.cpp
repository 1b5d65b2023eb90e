// Values, random numbers, arithmetic and geometry as game code calls them.
#include "library/Function_Math.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <vector>

#include "code/Function_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::CallReal;
using pxtest::Real;
using pxtest::Str;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// ---- The random sequence ----
//
// Each draw advances the seed: seed = seed × 134775813 + 1 (mod 2^32). From
// seed 1 the seeds are
//   1 × 134775813 + 1                   = 134775814
//   134775814 × 134775813 + 1 mod 2^32  = 3698175007
//   3698175007 × 134775813 + 1 mod 2^32 = 870078620
// A real draw is the seed / 2^32; an integer draw for range n is
// (seed × n) >> 32.

TEST(RandomSequence, RealDrawsAfterSettingTheSeed) {
  const struct {
    double seed;
    std::vector<std::uint32_t> seeds;  // after each draw
  } cases[] = {
      {1, {134775814u, 3698175007u, 870078620u, 1172187917u}},
      {0, {1u, 134775814u, 3698175007u}},
      {12345, {1655067934u, 1242767767u, 342459380u, 2377737157u}},
      // −1 rounds to the integer −1, whose low 32 bits are 2^32 − 1.
      {-1, {4160191484u, 866343917u, 2231304098u}},
      // 2^32 + 1 keeps its low 32 bits; 2.5 rounds to even.
      {4294967297.0, {134775814u, 3698175007u}},
      {2.5, {269551627u}},
  };
  for (const auto& c : cases) {
    pxtest::TestRun run;
    Call(run, "random_set_seed", {Real(c.seed)});
    for (const std::uint32_t seed : c.seeds) {
      EXPECT_EQ(CallReal(run, "random", {1.0}), seed / 4294967296.0) << c.seed;
    }
  }
}

TEST(RandomSequence, ScaledDrawsAndTheSeedAsASignedInteger) {
  pxtest::TestRun run;
  Call(run, "random_set_seed", {Real(1)});
  // (134775813 + 1) × 2^−32 ≈ 0.0313799, times ten.
  EXPECT_DOUBLE_EQ(CallReal(run, "random", {10}), 0.31379939522594213);
  EXPECT_EQ(CallReal(run, "random_get_seed", {}), 134775814.0);
  // 3698175007 is above 2^31: read as signed it is 3698175007 − 2^32.
  EXPECT_DOUBLE_EQ(CallReal(run, "random_range", {5, 15}), 5 + 10 * (3698175007.0 / 4294967296.0));
  EXPECT_EQ(CallReal(run, "random_get_seed", {}), -596792289.0);
  Call(run, "random_set_seed", {Real(2147483648.0)});
  EXPECT_EQ(CallReal(run, "random_get_seed", {}), -2147483648.0);
}

TEST(RandomSequence, IntegerDraws) {
  pxtest::TestRun run;
  // irandom(9.7): range floor(9.7) + 1 = 10. From seed 1:
  // 134775814 × 10 >> 32 = 0, 3698175007 × 10 >> 32 = 8, 870078620 × 10 >> 32 = 2.
  Call(run, "random_set_seed", {Real(1)});
  for (const double expected : {0.0, 8.0, 2.0})
    EXPECT_EQ(CallReal(run, "irandom", {9.7}), expected);
  // irandom_range(-3, 3): −3 + a draw for range 7. From seed 7 the seeds are
  // 943430692, 3603733685, 1081369482, 2984843699, 275106944; times 7 >> 32
  // they give 1, 5, 1, 4, 0.
  Call(run, "random_set_seed", {Real(7)});
  for (const double expected : {-2.0, 2.0, -2.0, 1.0, -3.0})
    EXPECT_EQ(CallReal(run, "irandom_range", {-3, 3}), expected);
  // choose: the argument at a draw for range 3: 134775814 × 3 >> 32 = 0, then
  // 3698175007 × 3 >> 32 = 2. The whole value comes back.
  Call(run, "random_set_seed", {Real(1)});
  EXPECT_EQ(Call(run, "choose", {Str("a"), Real(2), Str("c")}), Str("a"));
  EXPECT_EQ(Call(run, "choose", {Str("a"), Real(2), Str("c")}), Str("c"));
  EXPECT_EQ(Call(run, "choose"), Real(0));
  // The full 32-bit span: a range of 2^32, whose draw is the seed itself.
  Call(run, "random_set_seed", {Real(0)});
  EXPECT_EQ(CallReal(run, "irandom_range", {-2147483648.0, 2147483647.0}), -2147483648.0 + 1);
}

TEST(RandomSequence, RandomizeSeedsFromTheHeadlessClock) {
  pxtest::TestRun run;
  run.platform->waitMicros(123456789);
  Call(run, "randomize");
  EXPECT_EQ(CallReal(run, "random_get_seed", {}), 123456789.0);
  // Only the counter's low 32 bits count.
  run.platform->waitMicros(4294967296LL - 123456789 + 5);
  Call(run, "randomize");
  EXPECT_EQ(CallReal(run, "random_get_seed", {}), 5.0);
  EXPECT_EQ(CallReal(run, "random", {1}), (5.0 * 134775813 + 1) / 4294967296.0);
}

// Every value of each range turns up, and nothing outside it.
TEST(RandomSequence, IntegerDrawsStayWithinTheirBounds) {
  const struct {
    const char* name;
    std::vector<double> args;
    double lo, hi;
  } cases[] = {
      {"irandom", {0}, 0, 0},
      {"irandom", {2.9}, 0, 2},
      {"irandom", {1}, 0, 1},
      // A negative bound counts down from 0: floor(−2.5) = −3.
      {"irandom", {-2.5}, -3, 0},
      {"irandom_range", {1, 5}, 1, 5},
      {"irandom_range", {5, 1}, 1, 5},
      {"irandom_range", {-2.5, 1.5}, -3, 1},
      {"irandom_range", {4, 4}, 4, 4},
  };
  for (const auto& c : cases) {
    pxtest::TestRun run;
    Call(run, "random_set_seed", {Real(99)});
    std::set<double> seen;
    for (int i = 0; i < 400; ++i) {
      std::vector<RValue> args;
      for (const double a : c.args) args.push_back(Real(a));
      seen.insert(pxtest::CallWith(run, c.name, args).real);
    }
    std::set<double> all;
    for (double v = c.lo; v <= c.hi; ++v) all.insert(v);
    EXPECT_EQ(seen, all) << c.name << "(" << c.args[0] << ")";
  }
}

TEST(RandomSequence, RealRangesStayWithinTheirBounds) {
  pxtest::TestRun run;
  for (int i = 0; i < 500; ++i) {
    const double r = CallReal(run, "random_range", {5, 10});
    EXPECT_GE(r, 5.0);
    EXPECT_LT(r, 10.0);
    const double down = CallReal(run, "random", {-3});
    EXPECT_LE(down, 0.0);
    EXPECT_GT(down, -3.0);
  }
}

// ---- Arithmetic ----

struct RealCase {
  const char* name;
  std::vector<double> args;
  double expected;
};

void ExpectReals(std::span<const RealCase> cases) {
  for (const RealCase& c : cases) {
    pxtest::TestRun run;
    std::vector<RValue> args;
    for (const double a : c.args) args.push_back(Real(a));
    const RValue r = pxtest::CallWith(run, c.name, args);
    EXPECT_FALSE(r.isString()) << c.name;
    EXPECT_PRED2(pxtest::SameReal, r.real, c.expected) << c.name << "(" << c.args[0] << ")";
    EXPECT_FALSE(run.rt.code.report.occurred) << c.name << ": " << run.rt.code.report.last;
  }
}

TEST(Arithmetic, RoundingToIntegers) {
  const RealCase cases[] = {
      {"round", {2.5}, 2},
      {"round", {3.5}, 4},
      {"round", {-2.5}, -2},
      {"round", {-2.6}, -3},
      {"round", {0.49999999999999994}, 0},
      // Beyond the 64-bit integers a real is already whole.
      {"round", {1e20}, 1e20},
      {"round", {-kInf}, -kInf},
      {"round", {kNaN}, kNaN},
      {"floor", {-0.5}, -1},
      {"floor", {2.7}, 2},
      {"floor", {-3}, -3},
      // 32-bit results: the low 32 bits of the truncation, read as signed.
      {"floor", {3000000000.0}, -1294967296},
      {"floor", {1e20}, 1661992960},  // 10^20 mod 2^32
      {"floor", {-1e20}, -1661992960},
      {"floor", {-2147483648.5}, 2147483647},  // −2^31 − 1 wraps
      {"floor", {kInf}, kInf},
      {"ceil", {-0.5}, 0},
      {"ceil", {2.1}, 3},
      {"ceil", {-2.9}, -2},
      {"ceil", {3000000000.5}, -1294967295},
      {"ceil", {2147483647.5}, -2147483648.0},
      {"frac", {2.75}, 0.75},
      {"frac", {-2.75}, -0.75},
      {"frac", {5}, 0},
      {"sign", {1e-14}, 0},
      {"sign", {-1e-14}, 0},
      {"sign", {1e-13}, 1},
      {"sign", {-1e-13}, -1},
      {"sign", {-7}, -1},
      {"sign", {0}, 0},
      {"abs", {-3.5}, 3.5},
      {"abs", {-kInf}, kInf},
  };
  ExpectReals(cases);
}

TEST(Arithmetic, PowersLogarithmsAndAngles) {
  const double pi = std::numbers::pi;
  const RealCase cases[] = {
      {"sqr", {-3}, 9},
      {"sqr", {1e200}, kInf},  // the overflow gives infinity
      {"sqrt", {16}, 4},
      {"sqrt", {0}, 0},
      {"exp", {0}, 1},
      {"exp", {-1000}, 0},  // underflow is no fault
      {"ln", {1}, 0},
      {"log2", {8}, 3},
      {"log10", {1000}, 3},
      {"power", {2, 10}, 1024},
      {"power", {-2, 3}, -8},
      {"power", {0, 0}, 1},
      {"logn", {2, 1024}, 10},
      {"sin", {0}, 0},
      {"cos", {0}, 1},
      {"arcsin", {1}, pi / 2},
      {"arccos", {1}, 0},
      {"arctan", {kInf}, pi / 2},
      {"arctan2", {1, 0}, pi / 2},
      {"arctan2", {0, -1}, pi},
      {"arctan2", {0, 0}, 0},
      {"degtorad", {180}, pi},
      {"radtodeg", {pi}, 180},
  };
  ExpectReals(cases);
}

// Each reports its message, non-fatally, and gives real 0.
TEST(Arithmetic, FaultsAreReportedWithTheFunctionsName) {
  const struct {
    const char* name;
    std::vector<double> args;
    const char* message;
  } cases[] = {
      {"sqrt", {-1}, "Cannot apply sqrt to negative number."},
      {"sqrt", {-kInf}, "Cannot apply sqrt to negative number."},
      {"exp", {1000}, "Error in function exp()."},
      {"ln", {0}, "Error in function ln()."},
      {"ln", {-1}, "Error in function ln()."},
      {"log2", {0}, "Error in function log2()."},
      {"log10", {-5}, "Error in function log10()."},
      {"arcsin", {2}, "Error in function arcsin()."},
      {"arccos", {-1.5}, "Error in function arccos()."},
      {"power", {0, -1}, "Error in function power()."},
      {"power", {-8, 1.0 / 3}, "Error in function power()."},
      {"power", {10, 400}, "Error in function power()."},
      {"logn", {1, 5}, "Error in function logn()."},
      {"logn", {2, -8}, "Error in function logn()."},
  };
  for (const auto& c : cases) {
    pxtest::TestRun run;
    std::vector<RValue> args;
    for (const double a : c.args) args.push_back(Real(a));
    EXPECT_EQ(pxtest::CallWith(run, c.name, args), Real(0)) << c.name;
    EXPECT_TRUE(run.rt.code.report.occurred) << c.name;
    EXPECT_THAT(run.rt.code.report.last, testing::EndsWith(c.message)) << c.name;
    EXPECT_FALSE(run.rt.code.report.aborting) << c.name;
  }
}

// A string argument is read by its real field, 0, whatever the function.
TEST(Arithmetic, StringArgumentsCountAsZero) {
  pxtest::TestRun run;
  EXPECT_EQ(Call(run, "abs", {Str("-5")}), Real(0));
  EXPECT_EQ(Call(run, "sqrt", {Str("x")}), Real(0));
  EXPECT_EQ(Call(run, "power", {Str("2"), Real(0)}), Real(1));
  EXPECT_FALSE(run.rt.code.report.occurred);
  EXPECT_EQ(Call(run, "ln", {Str("1")}), Real(0));
  EXPECT_THAT(run.rt.code.report.last, testing::EndsWith("Error in function ln()."));
}

TEST(Values, KindTests) {
  pxtest::TestRun run;
  EXPECT_EQ(Call(run, "is_real", {Real(3)}), Real(1));
  EXPECT_EQ(Call(run, "is_real", {Str("3")}), Real(0));
  EXPECT_EQ(Call(run, "is_string", {Str("")}), Real(1));
  EXPECT_EQ(Call(run, "is_string", {Real(0)}), Real(0));
}

// ---- Choosing among arguments ----

TEST(Arithmetic, MinimumMaximumMeanAndMedian) {
  const struct {
    const char* name;
    std::vector<RValue> args;
    RValue expected;
  } cases[] = {
      {"min", {Real(3), Real(-1), Real(2)}, Real(-1)},
      {"max", {Real(3), Real(-1), Real(7)}, Real(7)},
      {"max", {Real(5)}, Real(5)},
      {"max", {}, Real(0)},
      {"min", {}, Real(0)},
      // The string's real field 0 does not beat 1; then 3 does.
      {"max", {Real(1), Str("x"), Real(3)}, Real(3)},
      // Against a string a real competes with its empty string.
      {"max", {Str("b"), Real(5)}, Str("b")},
      {"min", {Str("b"), Str("a"), Real(9)}, Real(9)},
      {"max", {Str("b"), Str("ba"), Str("a")}, Str("ba")},
      {"min", {Real(2), Str("z")}, Str("z")},  // its real field 0 is below 2
      {"min3", {Real(3), Real(1), Real(2)}, Real(1)},
      {"max3", {Real(3), Real(1), Real(2)}, Real(3)},
      {"mean", {Real(1), Real(2), Real(3), Real(4)}, Real(2.5)},
      {"mean", {Real(4), Str("x")}, Real(2)},
      {"mean", {}, Real(0)},
      {"median", {Real(4), Real(1), Real(3), Real(2)}, Real(2)},
      {"median", {Real(5), Real(1), Real(3)}, Real(3)},
      {"median", {Real(2), Real(2), Real(1)}, Real(2)},
      {"median", {Str("a"), Real(-1), Real(5)}, Str("a")},
      {"median", {}, Real(0)},
  };
  for (const auto& c : cases) {
    pxtest::TestRun run;
    EXPECT_EQ(pxtest::CallWith(run, c.name, c.args), c.expected) << c.name;
  }
}

TEST(Arithmetic, SixteenArgumentsAreAllConsidered) {
  pxtest::TestRun run;
  std::vector<RValue> args;
  for (int i = 0; i < 16; ++i) args.push_back(Real(i == 15 ? 100 : i));
  EXPECT_EQ(pxtest::CallWith(run, "max", args), Real(100));
  EXPECT_EQ(pxtest::CallWith(run, "mean", args), Real((105.0 + 100.0) / 16));
}

// ---- Geometry ----

TEST(Geometry, DistancesDirectionsAndLengths) {
  const RealCase cases[] = {
      {"point_distance", {0, 0, 3, 4}, 5},
      {"point_distance", {1, 1, -2, -3}, 5},
      // Counter-clockwise with y growing downwards.
      {"point_direction", {0, 0, 1, -1}, 45},
      {"point_direction", {0, 0, 1, 1}, 315},
      {"point_direction", {0, 0, -1, 0}, 180},
      {"point_direction", {0, 0, 1, 0}, 0},
      {"point_direction", {0, 0, 0, 5}, 270},
      {"point_direction", {0, 0, 0, -5}, 90},
      {"point_direction", {3, 3, 3, 3}, 0},
      {"lengthdir_x", {10, 90}, 0},
      {"lengthdir_y", {10, 90}, -10},
      {"lengthdir_x", {10, 60}, 5},  // 5.000000000000001 snaps to 5
      {"lengthdir_y", {10, 180}, 0},
      {"lengthdir_x", {-4, 180}, 4},
      {"lengthdir_y", {1, 45}, -0.7071067811865475},  // too far from a whole number
  };
  ExpectReals(cases);
}

TEST(Arithmetic, FloorAndCeilingAsIntegers) {
  EXPECT_EQ(Floor32(-0.5), -1);
  EXPECT_EQ(Ceil32(-0.5), 0);
  EXPECT_EQ(Floor32(kNaN), 0);
  EXPECT_EQ(Ceil32(-kInf), 0);
}

}  // namespace
