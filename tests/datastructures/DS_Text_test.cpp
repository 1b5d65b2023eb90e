// The text forms: exact bytes of each kind, round trips, texts of another
// kind, and damaged texts, which are reported and change nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datastructures/DS_TestSupport.h"

namespace {

using pxtest::DsRun;
using pxtest::Real;
using pxtest::Str;

const char* const kKinds[] = {"stack", "queue", "list", "map", "priority", "grid"};

std::string Fn(const std::string& kind, const char* what) {
  return "ds_" + kind + "_" + what;
}

// Stored elements as hex: kind, real, string length and bytes.
const std::string kZero =
    "00000000"
    "0000000000000000"
    "00000000";
const std::string kOne =
    "00000000"
    "000000000000F03F"
    "00000000";
const std::string kTwoAndHalf =
    "00000000"
    "0000000000000440"
    "00000000";
const std::string kStringAb =
    "01000000"
    "0000000000000000"
    "02000000"
    "6162";

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(DsText, EachKindWritesItsLayout) {
  DsRun run;
  const px::RValue stack = run.Call("ds_stack_create");
  run.Call("ds_stack_push", {stack, Real(1)});
  run.Call("ds_stack_push", {stack, Str("ab")});
  EXPECT_EQ(run.Text("ds_stack_write", {stack}),
            "65000000"
            "02000000" +
                kOne + kStringAb);

  const px::RValue queue = run.Call("ds_queue_create");
  run.Call("ds_queue_enqueue", {queue, Real(1)});
  run.Call("ds_queue_enqueue", {queue, Real(2.5)});
  run.Call("ds_queue_dequeue", {queue});
  EXPECT_EQ(run.Text("ds_queue_write", {queue}),
            "C9000000"
            "02000000"
            "01000000"
            "10000000" +
                kZero + kTwoAndHalf + Repeat(kZero, 14));

  const px::RValue list = run.Call("ds_list_create");
  run.Call("ds_list_add", {list, Str("ab")});
  run.Call("ds_list_add", {list, Real(2.5)});
  EXPECT_EQ(run.Text("ds_list_write", {list}),
            "2D010000"
            "02000000" +
                kStringAb + kTwoAndHalf);

  const px::RValue map = run.Call("ds_map_create");
  run.Call("ds_map_add", {map, Str("ab"), Real(1)});
  run.Call("ds_map_add", {map, Real(2.5), Real(0)});
  EXPECT_EQ(run.Text("ds_map_write", {map}),
            "91010000"
            "02000000" +
                kTwoAndHalf + kStringAb + kZero + kOne);

  const px::RValue priority = run.Call("ds_priority_create");
  run.Call("ds_priority_add", {priority, Str("ab"), Real(1)});
  run.Call("ds_priority_add", {priority, Real(0), Real(2.5)});
  EXPECT_EQ(run.Text("ds_priority_write", {priority}),
            "F5010000"
            "02000000" +
                kOne + kTwoAndHalf + kStringAb + kZero);

  // Column by column: (0, 0), (0, 1), (1, 0), (1, 1), (2, 0), (2, 1).
  const px::RValue grid = run.Call("ds_grid_create", {Real(3), Real(2)});
  run.Call("ds_grid_set", {grid, Real(0), Real(1), Real(1)});
  run.Call("ds_grid_set", {grid, Real(2), Real(0), Str("ab")});
  EXPECT_EQ(run.Text("ds_grid_write", {grid}),
            "59020000"
            "03000000"
            "02000000" +
                kZero + kOne + kZero + kZero + kStringAb + kZero);
}

// A container of each kind holding reals, strings, an empty string, a
// negative zero and more than one array's worth of elements.
px::RValue Filled(DsRun& run, const std::string& kind) {
  const std::vector<px::RValue> values = {Real(-0.0), Str(""), Str("text\r\n\x01\xFF"), Real(1e300),
                                          Real(-7.25)};
  if (kind == "grid") {
    const px::RValue g = run.Call("ds_grid_create", {Real(4), Real(5)});
    for (int i = 0; i < 20; ++i) {
      run.Call("ds_grid_set",
               {g, Real(i % 4), Real(i / 4), values[static_cast<std::size_t>(i) % 5]});
    }
    return g;
  }
  const px::RValue c = run.Call(Fn(kind, "create"));
  for (int i = 0; i < 37; ++i) {
    const px::RValue& v = values[static_cast<std::size_t>(i) % 5];
    if (kind == "stack") run.Call("ds_stack_push", {c, v});
    if (kind == "queue") run.Call("ds_queue_enqueue", {c, v});
    if (kind == "list") run.Call("ds_list_add", {c, v});
    if (kind == "map") run.Call("ds_map_add", {c, v, Real(i)});
    if (kind == "priority") run.Call("ds_priority_add", {c, Real(i), v});
  }
  if (kind == "queue") {
    for (int i = 0; i < 3; ++i) run.Call("ds_queue_dequeue", {c});
  }
  return c;
}

TEST(DsText, WhatIsWrittenReadsBackWhole) {
  for (const std::string kind : kKinds) {
    SCOPED_TRACE(kind);
    DsRun run;
    const px::RValue source = Filled(run, kind);
    const std::string text = run.Text(Fn(kind, "write"), {source});
    // The target held something else, which the text replaces.
    const px::RValue target = Filled(run, kind);
    if (kind == "grid") {
      run.Call("ds_grid_resize", {target, Real(2), Real(2)});
    } else {
      run.Call(Fn(kind, "clear"), {target});
      if (kind == "list") run.Call("ds_list_add", {target, Str("old")});
    }
    run.Call(Fn(kind, "read"), {target, Str(text.c_str())});
    EXPECT_EQ(run.TakeError(), "");
    EXPECT_EQ(run.Text(Fn(kind, "write"), {target}), text);
    // Lower-case digits read the same, and a trailing odd digit is ignored.
    std::string lower = text + "F";
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const px::RValue third =
        run.Call(kind == "grid" ? "ds_grid_create" : Fn(kind, "create"),
                 kind == "grid" ? std::initializer_list<px::RValue>{Real(1), Real(1)}
                                : std::initializer_list<px::RValue>{});
    run.Call(Fn(kind, "read"), {third, px::RValue::FromString(lower)});
    EXPECT_EQ(run.Text(Fn(kind, "write"), {third}), text);
  }
  // The contents behave as before, not just their text.
  DsRun run;
  const px::RValue list = Filled(run, "list");
  const px::RValue copy = run.Call("ds_list_create");
  run.Call("ds_list_read", {copy, run.Call("ds_list_write", {list})});
  EXPECT_EQ(run.Call("ds_list_find_value", {copy, Real(2)}), Str("text\r\n\x01\xFF"));
  EXPECT_EQ(run.Num("ds_list_find_index", {copy, Real(-7.25)}), 4);
  const px::RValue map = Filled(run, "map");
  const px::RValue mapCopy = run.Call("ds_map_create");
  run.Call("ds_map_read", {mapCopy, run.Call("ds_map_write", {map})});
  EXPECT_EQ(run.Call("ds_map_find_value", {mapCopy, Str("")}), Real(1));
  EXPECT_EQ(run.Call("ds_map_find_next", {mapCopy, Real(1e300)}), Str(""));
  EXPECT_EQ(run.Num("ds_map_size", {mapCopy}), 37);
}

TEST(DsText, ATextOfAnotherKindChangesNothingAndIsNotReported) {
  for (const std::string writer : kKinds) {
    DsRun run;
    const std::string text = run.Text(Fn(writer, "write"), {Filled(run, writer)});
    for (const std::string reader : kKinds) {
      if (reader == writer) continue;
      SCOPED_TRACE(reader + " reading a " + writer);
      const px::RValue target = Filled(run, reader);
      const std::string before = run.Text(Fn(reader, "write"), {target});
      run.Call(Fn(reader, "read"), {target, Str(text.c_str())});
      EXPECT_EQ(run.TakeError(), "");
      EXPECT_EQ(run.Text(Fn(reader, "write"), {target}), before);
    }
  }
}

constexpr std::string_view kDamaged = "Data structure text is truncated or damaged.";
constexpr std::string_view kNotHex =
    "Data structure text holds characters other than hexadecimal digits.";

// Reads the text into a filled container of the kind and checks that the
// report came and the container is as it was.
void ExpectRejected(const std::string& kind, const std::string& text, std::string_view message) {
  DsRun run;
  const px::RValue target = Filled(run, kind);
  const std::string before = run.Text(Fn(kind, "write"), {target});
  run.Call(Fn(kind, "read"), {target, px::RValue::FromString(text)});
  const std::string error = run.TakeError();
  EXPECT_TRUE(pxtest::EndsWith(error, message)) << "reported: " << error;
  EXPECT_EQ(run.Text(Fn(kind, "write"), {target}), before);
}

TEST(DsText, EveryCutShortTextIsReportedAndChangesNothing) {
  for (const std::string kind : kKinds) {
    DsRun run;
    const std::string text = run.Text(Fn(kind, "write"), {Filled(run, kind)});
    for (std::size_t bytes = 0; bytes < text.size() / 2; bytes += 1 + bytes / 40) {
      SCOPED_TRACE(kind + " cut to " + std::to_string(bytes) + " bytes");
      ExpectRejected(kind, text.substr(0, 2 * bytes), kDamaged);
    }
  }
}

TEST(DsText, DamagedFieldsAreReportedAndChangeNothing) {
  struct Case {
    std::string kind, text;
    std::string_view message;
  } cases[] = {
      {"list",
       "2D010000"
       "01000000" +
           kOne.substr(0, 10) + "G0",
       kNotHex},
      {"stack", "65 00 00 00", kNotHex},
      {"map", "9101000001000000" + kOne + "0x", kNotHex},
      // Counts the text cannot hold, or negative ones.
      {"list",
       "2D010000"
       "FFFFFF7F" +
           kOne,
       kDamaged},
      {"stack",
       "65000000"
       "FFFFFFFF",
       kDamaged},
      {"map",
       "91010000"
       "02000000" +
           kOne + kOne + kOne,
       kDamaged},
      {"priority",
       "F5010000"
       "00000080",
       kDamaged},
      // Elements of an unknown kind, or whose string runs past the end.
      {"list",
       "2D010000"
       "01000000"
       "02000000"
       "0000000000000000"
       "00000000",
       kDamaged},
      {"stack",
       "65000000"
       "01000000"
       "01000000"
       "0000000000000000"
       "FFFFFF7F"
       "6162",
       kDamaged},
      // Queues whose head and tail do not fit their array.
      {"queue",
       "C9000000"
       "01000000"
       "02000000"
       "02000000" +
           kZero + kZero,
       kDamaged},
      {"queue",
       "C9000000"
       "03000000"
       "00000000"
       "02000000" +
           kZero + kZero,
       kDamaged},
      {"queue",
       "C9000000"
       "01000000"
       "FFFFFFFF"
       "02000000" +
           kZero + kZero,
       kDamaged},
      // Grids of a negative or an enormous size.
      {"grid",
       "59020000"
       "FFFFFFFF"
       "01000000" +
           kZero,
       kDamaged},
      {"grid",
       "59020000"
       "FFFFFF7F"
       "FFFFFF7F" +
           kZero,
       kDamaged},
      {"grid",
       "59020000"
       "00000100"
       "00000100" +
           kZero,
       kDamaged},
      {"grid",
       "59020000"
       "02000000"
       "02000000" +
           kZero + kZero + kZero,
       kDamaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind + " " + c.text);
    ExpectRejected(c.kind, c.text, c.message);
  }
}

TEST(DsText, EmptyContainersAndEmptyGridsRoundTrip) {
  for (const std::string kind : kKinds) {
    SCOPED_TRACE(kind);
    DsRun run;
    const px::RValue c = kind == "grid" ? run.Call("ds_grid_create", {Real(0), Real(3)})
                                        : run.Call(Fn(kind, "create"));
    const std::string text = run.Text(Fn(kind, "write"), {c});
    const px::RValue target = Filled(run, kind);
    run.Call(Fn(kind, "read"), {target, Str(text.c_str())});
    EXPECT_EQ(run.TakeError(), "");
    EXPECT_EQ(run.Text(Fn(kind, "write"), {target}), text);
  }
}

// A map read back keeps the stored order of keys that are in order, equal
// keys included; keys out of order are put in order so that every one can
// be found.
TEST(DsText, AMapKeepsTheStoredOrderOfKeysInOrder) {
  DsRun run;
  const px::RValue map = run.Call("ds_map_create");
  const std::string oneAbove =
      "00000000"
      "000000100000F03F"
      "00000000";  // 1 + 2^-24 > 1 + precision
  const std::string closeToOne =
      "00000000"
      "010000000000F03F"
      "00000000";  // 1 + 2^-52, equal to 1
  const std::string three =
      "00000000"
      "0000000000000840"
      "00000000";
  const std::string sorted =
      "91010000"
      "03000000" +
      closeToOne + kOne + oneAbove + kStringAb + kZero + kOne;
  run.Call("ds_map_read", {map, Str(sorted.c_str())});
  EXPECT_EQ(run.TakeError(), "");
  EXPECT_EQ(run.Text("ds_map_write", {map}), sorted);
  EXPECT_EQ(run.Call("ds_map_find_value", {map, Real(1)}), Str("ab"));

  const std::string unsorted =
      "91010000"
      "03000000" +
      three + kOne + kTwoAndHalf + kZero + kOne + kStringAb;
  run.Call("ds_map_read", {map, Str(unsorted.c_str())});
  EXPECT_EQ(run.TakeError(), "");
  EXPECT_EQ(run.Text("ds_map_write", {map}),
            "91010000"
            "03000000" +
                kOne + kTwoAndHalf + three + kOne + kStringAb + kZero);
  for (const double key : {3.0, 1.0, 2.5}) {
    EXPECT_EQ(run.Num("ds_map_exists", {map, Real(key)}), 1) << key;
    run.Call("ds_map_delete", {map, Real(key)});
  }
  EXPECT_EQ(run.Num("ds_map_size", {map}), 0);
}

}  // namespace
