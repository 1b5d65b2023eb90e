#include "code/Variable_Class.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "code/Code_TestSupport.h"

using namespace px;

namespace {

using pxtest::Real;
using pxtest::Str;

double ReadReal(const CVariableList& list, std::int32_t index, std::int32_t flat) {
  RValue v;
  EXPECT_TRUE(list.get(index, flat, v)) << "flat " << flat;
  return v.real;
}

}  // namespace

TEST(RealToInt, RoundsHalvesToEvenAndWrapsTo32Bits) {
  const struct {
    double in;
    std::int32_t out;
  } cases[] = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {-0.5, 0},
      {-1.5, -2},
      {2.4999, 2},
      {-7.6, -8},
      {10000000000.0, 1410065408},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {std::numeric_limits<double>::infinity(), 0},
      {1e300, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(RealToInt(c.in), c.out) << c.in;
}

TEST(RValue, CopiesShareTextAndSettersKeepFieldsConsistent) {
  RValue s = Str("hello");
  RValue copy = s;
  copy.setReal(3);
  EXPECT_EQ(s.str(), "hello");
  EXPECT_TRUE(s.isString());
  EXPECT_EQ(copy.str(), "");  // a real carries the empty string
  EXPECT_FALSE(copy.isString());

  RValue repeated = Str("ab");
  repeated.real = 3;  // what string repetition leaves behind
  repeated.setText("ababab");
  EXPECT_TRUE(repeated.isString());
  EXPECT_EQ(repeated.real, 3);
}

TEST(VariableArrays, ScalarIsElementZeroOfBothForms) {
  CVariableList list;
  ASSERT_TRUE(list.set(100000, FlatIndex(0, 0), Real(5)));
  EXPECT_EQ(ReadReal(list, 100000, 0), 5);
  ASSERT_TRUE(list.set(100000, 0, Real(6)));
  EXPECT_EQ(ReadReal(list, 100000, FlatIndex(0, 0)), 6);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_TRUE(list.entries()[0].rows.empty());
}

TEST(VariableArrays, WritingAnElementFillsTheGapWithZeroAndBoundsReads) {
  CVariableList list;
  ASSERT_TRUE(list.set(100000, 3, Real(1)));
  EXPECT_EQ(ReadReal(list, 100000, 0), 0);
  EXPECT_EQ(ReadReal(list, 100000, 1), 0);
  EXPECT_EQ(ReadReal(list, 100000, 2), 0);
  EXPECT_EQ(ReadReal(list, 100000, 3), 1);
  RValue out = Str("untouched");
  EXPECT_FALSE(list.get(100000, 4, out));
  EXPECT_EQ(out.str(), "untouched");
  EXPECT_FALSE(list.get(100000, FlatIndex(1, 0), out));  // no second row yet
  EXPECT_FALSE(list.get(100001, 0, out));                // no such variable
}

TEST(VariableArrays, TwoDimensionalIndicesMapToRowsOf32000) {
  CVariableList list;
  ASSERT_TRUE(list.set(100000, FlatIndex(0, 5), Real(7)));
  EXPECT_EQ(ReadReal(list, 100000, 5), 7);  // a[0,5] is a[5]

  ASSERT_TRUE(list.set(100000, FlatIndex(1, 0), Real(8)));
  const RVariable& a = list.entries()[0];
  ASSERT_EQ(a.rows.size(), 2u);
  EXPECT_EQ(a.rows[1].size(), 1u);
  EXPECT_EQ(ReadReal(list, 100000, 32000), 8);
  EXPECT_EQ(ReadReal(list, 100000, 0), 0);  // a[1,0] is not the scalar

  ASSERT_TRUE(list.set(100000, FlatIndex(31999, 31999), Real(9)));
  EXPECT_EQ(ReadReal(list, 100000, kMaxFlatIndex), 9);
}

TEST(VariableArrays, FlatIndicesOutsideTheArrayAreRefused) {
  CVariableList list;
  list.set(100000, 0, Real(1));
  for (std::int32_t flat : {-1, kMaxFlatIndex + 1, std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_FALSE(list.set(100000, flat, Real(2))) << flat;
    EXPECT_FALSE(list.set(100001, flat, Real(2))) << flat;
    RValue out;
    EXPECT_FALSE(list.get(100000, flat, out)) << flat;
  }
  EXPECT_EQ(list.size(), 1u);  // a refused write creates nothing
  EXPECT_EQ(ReadReal(list, 100000, 0), 1);
}

// Lists switch from a linear search to a map as they grow; both must find
// the same entries and keep the creation order.
TEST(VariableList, LookupAndOrderHoldAcrossSizes) {
  CVariableList list;
  for (std::int32_t i = 0; i < 40; ++i) {
    list.set(100000 + (i * 7) % 40, 0, Real(i));
    for (std::int32_t j = 0; j <= i; ++j) {
      const RVariable* v = list.find(100000 + (j * 7) % 40);
      ASSERT_NE(v, nullptr) << i << " " << j;
      EXPECT_EQ(v->value.real, j);
    }
    EXPECT_EQ(list.find(100000 + 40), nullptr);
  }
  for (std::int32_t i = 0; i < 40; ++i) {
    EXPECT_EQ(list.entries()[static_cast<std::size_t>(i)].index, 100000 + (i * 7) % 40);
  }
  list.ensure(100003).value = Real(99);  // existing: no new entry
  EXPECT_EQ(list.size(), 40u);
  EXPECT_EQ(ReadReal(list, 100003, 0), 99);
  EXPECT_EQ(list.ensure(100077).value, Real(0));
  EXPECT_EQ(list.size(), 41u);
}

namespace {

// A list with real, string and mixed scalars, one- and two-dimensional arrays
// and enough variables to need the map.
CVariableList SampleList() {
  CVariableList list;
  list.set(100000, 0, Real(1.25));
  list.set(100001, 0, Str("text"));
  RValue mixed = Str("abab");
  mixed.real = 2;
  list.set(100002, 0, mixed);
  list.set(100003, 4, Str("e4"));
  list.set(100003, FlatIndex(2, 1), Real(-3));
  list.set(7, 0, Real(std::numeric_limits<double>::quiet_NaN()));  // global.x
  for (std::int32_t i = 0; i < 10; ++i) list.set(100010 + i, 0, Real(i));
  return list;
}

}  // namespace

TEST(VariableListRecord, RoundTripsEveryVariableAndArray) {
  const CVariableList original = SampleList();
  CStream s;
  original.write(s);
  const std::size_t written = s.size();
  s.seek(0);

  CVariableList copy;
  copy.set(100099, 3, Str("stale"));  // reading clears the list first
  copy.read(s);
  EXPECT_EQ(s.position(), written);
  EXPECT_EQ(copy, original);
  ASSERT_NE(copy.find(100015), nullptr);
  EXPECT_EQ(copy.find(100099), nullptr);

  CStream again;
  copy.write(again);
  EXPECT_EQ(again.bytes(), s.bytes());
}

TEST(VariableListRecord, FieldLayout) {
  CVariableList list;
  list.set(100004, 1, Str("hi"));
  CStream s;
  list.write(s);

  CStream expected;
  for (std::int32_t v : {440, 1, 100004, 0})
    StreamWriteInt(expected, v);  // marker, count, index, kind
  StreamWriteReal(expected, 0.0);
  StreamWriteString(expected, "");
  StreamWriteInt(expected, 1);  // rows
  StreamWriteInt(expected, 2);  // row 0 length: element 0 stays unused, element 1
  StreamWriteValue(expected, Real(0));
  StreamWriteInt(expected, 1);
  StreamWriteReal(expected, 0.0);
  StreamWriteString(expected, "hi");
  EXPECT_EQ(s.bytes(), expected.bytes());
}

// A repeated index can only come from stored data; the newest entry wins,
// whether the list is small or large.
TEST(VariableListRecord, RepeatedIndexReadsTheNewestEntry) {
  // Entry i holds index 100000 + i % 2 with value i.
  const struct {
    std::int32_t count;
    double newestEven, newestOdd;
  } cases[] = {{3, 2, 1}, {20, 18, 19}};
  for (const auto& c : cases) {
    CStream s;
    StreamWriteInt(s, 440);
    StreamWriteInt(s, c.count);
    for (std::int32_t i = 0; i < c.count; ++i) {
      StreamWriteInt(s, 100000 + i % 2);
      StreamWriteValue(s, Real(i));
      StreamWriteInt(s, 0);
    }
    s.seek(0);
    CVariableList list;
    list.read(s);
    EXPECT_EQ(list.size(), static_cast<std::size_t>(c.count));
    EXPECT_EQ(ReadReal(list, 100000, 0), c.newestEven) << c.count;
    EXPECT_EQ(ReadReal(list, 100001, 0), c.newestOdd) << c.count;
  }
}

TEST(VariableListRecord, WrongMarkerLeavesTheListEmpty) {
  CStream s;
  StreamWriteInt(s, 441);
  StreamWriteInt(s, 1);
  s.seek(0);
  CVariableList list = SampleList();
  list.read(s);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(s.position(), 4u);
}

TEST(VariableListRecord, TruncatedRecordThrowsAndLeavesTheListEmpty) {
  CStream full;
  SampleList().write(full);
  for (std::size_t cut : {std::size_t{6}, full.size() / 2, full.size() - 1}) {
    CStream s(std::vector<std::uint8_t>(full.bytes().begin(), full.bytes().begin() + cut));
    CVariableList list = SampleList();
    EXPECT_THROW(list.read(s), StreamError) << cut;
    EXPECT_TRUE(list.empty()) << cut;
  }
}

TEST(VariableListRecord, HugeCountsInShortDataFailWithoutHugeAllocations) {
  CStream s;
  StreamWriteInt(s, 440);
  StreamWriteInt(s, 1);
  StreamWriteInt(s, 100000);
  StreamWriteValue(s, Real(1));
  StreamWriteInt(s, 0x7fffffff);  // rows
  s.seek(0);
  CVariableList list;
  EXPECT_THROW(list.read(s), StreamError);
}
