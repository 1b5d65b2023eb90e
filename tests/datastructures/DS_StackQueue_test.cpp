// Stacks and queues through their functions.
#include <gtest/gtest.h>

#include "code/Variable_Class.h"
#include "datastructures/DS_TestSupport.h"

namespace {

using pxtest::Describe;
using pxtest::DsRun;
using pxtest::Real;
using pxtest::Str;

TEST(DsStack, PushPopTopSizeEmptyClearAndCopy) {
  DsRun run;
  const px::RValue s = run.Call("ds_stack_create");
  EXPECT_EQ(run.Num("ds_stack_empty", {s}), 1);
  EXPECT_EQ(run.Call("ds_stack_pop", {s}), Real(0));
  EXPECT_EQ(run.Call("ds_stack_top", {s}), Real(0));
  run.Call("ds_stack_push", {s, Real(1)});
  run.Call("ds_stack_push", {s, Str("two")});
  run.Call("ds_stack_push", {s, Real(3)});
  EXPECT_EQ(run.Num("ds_stack_size", {s}), 3);
  EXPECT_EQ(run.Num("ds_stack_empty", {s}), 0);
  EXPECT_EQ(run.Call("ds_stack_top", {s}), Real(3));

  const px::RValue copy = run.Call("ds_stack_create");
  run.Call("ds_stack_push", {copy, Str("old")});
  run.Call("ds_stack_copy", {copy, s});
  EXPECT_EQ(run.Call("ds_stack_pop", {s}), Real(3));
  EXPECT_EQ(run.Call("ds_stack_pop", {s}), Str("two"));
  EXPECT_EQ(run.Num("ds_stack_size", {s}), 1);
  // The copy is separate and took the source's contents whole.
  EXPECT_EQ(run.Num("ds_stack_size", {copy}), 3);
  EXPECT_EQ(run.Call("ds_stack_pop", {copy}), Real(3));

  run.Call("ds_stack_clear", {copy});
  EXPECT_EQ(run.Num("ds_stack_empty", {copy}), 1);
  run.Call("ds_stack_copy", {s, s});
  EXPECT_EQ(run.Num("ds_stack_size", {s}), 1);
  EXPECT_EQ(run.TakeError(), "");
}

TEST(DsQueue, FirstInFirstOutWithHeadTailAndCopy) {
  DsRun run;
  const px::RValue q = run.Call("ds_queue_create");
  EXPECT_EQ(run.Call("ds_queue_dequeue", {q}), Real(0));
  EXPECT_EQ(run.Call("ds_queue_head", {q}), Real(0));
  EXPECT_EQ(run.Call("ds_queue_tail", {q}), Real(0));
  for (int i = 0; i < 5; ++i) run.Call("ds_queue_enqueue", {q, Real(i)});
  run.Call("ds_queue_enqueue", {q, Str("last")});
  EXPECT_EQ(run.Call("ds_queue_head", {q}), Real(0));
  EXPECT_EQ(run.Call("ds_queue_tail", {q}), Str("last"));
  EXPECT_EQ(run.Call("ds_queue_dequeue", {q}), Real(0));
  EXPECT_EQ(run.Call("ds_queue_dequeue", {q}), Real(1));
  EXPECT_EQ(run.Num("ds_queue_size", {q}), 4);

  const px::RValue copy = run.Call("ds_queue_create");
  run.Call("ds_queue_copy", {copy, q});
  EXPECT_EQ(run.Text("ds_queue_write", {copy}), run.Text("ds_queue_write", {q}));
  for (const px::RValue& expected : {Real(2), Real(3), Real(4), Str("last"), Real(0)}) {
    EXPECT_EQ(run.Call("ds_queue_dequeue", {q}), expected);
  }
  EXPECT_EQ(run.Num("ds_queue_empty", {q}), 1);
  EXPECT_EQ(run.Num("ds_queue_size", {copy}), 4);
  run.Call("ds_queue_clear", {copy});
  EXPECT_EQ(run.Num("ds_queue_empty", {copy}), 1);
  EXPECT_EQ(run.Call("ds_queue_dequeue", {copy}), Real(0));
  EXPECT_EQ(run.TakeError(), "");
}

// The stored form shows the array: it grows 16 slots at a time, and moves
// its rest to the front once more than 16 and more than half of the used
// slots lie before the head.
TEST(DsQueue, ArrayGrowsBySixteenAndCompactsAfterDequeues) {
  struct Case {
    int enqueued, dequeued;
    std::size_t length, head, tail;
  } cases[] = {
      {0, 0, 0, 0, 0},      {1, 0, 16, 0, 1},    {16, 0, 16, 0, 16},   {17, 0, 32, 0, 17},
      {20, 16, 32, 16, 20}, {20, 17, 32, 0, 3},  {20, 18, 32, 1, 3},   {40, 17, 48, 17, 40},
      {40, 20, 48, 20, 40}, {40, 21, 48, 0, 19}, {16, 16, 16, 16, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.enqueued) + " in, " + std::to_string(c.dequeued) + " out");
    DsRun run;
    const px::RValue q = run.Call("ds_queue_create");
    for (int i = 0; i < c.enqueued; ++i) run.Call("ds_queue_enqueue", {q, Real(i)});
    for (int i = 0; i < c.dequeued; ++i) EXPECT_EQ(run.Call("ds_queue_dequeue", {q}), Real(i));
    px::CStream s;
    px::HexToStream(s, run.Text("ds_queue_write", {q}));
    EXPECT_EQ(px::StreamReadInt(s), 201);
    EXPECT_EQ(px::StreamReadInt(s), static_cast<std::int32_t>(c.tail));
    EXPECT_EQ(px::StreamReadInt(s), static_cast<std::int32_t>(c.head));
    EXPECT_EQ(px::StreamReadInt(s), static_cast<std::int32_t>(c.length));
    // Used slots hold the waiting elements in order, free slots real 0.
    for (std::size_t i = 0; i < c.length; ++i) {
      const px::RValue v = px::StreamReadValue(s);
      const bool used = i >= c.head && i < c.tail;
      const double expected = used ? static_cast<double>(c.dequeued + (i - c.head)) : 0;
      EXPECT_EQ(v, Real(expected)) << "slot " << i << " holds " << Describe(v);
    }
    EXPECT_EQ(s.remaining(), 0u);
    EXPECT_EQ(run.Num("ds_queue_size", {q}), static_cast<double>(c.tail - c.head));
  }
}

}  // namespace
