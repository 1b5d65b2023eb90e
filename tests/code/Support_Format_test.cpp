// Reals as text and text as reals.
#include "code/Support_Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace px;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(RealToText, WholeNumbersAsIntegersOthersWithTwoDecimals) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {5, "5"},
      {-12, "-12"},
      {-0.0, "0"},
      {1e15, "1000000000000000"},
      {-9223372036854775808.0, "-9223372036854775808"},
      {0.1, "0.10"},
      {-2.5, "-2.50"},
      // Exact halves go away from zero; others round to the nearest.
      {0.125, "0.13"},
      {-0.125, "-0.13"},
      {0.375, "0.38"},
      {2.675, "2.67"},  // 2.67499999999999982236431605997495353221893310546875
      {1.005, "1.00"},  // 1.00499999999999989341858963598497211933135986328125
      {0.005, "0.01"},  // 0.005000000000000000104083408558608425664715468883514404296875
      {0.999, "1.00"},
      {-0.001, "0.00"},  // no sign in front of zero
      // At most 10 significant digits: past them the decimals are 0.
      {123456789.125, "123456789.10"},
      {1234567890.5, "1234567891.00"},
      {1234567890.25, "1234567890.00"},
      // More than 10 integer digits: exponent form.
      {12345678901.5, "1.234567890E+10"},
      // No text: beyond the 64-bit integers, NaN, infinities.
      {1e20, "ERROR"},
      {9223372036854775808.0, "ERROR"},
      {kNaN, "ERROR"},
      {-kInf, "ERROR"},
  };
  for (const auto& c : cases) EXPECT_EQ(RealToText(c.value), c.text) << c.value;
}

TEST(RealToFixed, DecimalsSignificantDigitsAndExponentForm) {
  const struct {
    double value;
    int decimals;
    int significant;
    const char* text;
  } cases[] = {
      {3.14159, 3, 18, "3.142"},
      {3.14159, 0, 18, "3"},
      {2.5, 0, 18, "3"},
      {-3.5, 0, 18, "-4"},
      {9.995, 2, 18, "9.99"},  // 9.9949999999999992184029906638897955417633056640625
      {99.5, 0, 18, "100"},
      {-99.95, 1, 18, "-100.0"},  // -99.9500000000000028421709430404007434844970703125
      {0.0, 3, 18, "0.000"},
      {7, -2, 18, "7"},  // negative decimals count as none
      // 18 significant digits of 1/3 = 0.333333333333333314829616256…
      {1.0 / 3, 20, 18, "0.33333333333333331500"},
      {1e-20, 22, 18, "0.0000000000000000000100"},
      {1e20, 2, 18, "1.00000000000000000E+20"},
      {-123456789012345683968.0, 2, 18, "-1.23456789012345684E+20"},
      // 2^50 + 0.25 is exactly halfway at one decimal: away from zero.
      {1125899906842624.25, 1, 18, "1125899906842624.3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RealToFixed(c.value, c.decimals, c.significant), c.text)
        << c.value << " " << c.decimals;
  }
  EXPECT_EQ(RealToFixed(kNaN, 2, 18), std::nullopt);
  EXPECT_EQ(RealToFixed(kInf, 2, 18), std::nullopt);
}

TEST(TextToReal, DecimalNumbersWithOptionalSignAndExponent) {
  const struct {
    const char* text;
    double value;
  } numbers[] = {
      {"12.5", 12.5}, {"", 0},      {"  \t\r\n", 0},  {" -1.5e3 ", -1500}, {"+2", 2},
      {".5", 0.5},    {"5.", 5},    {"1E2", 100},     {"1e+2", 100},       {"007", 7},
      {"1e-400", 0},  {"-0", -0.0}, {"\t42\r\n", 42}, {"1e308", 1e308},
  };
  for (const auto& c : numbers) EXPECT_EQ(TextToReal(c.text), c.value) << c.text;

  const char* notNumbers[] = {"abc", "1,5",   "0x10", "inf", "nan",   "1e",  "--1", "+",
                              ".",   "1.2.3", "1 2",  "e5",  "1e400", "$10", "5a"};
  for (const char* text : notNumbers) EXPECT_EQ(TextToReal(text), std::nullopt) << text;
}

}  // namespace
