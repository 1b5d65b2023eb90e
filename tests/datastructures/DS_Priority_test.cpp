// Priority queues: the earliest of equal priorities wins, and a removal
// moves the last pair into the gap.
#include <gtest/gtest.h>

#include "code/Variable_Class.h"
#include "datastructures/DS_TestSupport.h"

namespace {

using pxtest::Describe;
using pxtest::DsRun;
using pxtest::Real;
using pxtest::Str;

using Strings = std::vector<std::string>;

// The values in stored order.
Strings Values(DsRun& run, const px::RValue& queue) {
  px::CStream s;
  px::HexToStream(s, run.Text("ds_priority_write", {queue}));
  EXPECT_EQ(px::StreamReadInt(s), 501);
  const auto n = px::StreamReadInt(s);
  for (int i = 0; i < n; ++i) px::StreamReadValue(s);  // the priorities
  Strings out;
  for (int i = 0; i < n; ++i) out.push_back(Describe(px::StreamReadValue(s)));
  return out;
}

px::RValue QueueOf(DsRun& run, std::initializer_list<std::pair<px::RValue, px::RValue>> pairs) {
  const px::RValue q = run.Call("ds_priority_create");
  for (const auto& [value, priority] : pairs) run.Call("ds_priority_add", {q, value, priority});
  return q;
}

TEST(DsPriority, MinimumAndMaximumTakeTheEarliestOfEquals) {
  DsRun run;
  const px::RValue q = QueueOf(run, {{Str("a"), Real(2)},
                                     {Str("b"), Real(1)},
                                     {Str("c"), Real(1)},
                                     {Str("d"), Real(2)},
                                     {Str("e"), Str("high")}});
  EXPECT_EQ(run.Call("ds_priority_find_min", {q}), Str("b"));
  EXPECT_EQ(run.Call("ds_priority_find_max", {q}), Str("e"));
  EXPECT_EQ(run.Call("ds_priority_delete_max", {q}), Str("e"));
  EXPECT_EQ(run.Call("ds_priority_find_max", {q}), Str("a"));
  // Deleting b moves the last pair (d) into its place.
  EXPECT_EQ(run.Call("ds_priority_delete_min", {q}), Str("b"));
  EXPECT_EQ(Values(run, q), (Strings{"'a'", "'d'", "'c'"}));
  EXPECT_EQ(run.Call("ds_priority_delete_max", {q}), Str("a"));
  EXPECT_EQ(Values(run, q), (Strings{"'c'", "'d'"}));
  EXPECT_EQ(run.Call("ds_priority_delete_min", {q}), Str("c"));
  EXPECT_EQ(run.Call("ds_priority_delete_min", {q}), Str("d"));
  EXPECT_EQ(run.Num("ds_priority_empty", {q}), 1);
  for (const char* f : {"ds_priority_find_min", "ds_priority_delete_min", "ds_priority_find_max",
                        "ds_priority_delete_max"}) {
    EXPECT_EQ(run.Call(f, {q}), Real(0)) << f;
  }
  EXPECT_EQ(run.TakeError(), "");
}

TEST(DsPriority, ValuesAreFoundChangedAndDeletedByComparison) {
  DsRun run;
  const px::RValue q = QueueOf(
      run,
      {{Real(10), Real(5)}, {Str("x"), Real(7)}, {Real(10 + 1e-9), Real(9)}, {Real(20), Real(1)}});
  EXPECT_EQ(run.Call("ds_priority_find_priority", {q, Real(10)}), Real(5));
  EXPECT_EQ(run.Call("ds_priority_find_priority", {q, Str("X")}), Real(0));
  run.Call("ds_priority_change_priority", {q, Real(10), Real(0)});
  run.Call("ds_priority_change_priority", {q, Str("missing"), Real(-5)});
  EXPECT_EQ(run.Call("ds_priority_find_min", {q}), Real(10));
  run.Call("ds_priority_delete_value", {q, Real(10)});
  EXPECT_EQ(Values(run, q), (Strings{"20", "'x'", "10.000000001"}));
  run.Call("ds_priority_delete_value", {q, Str("nothing")});
  EXPECT_EQ(run.Num("ds_priority_size", {q}), 3);
  EXPECT_EQ(run.Call("ds_priority_find_priority", {q, Real(10)}), Real(9));

  const px::RValue copy = run.Call("ds_priority_create");
  run.Call("ds_priority_copy", {copy, q});
  run.Call("ds_priority_clear", {q});
  EXPECT_EQ(run.Num("ds_priority_size", {q}), 0);
  EXPECT_EQ(Values(run, copy), (Strings{"20", "'x'", "10.000000001"}));
  EXPECT_EQ(run.Call("ds_priority_delete_min", {copy}), Real(20));
}

}  // namespace
