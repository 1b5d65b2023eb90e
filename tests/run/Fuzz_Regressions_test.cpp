// Replays every input kept from fuzzing through its target's entry point.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/FuzzReplay.h"
#include "support/TestSupport.h"

int FuzzLoader(const std::uint8_t* data, std::size_t size);
int FuzzSavedGame(const std::uint8_t* data, std::size_t size);
int FuzzReplay(const std::uint8_t* data, std::size_t size);

TEST(FuzzRegressions, LoaderInputsLoadWithoutFault) {
  const std::filesystem::path dir = PXRUN_SOURCE_DIR "/fuzz/regressions/loader";
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    SCOPED_TRACE(entry.path().filename().string());
    const auto bytes = pxtest::ReadBytes(entry.path());
    EXPECT_EQ(FuzzLoader(bytes.data(), bytes.size()), 0);
  }
}

TEST(FuzzRegressions, SavedGameSeedsAndInputsLoadOrAreRefusedCleanly) {
  pxtest::ReplayFuzzInputs(FuzzSavedGame, {PXRUN_SOURCE_DIR "/fuzz/seeds/savegame",
                                           PXRUN_SOURCE_DIR "/fuzz/regressions/savegame"});
}

TEST(FuzzRegressions, ReplaySeedsAndInputsParseOrAreRefusedCleanly) {
  pxtest::ReplayFuzzInputs(FuzzReplay, {PXRUN_SOURCE_DIR "/fuzz/seeds/replay",
                                        PXRUN_SOURCE_DIR "/fuzz/regressions/replay"});
}
