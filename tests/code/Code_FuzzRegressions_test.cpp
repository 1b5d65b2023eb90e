// Replays each fuzz target's seeds and every input kept from fuzzing it.
#include <gtest/gtest.h>

#include "support/FuzzReplay.h"

int FuzzCompile(const std::uint8_t* data, std::size_t size);
int FuzzIni(const std::uint8_t* data, std::size_t size);

TEST(FuzzRegressions, CompileInputsCompileWithoutFault) {
  pxtest::ReplayFuzzInputs(FuzzCompile, {PXRUN_SOURCE_DIR "/fuzz/seeds/compile",
                                         PXRUN_SOURCE_DIR "/fuzz/regressions/compile"});
}

TEST(FuzzRegressions, IniInputsReadWithoutFault) {
  pxtest::ReplayFuzzInputs(
      FuzzIni, {PXRUN_SOURCE_DIR "/fuzz/seeds/ini", PXRUN_SOURCE_DIR "/fuzz/regressions/ini"});
}

int FuzzMessage(const std::uint8_t* data, std::size_t size);

TEST(FuzzRegressions, MessageInputsReadWithoutFault) {
  pxtest::ReplayFuzzInputs(FuzzMessage, {PXRUN_SOURCE_DIR "/fuzz/seeds/message",
                                         PXRUN_SOURCE_DIR "/fuzz/regressions/message"});
}
