// Replays the compiler's fuzz seeds and every input kept from fuzzing it.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

int FuzzCompile(const std::uint8_t* data, std::size_t size);
int FuzzIni(const std::uint8_t* data, std::size_t size);

TEST(FuzzRegressions, CompileInputsCompileWithoutFault) {
  for (const char* dir :
       {PXRUN_SOURCE_DIR "/fuzz/seeds/compile", PXRUN_SOURCE_DIR "/fuzz/regressions/compile"}) {
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().filename().string());
      const auto bytes = pxtest::ReadBytes(entry.path());
      EXPECT_EQ(FuzzCompile(bytes.data(), bytes.size()), 0);
    }
  }
}

TEST(FuzzRegressions, IniInputsReadWithoutFault) {
  for (const char* dir : {PXRUN_SOURCE_DIR "/fuzz/seeds/ini", PXRUN_SOURCE_DIR "/fuzz/regressions/ini"}) {
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().filename().string());
      const auto bytes = pxtest::ReadBytes(entry.path());
      EXPECT_EQ(FuzzIni(bytes.data(), bytes.size()), 0);
    }
  }
}
