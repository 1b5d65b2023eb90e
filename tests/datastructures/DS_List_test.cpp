// Lists: positions, searches, the two sort orders and the shuffle.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "datastructures/DS_TestSupport.h"
#include "datastructures/Support_Data_Structures.h"

namespace {

using pxtest::Describe;
using pxtest::DsRun;
using pxtest::Real;
using pxtest::Str;

std::vector<std::string> Contents(DsRun& run, const px::RValue& list) {
  std::vector<std::string> out;
  const auto n = static_cast<int>(run.Num("ds_list_size", {list}));
  for (int i = 0; i < n; ++i)
    out.push_back(Describe(run.Call("ds_list_find_value", {list, Real(i)})));
  return out;
}

px::RValue ListOf(DsRun& run, std::initializer_list<px::RValue> items) {
  const px::RValue list = run.Call("ds_list_create");
  for (const px::RValue& v : items) run.Call("ds_list_add", {list, v});
  return list;
}

using Strings = std::vector<std::string>;

TEST(DsList, PositionsOutsideTheListChangeNothing) {
  struct Case {
    const char* function;
    double pos;
    Strings expected;
  } cases[] = {
      {"ds_list_insert", 0, {"9", "1", "2", "3"}},
      {"ds_list_insert", 1.5, {"1", "2", "9", "3"}},  // positions round halves to even
      {"ds_list_insert", 3, {"1", "2", "3", "9"}},
      {"ds_list_insert", 4, {"1", "2", "3"}},
      {"ds_list_insert", -1, {"1", "2", "3"}},
      {"ds_list_replace", 0, {"9", "2", "3"}},
      {"ds_list_replace", 2, {"1", "2", "9"}},
      {"ds_list_replace", 3, {"1", "2", "3"}},
      {"ds_list_replace", -1, {"1", "2", "3"}},
      {"ds_list_replace", 1e30, {"1", "2", "3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.function) + " at " + std::to_string(c.pos));
    DsRun run;
    const px::RValue list = ListOf(run, {Real(1), Real(2), Real(3)});
    run.Call(c.function, {list, Real(c.pos), Real(9)});
    EXPECT_EQ(Contents(run, list), c.expected);
    EXPECT_EQ(run.TakeError(), "");
  }
  struct Delete {
    double pos;
    Strings expected;
  } deletes[] = {{0, {"2", "3"}},
                 {1, {"1", "3"}},
                 {2, {"1", "2"}},
                 {3, {"1", "2", "3"}},
                 {-1, {"1", "2", "3"}}};
  for (const Delete& d : deletes) {
    DsRun run;
    const px::RValue list = ListOf(run, {Real(1), Real(2), Real(3)});
    run.Call("ds_list_delete", {list, Real(d.pos)});
    EXPECT_EQ(Contents(run, list), d.expected) << d.pos;
  }
}

TEST(DsList, FindsValuesAndIndices) {
  DsRun run;
  const px::RValue list = ListOf(run, {Real(0.1 + 0.2), Str("a"), Real(0.3), Str("A")});
  EXPECT_EQ(run.Num("ds_list_find_index", {list, Real(0.3)}), 0);
  EXPECT_EQ(run.Num("ds_list_find_index", {list, Str("A")}), 3);
  EXPECT_EQ(run.Num("ds_list_find_index", {list, Str("b")}), -1);
  EXPECT_EQ(run.Num("ds_list_find_index", {list, Real(0)}), -1);
  EXPECT_EQ(run.Call("ds_list_find_value", {list, Real(1)}), Str("a"));
  EXPECT_EQ(run.Call("ds_list_find_value", {list, Real(4)}), Real(0));
  EXPECT_EQ(run.Call("ds_list_find_value", {list, Real(-1)}), Real(0));
  EXPECT_EQ(run.Num("ds_list_empty", {list}), 0);

  const px::RValue copy = run.Call("ds_list_create");
  run.Call("ds_list_copy", {copy, list});
  run.Call("ds_list_clear", {list});
  EXPECT_EQ(run.Num("ds_list_empty", {list}), 1);
  EXPECT_EQ(Contents(run, copy),
            (Strings{"0.30000000000000004", "'a'", "0.29999999999999999", "'A'"}));
}

TEST(DsList, SortsRealsBeforeStringsBothWays) {
  struct Case {
    std::vector<px::RValue> items;
    bool ascending;
    Strings expected;
  } cases[] = {
      {{Real(3), Str("b"), Real(1), Str("a")}, true, {"1", "3", "'a'", "'b'"}},
      {{Real(3), Str("b"), Real(1), Str("a")}, false, {"'b'", "'a'", "3", "1"}},
      {{Str("b"), Str("B"), Str("ab"), Str("a"), Str("")},
       true,
       {"''", "'B'", "'a'", "'ab'", "'b'"}},
      {{Real(-2), Real(10), Real(-30), Real(0)}, false, {"10", "0", "-2", "-30"}},
      {{Real(5)}, true, {"5"}},
      {{}, false, {}},
  };
  for (const Case& c : cases) {
    DsRun run;
    const px::RValue list = run.Call("ds_list_create");
    for (const px::RValue& v : c.items) run.Call("ds_list_add", {list, v});
    run.Call("ds_list_sort", {list, Real(c.ascending ? 1 : 0)});
    EXPECT_EQ(Contents(run, list), c.expected);
  }
}

// Equal elements keep their order when sorting up and are reversed when
// sorting down; reals within the precision of each other count as equal.
TEST(DsList, SortKeepsEqualElementsAscendingAndReversesThemDescending) {
  for (const bool ascending : {true, false}) {
    DsRun run;
    const px::RValue list =
        ListOf(run, {Real(2), Real(1 + 1e-9), Real(2 + 1e-9), Real(1), Real(1 - 1e-9)});
    run.Call("ds_list_sort", {list, Real(ascending ? 0.5 : 0.49)});
    const Strings up = {"1.0000000010000001", "1", "0.99999999900000003", "2",
                        "2.0000000010000001"};
    const Strings down = {"2.0000000010000001", "2", "0.99999999900000003", "1",
                          "1.0000000010000001"};
    EXPECT_EQ(Contents(run, list), ascending ? up : down);
  }
}

// What a list of any length must come out as: the insertion sort that
// swaps an element with its left neighbour while it goes before it.
std::vector<px::RValue> InsertionSorted(std::vector<px::RValue> items, bool ascending,
                                        const px::ElementOrder& order) {
  for (std::size_t p = 1; p < items.size(); ++p) {
    for (std::size_t q = p; q > 0; --q) {
      const int c = order.Compare(items[q - 1], items[q]);
      if (ascending ? c <= 0 : c > 0) break;
      std::swap(items[q - 1], items[q]);
    }
  }
  return items;
}

TEST(DsList, LongListsSortAsTheInsertionSortDoes) {
  std::mt19937 gen(7);
  for (const std::size_t n : {33u, 64u, 100u, 1000u, 2500u}) {
    for (const bool ascending : {true, false}) {
      // Few distinct values, so equal elements are common. Reals of a group
      // differ by less than the precision, so they compare equal while
      // their printed forms show where each one ended up.
      std::vector<px::RValue> items;
      for (std::size_t i = 0; i < n; ++i) {
        const int v = static_cast<int>(gen() % 20);
        items.push_back(v < 14 ? Real(v + static_cast<double>(i) * 1e-12)
                               : Str(std::string(1, static_cast<char>('a' + v % 3)).c_str()));
      }
      DsRun run;
      const px::RValue list = run.Call("ds_list_create");
      for (const px::RValue& v : items) run.Call("ds_list_add", {list, v});
      run.Call("ds_list_sort", {list, Real(ascending)});
      const std::vector<px::RValue> expected = InsertionSorted(items, ascending, run.rt.ds.order);
      for (std::size_t i = 0; i < n; ++i) {
        const px::RValue got = run.Call("ds_list_find_value", {list, Real(static_cast<double>(i))});
        ASSERT_EQ(got, expected[i]) << "n " << n << " position " << i << ": " << Describe(got)
                                    << " instead of " << Describe(expected[i]);
      }
    }
  }
}

TEST(DsList, ShuffleDrawsTwoPositionsPerSwapFromTheGameGenerator) {
  DsRun run;
  const px::RValue list = run.Call("ds_list_create");
  for (int i = 0; i < 10; ++i) run.Call("ds_list_add", {list, Real(i)});
  run.rt.random.seed = 12345;
  run.Call("ds_list_shuffle", {list});

  // The same swaps done by hand from the same seed.
  px::CRandom reference;
  reference.seed = 12345;
  std::vector<int> expected(10);
  for (int i = 0; i < 10; ++i) expected[static_cast<std::size_t>(i)] = i;
  for (int k = 0; k < 80; ++k) {
    const std::uint32_t a = reference.NextInt(10);
    const std::uint32_t b = reference.NextInt(10);
    std::swap(expected[a], expected[b]);
  }
  Strings want;
  for (int v : expected) want.push_back(std::to_string(v));
  EXPECT_EQ(Contents(run, list), want);
  EXPECT_NE(want, (Strings{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_EQ(run.rt.random.seed, reference.seed);

  // An empty list draws nothing.
  const px::RValue empty = run.Call("ds_list_create");
  run.Call("ds_list_shuffle", {empty});
  EXPECT_EQ(run.rt.random.seed, reference.seed);
}

}  // namespace
