// Maps: key order with equal keys side by side, the neighbour searches, and
// a long random run against a plain sorted array doing the same.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "code/Variable_Class.h"
#include "datastructures/DS_TestSupport.h"

namespace {

using pxtest::Describe;
using pxtest::DsRun;
using pxtest::Real;
using pxtest::Str;

using Pairs = std::vector<std::pair<std::string, std::string>>;

// The pairs in stored order, as the map's text gives them.
Pairs Contents(DsRun& run, const px::RValue& map) {
  px::CStream s;
  px::HexToStream(s, run.Text("ds_map_write", {map}));
  EXPECT_EQ(px::StreamReadInt(s), 401);
  const auto n = static_cast<std::size_t>(px::StreamReadInt(s));
  Pairs pairs(n);
  for (auto& p : pairs) p.first = Describe(px::StreamReadValue(s));
  for (auto& p : pairs) p.second = Describe(px::StreamReadValue(s));
  return pairs;
}

TEST(DsMap, EqualKeysStayInTheOrderAdded) {
  DsRun run;
  const px::RValue map = run.Call("ds_map_create");
  run.Call("ds_map_add", {map, Real(5), Str("first five")});
  run.Call("ds_map_add", {map, Str("k"), Real(1)});
  run.Call("ds_map_add", {map, Real(1), Str("one")});
  run.Call("ds_map_add", {map, Real(5 + 1e-9), Str("second five")});
  run.Call("ds_map_add", {map, Real(3), Str("three")});
  EXPECT_EQ(Contents(run, map), (Pairs{{"1", "'one'"},
                                       {"3", "'three'"},
                                       {"5", "'first five'"},
                                       {"5.0000000010000001", "'second five'"},
                                       {"'k'", "1"}}));
  EXPECT_EQ(run.Num("ds_map_size", {map}), 5);
  EXPECT_EQ(run.Call("ds_map_find_value", {map, Real(5)}), Str("first five"));
  run.Call("ds_map_replace", {map, Real(5), Str("replaced")});
  EXPECT_EQ(run.Call("ds_map_find_value", {map, Real(5)}), Str("replaced"));
  run.Call("ds_map_delete", {map, Real(5)});
  EXPECT_EQ(run.Call("ds_map_find_value", {map, Real(5)}), Str("second five"));
  EXPECT_EQ(run.Num("ds_map_exists", {map, Real(5)}), 1);
  run.Call("ds_map_delete", {map, Real(5)});
  EXPECT_EQ(run.Num("ds_map_exists", {map, Real(5)}), 0);
  EXPECT_EQ(run.Call("ds_map_find_value", {map, Real(5)}), Real(0));
  // Replacing or deleting a missing key changes nothing.
  run.Call("ds_map_replace", {map, Real(4), Str("four")});
  run.Call("ds_map_delete", {map, Str("K")});
  EXPECT_EQ(Contents(run, map), (Pairs{{"1", "'one'"}, {"3", "'three'"}, {"'k'", "1"}}));
  EXPECT_EQ(run.TakeError(), "");
}

TEST(DsMap, NeighbourFirstAndLastKeys) {
  DsRun run;
  const px::RValue map = run.Call("ds_map_create");
  EXPECT_EQ(run.Call("ds_map_find_first", {map}), Real(0));
  EXPECT_EQ(run.Call("ds_map_find_last", {map}), Real(0));
  EXPECT_EQ(run.Call("ds_map_find_next", {map, Real(1)}), Real(0));
  for (const px::RValue& key : {Real(5), Str("b"), Real(1), Str("a"), Real(3)}) {
    run.Call("ds_map_add", {map, key, Real(0)});
  }
  struct Case {
    px::RValue key;
    px::RValue previous, next;
  } cases[] = {
      {Real(2), Real(1), Real(3)},   {Real(1), Real(0), Real(3)},
      {Real(0), Real(0), Real(1)},   {Real(3), Real(1), Real(5)},
      {Real(5), Real(3), Str("a")},  {Real(99), Real(5), Str("a")},
      {Str("a"), Real(5), Str("b")}, {Str("ab"), Str("a"), Str("b")},
      {Str("b"), Str("a"), Real(0)}, {Real(3 + 1e-9), Real(1), Real(5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.key));
    EXPECT_EQ(run.Call("ds_map_find_previous", {map, c.key}), c.previous);
    EXPECT_EQ(run.Call("ds_map_find_next", {map, c.key}), c.next);
  }
  EXPECT_EQ(run.Call("ds_map_find_first", {map}), Real(1));
  EXPECT_EQ(run.Call("ds_map_find_last", {map}), Str("b"));
}

TEST(DsMap, CopyAndClearAreIndependent) {
  DsRun run;
  const px::RValue map = run.Call("ds_map_create");
  for (int i = 0; i < 100; ++i) run.Call("ds_map_add", {map, Real(i % 7), Real(i)});
  const px::RValue copy = run.Call("ds_map_create");
  run.Call("ds_map_add", {copy, Str("gone"), Real(0)});
  run.Call("ds_map_copy", {copy, map});
  const Pairs before = Contents(run, map);
  EXPECT_EQ(Contents(run, copy), before);
  run.Call("ds_map_clear", {map});
  EXPECT_EQ(run.Num("ds_map_empty", {map}), 1);
  EXPECT_EQ(run.Call("ds_map_find_first", {map}), Real(0));
  EXPECT_EQ(Contents(run, copy), before);
  // The copy goes on working as a map of its own.
  run.Call("ds_map_add", {copy, Real(3), Str("new")});
  run.Call("ds_map_delete", {copy, Real(0)});
  EXPECT_EQ(run.Num("ds_map_size", {copy}), 100);
  EXPECT_EQ(run.Call("ds_map_find_value", {copy, Real(0)}), Real(7));
}

// The order every map function must keep, done on a plain array: a pair
// goes after the last key that compares less than or equal to it, look-ups
// find the first equal key.
struct ModelMap {
  px::ElementOrder order;
  std::vector<std::pair<px::RValue, px::RValue>> pairs;

