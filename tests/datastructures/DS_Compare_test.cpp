// The comparison rule behind every search and ordering of the containers,
// and the combination rule of grid cells.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "datastructures/DS_TestSupport.h"
#include "datastructures/Support_Data_Structures.h"

namespace {

using namespace px;
using pxtest::Real;
using pxtest::Str;

TEST(ElementOrder, ComparesByKindThenValueWithinThePrecision) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double precision;
    RValue a, b;
    int expected;
  } cases[] = {
      {1e-8, Real(0.1 + 0.2), Real(0.3), 0},
      {1e-8, Real(1), Real(1 + 2e-8), -1},
      {1e-8, Real(1 + 2e-8), Real(1), 1},
      {1e-8, Real(5), Real(5 + 0.9e-8), 0},
      {0.5, Real(1), Real(1.4), 0},
      {0.5, Real(1), Real(1.6), -1},
      // Precision 0: a tolerance relative to the smaller magnitude, at least 1e-12.
      {0, Real(0.1 + 0.2), Real(0.3), 0},
      {0, Real(1), Real(1.000001), -1},
      {0, Real(1e6), Real(1e6 + 0.5e-6), 0},
      {0, Real(1e6), Real(1e6 + 2e-6), -1},
      {0, Real(0), Real(0.5e-12), 0},
      {0, Real(0), Real(2e-12), -1},
      // Strings: bytes as unsigned, then length; case matters.
      {1e-8, Str("abc"), Str("abd"), -1},
      {1e-8, Str("ab"), Str("abc"), -1},
      {1e-8, Str("B"), Str("a"), -1},
      {1e-8, Str("\xE9"), Str("z"), 1},
      {1e-8, Str("same"), Str("same"), 0},
      {1e-8, Str(""), Str(""), 0},
      // A real is smaller than any string, even the empty one.
      {1e-8, Real(1e300), Str(""), -1},
      {1e-8, Str("0"), Real(0), 1},
      // Infinities equal themselves; NaN equals NaN and lies above every real.
      {1e-8, Real(inf), Real(inf), 0},
      {1e-8, Real(-inf), Real(inf), -1},
      {1e-8, Real(nan), Real(nan), 0},
      {1e-8, Real(nan), Real(inf), 1},
      {1e-8, Real(-5), Real(nan), -1},
  };
  for (const Case& c : cases) {
    const ElementOrder order{c.precision};
    SCOPED_TRACE(pxtest::Describe(c.a) + " vs " + pxtest::Describe(c.b) + " at " +
                 std::to_string(c.precision));
    EXPECT_EQ(order.Compare(c.a, c.b), c.expected);
    EXPECT_EQ(order.Compare(c.b, c.a), -c.expected);
  }
}

TEST(ElementOrder, PrecisionIsSetAsItsMagnitude) {
  pxtest::DsRun run;
  const double list = run.Num("ds_list_create");
  run.Call("ds_list_add", {Real(list), Real(1)});
  EXPECT_EQ(run.Num("ds_list_find_index", {Real(list), Real(1.3)}), -1);
  run.Call("ds_set_precision", {Real(-0.5)});
  EXPECT_EQ(run.rt.ds.order.precision, 0.5);
  EXPECT_EQ(run.Num("ds_list_find_index", {Real(list), Real(1.3)}), 0);
  run.Call("ds_set_precision", {Real(0)});
  EXPECT_EQ(run.Num("ds_list_find_index", {Real(list), Real(1.000001)}), -1);
  EXPECT_EQ(run.Num("ds_list_find_index", {Real(list), Real(1 + 1e-13)}), 0);
}

TEST(Combine, SetAddAndMultiplyByKinds) {
  struct Case {
    Combination how;
    RValue cell, value, expected;
  } cases[] = {
      {Combination::Set, Real(2), Str("x"), Str("x")},
      {Combination::Set, Str("x"), Real(3), Real(3)},
      {Combination::Add, Real(2), Real(3), Real(5)},
      {Combination::Add, Str("ab"), Str("cd"), Str("abcd")},
      {Combination::Add, Real(2), Str("cd"), Str("cd")},
      {Combination::Add, Str("ab"), Real(3), Real(3)},
      {Combination::Multiply, Real(2), Real(3), Real(6)},
      {Combination::Multiply, Str("ab"), Real(3), Str("ab")},
      {Combination::Multiply, Real(2), Str("cd"), Real(2)},
      {Combination::Multiply, Str("ab"), Str("cd"), Str("ab")},
  };
  for (const Case& c : cases) {
    RValue cell = c.cell;
    Combine(cell, c.value, c.how);
    EXPECT_EQ(cell, c.expected) << pxtest::Describe(c.cell) << " with " << pxtest::Describe(c.value)
                                << " gave " << pxtest::Describe(cell);
  }
  // A cell combined with itself (a grid region copied onto itself).
  RValue text = Str("ab");
  Combine(text, text, Combination::Add);
  EXPECT_EQ(text, Str("abab"));
}

}  // namespace
