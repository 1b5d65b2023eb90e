// A round trip through a record's writer and reader, for record tests.
#pragma once

#include <gtest/gtest.h>

#include "base/Support_Stream.h"

namespace pxtest {

// Writes a record with WriteToStream and reads it back with LoadFromStream,
// expecting success and the whole record consumed.
template <class T>
T RoundTripRecord(const T& item) {
  px::CStream s;
  item.WriteToStream(s);
  s.seek(0);
  T back;
  EXPECT_TRUE(back.LoadFromStream(s));
  EXPECT_EQ(s.remaining(), 0u);
  return back;
}

}  // namespace pxtest
