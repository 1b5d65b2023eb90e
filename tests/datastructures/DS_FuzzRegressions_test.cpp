// Replays the data-structure fuzz seeds and every input kept from fuzzing
// the text readers.
#include <gtest/gtest.h>

#include "support/FuzzReplay.h"

int FuzzDataStructures(const std::uint8_t* data, std::size_t size);

TEST(FuzzRegressions, DataStructureTextsReadWithoutFault) {
  pxtest::ReplayFuzzInputs(FuzzDataStructures, {PXRUN_SOURCE_DIR "/fuzz/seeds/ds",
                                                PXRUN_SOURCE_DIR "/fuzz/regressions/ds"});
}
