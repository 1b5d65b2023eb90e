// Replays each fuzz target's seeds and every input kept from fuzzing it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TestSupport.h"

int FuzzCompile(const std::uint8_t* data, std::size_t size);
int FuzzIni(const std::uint8_t* data, std::size_t size);

namespace {

// Feeds every seed and every kept input of a fuzz target to its entry.
void Replay(const std::string& target, int (*run)(const std::uint8_t*, std::size_t)) {
  for (const std::string& dir : {std::string(PXRUN_SOURCE_DIR "/fuzz/seeds/") + target,
                                 std::string(PXRUN_SOURCE_DIR "/fuzz/regressions/") + target}) {
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().filename().string());
      const auto bytes = pxtest::ReadBytes(entry.path());
      EXPECT_EQ(run(bytes.data(), bytes.size()), 0);
    }
  }
}

}  // namespace

TEST(FuzzRegressions, CompileInputsCompileWithoutFault) {
  Replay("compile", FuzzCompile);
}

TEST(FuzzRegressions, IniInputsReadWithoutFault) {
  Replay("ini", FuzzIni);
}
