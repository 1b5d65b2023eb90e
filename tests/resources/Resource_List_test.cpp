#include "resources/Resource_List.h"

#include <gtest/gtest.h>

#include "resources/Script_Class.h"

using namespace px;

namespace {

// Slots: 0 "a", 1 empty, 2 "b", 3 "a" (again), 4 "A".
ResourceList<CScript> Sample() {
  ResourceList<CScript> list;
  list.add("a", CScript{"0"});
  list.addEmpty();
  list.add("b", CScript{"2"});
  list.add("a", CScript{"3"});
  list.add("A", CScript{"4"});
  return list;
}

}  // namespace

TEST(ResourceList, SlotsNamesAndLookups) {
  const ResourceList<CScript> list = Sample();
  EXPECT_EQ(list.count(), 5);
  struct Case {
    int index;
    bool exists;
    const char* name;
  };
  for (const Case& c :
       {Case{0, true, "a"}, Case{1, false, "<undefined>"}, Case{2, true, "b"}, Case{4, true, "A"},
        Case{-1, false, "<undefined>"}, Case{5, false, "<undefined>"}}) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(list.exists(c.index), c.exists);
    EXPECT_EQ(list.get(c.index) != nullptr, c.exists);
    EXPECT_EQ(list.name(c.index), c.name);
  }
  EXPECT_EQ(list.get(3)->code, "3");
  // Exact, case-sensitive, lowest number first; an empty slot's name never matches.
  EXPECT_EQ(list.find("a"), 0);
  EXPECT_EQ(list.find("A"), 4);
  EXPECT_EQ(list.find("B"), -1);
  EXPECT_EQ(list.find(""), -1);
}

TEST(ResourceList, RemovedSlotsKeepTheirNumbersAndCopiesAreDeep) {
  ResourceList<CScript> list = Sample();
  list.remove(0);
  EXPECT_FALSE(list.exists(0));
  EXPECT_EQ(list.find("a"), 3);
  EXPECT_EQ(list.add("c", CScript{}), 5);

  ResourceList<CScript> copy = list;
  EXPECT_EQ(copy, list);
  copy.get(2)->code = "changed";
  EXPECT_EQ(list.get(2)->code, "2");
  EXPECT_NE(copy, list);
}

TEST(ResourceList, ChunkKeepsEmptySlotsAndRefusesImpossibleCounts) {
  ResourceList<CScript> list = Sample();
  CStream s;
  WriteResourceChunk(s, list);
  s.seek(0);
  ResourceList<CScript> back;
  back.add("stale", CScript{});
  ASSERT_TRUE(ReadResourceChunk(s, back));
  EXPECT_EQ(back, list);
  EXPECT_EQ(s.remaining(), 0u);

  // A count far beyond what the data can hold is a short read, found before
  // anything is allocated for it.
  CStream huge;
  StreamWriteInt(huge, 800);
  StreamWriteInt(huge, 0x7FFFFFFF);
  huge.seek(0);
  EXPECT_THROW(ReadResourceChunk(huge, back), StreamError);
}