  std::ptrdiff_t firstEqual(const px::RValue& key) const {
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      if (order.Equal(pairs[i].first, key)) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
  }
  void add(const px::RValue& key, const px::RValue& value) {
    std::size_t at = pairs.size();
    while (at > 0 && order.Compare(pairs[at - 1].first, key) > 0) --at;
    pairs.insert(pairs.begin() + static_cast<std::ptrdiff_t>(at), {key, value});
  }
  px::RValue previous(const px::RValue& key) const {
    px::RValue found;
    for (const auto& p : pairs) {
      if (order.Compare(p.first, key) < 0) found = p.first;
    }
    return found;
  }
  px::RValue next(const px::RValue& key) const {
    for (const auto& p : pairs) {
      if (order.Compare(p.first, key) > 0) return p.first;
    }
    return px::RValue{};
  }
};

TEST(DsMap, LongRandomRunMatchesASortedArray) {
  DsRun run;
  ModelMap model;
  const px::RValue map = run.Call("ds_map_create");
  std::mt19937 gen(2024);
  auto randomKey = [&] {
    const unsigned k = gen() % 60;
    if (k < 40) return Real(k / 2.0);
    return Str(std::string(1 + k % 3, static_cast<char>('a' + k % 5)).c_str());
  };
  for (int step = 0; step < 6000; ++step) {
    const px::RValue key = randomKey();
    SCOPED_TRACE("step " + std::to_string(step) + " key " + Describe(key));
    switch (gen() % 6) {
      case 0:
      case 1:
      case 2: {
        const px::RValue value = Real(step);
        run.Call("ds_map_add", {map, key, value});
        model.add(key, value);
        break;
      }
      case 3: {
        run.Call("ds_map_delete", {map, key});
        const std::ptrdiff_t i = model.firstEqual(key);
        if (i >= 0) model.pairs.erase(model.pairs.begin() + i);
        break;
      }
      case 4: {
        run.Call("ds_map_replace", {map, key, Str("r")});
        const std::ptrdiff_t i = model.firstEqual(key);
        if (i >= 0) model.pairs[static_cast<std::size_t>(i)].second = Str("r");
        break;
      }
      default: {
        const std::ptrdiff_t i = model.firstEqual(key);
        EXPECT_EQ(run.Call("ds_map_find_value", {map, key}),
                  i >= 0 ? model.pairs[static_cast<std::size_t>(i)].second : Real(0));
        EXPECT_EQ(run.Num("ds_map_exists", {map, key}), i >= 0 ? 1 : 0);
        EXPECT_EQ(run.Call("ds_map_find_previous", {map, key}), model.previous(key));
        EXPECT_EQ(run.Call("ds_map_find_next", {map, key}), model.next(key));
        break;
      }
    }
    ASSERT_EQ(run.Num("ds_map_size", {map}), static_cast<double>(model.pairs.size()));
    if (step % 250 == 0 || step == 5999) {
      Pairs expected;
      for (const auto& [k, v] : model.pairs) expected.emplace_back(Describe(k), Describe(v));
      ASSERT_EQ(Contents(run, map), expected);
      const px::RValue first = model.pairs.empty() ? Real(0) : model.pairs.front().first;
      const px::RValue last = model.pairs.empty() ? Real(0) : model.pairs.back().first;
      EXPECT_EQ(run.Call("ds_map_find_first", {map}), first);
      EXPECT_EQ(run.Call("ds_map_find_last", {map}), last);
    }
  }
}

}  // namespace
