// Replays kept fuzz inputs through a fuzz target's entry point.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>

#include "support/TestSupport.h"

namespace pxtest {

using FuzzTarget = int (*)(const std::uint8_t* data, std::size_t size);

// Feeds every file of the folders that exist to the target, which must
// come back with 0 (a fault aborts the test run instead).
inline void ReplayFuzzInputs(FuzzTarget target, std::initializer_list<const char*> dirs) {
  for (const char* dir : dirs) {
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().filename().string());
      const auto bytes = ReadBytes(entry.path());
      EXPECT_EQ(target(bytes.data(), bytes.size()), 0);
    }
  }
}

}  // namespace pxtest
