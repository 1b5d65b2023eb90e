// Running out of memory: one message, the temporary directory removed, and
// status 1, without allocating on the way out.
#include "run/Runner_OutOfMemory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>

#include "run/Runner_TempDir.h"
#include "support/TestSupport.h"

using namespace px;

TEST(OutOfMemory, EndsTheProcessWithOneMessageAndNoTemporaryDirectory) {
  pxtest::ScratchDir dir;
  std::string path;
  EXPECT_EXIT(
      {
        TempDir temp;
        if (!temp.TryCreate(dir.path().string())) std::_Exit(3);
        RemoveOnFatalSignal(temp.path());
        pxtest::WriteText(std::filesystem::path(temp.path()) / "file.txt", "data");
        EndProcessWhenOutOfMemory("pxrun");
        // What operator new does when the system refuses memory.
        std::get_new_handler()();
      },
      testing::ExitedWithCode(1), "pxrun: out of memory: the game cannot go on");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
