// pxrun and pxpack as `cmake --install` puts them: the programs, and the
// files a desktop needs, play a game from the installed path.
#include <gtest/gtest.h>

#include <filesystem>

#include "pack/Pack_Project.h"
#include "support/TestSupport.h"
#include "system/File_TestSupport.h"

using namespace pxtest;
namespace fs = std::filesystem;

TEST(Install, PutsEveryFileInPlaceAndTheInstalledRunnerPlays) {
  ScratchDir dir;
  const fs::path prefix = dir / "usr";
  const ProcessResult install =
      RunProgram(PXRUN_CMAKE, {"--install", PXRUN_BUILD_DIR, "--prefix", prefix.string()});
  ASSERT_EQ(install.exitCode, 0) << install.err;
  for (const char* file :
       {"bin/pxrun", "bin/pxpack", "share/applications/pxrun.desktop",
        "share/mime/packages/pxrun.xml", "share/icons/hicolor/16x16/apps/pxrun.png",
        "share/icons/hicolor/256x256/apps/pxrun.png", "share/man/man1/pxrun.1",
        "share/man/man1/pxpack.1", "share/bash-completion/completions/pxrun",
        "share/bash-completion/completions/pxpack"})
    EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
  // The manual pages carry the version they describe.
  EXPECT_NE(ReadFile(prefix / "share/man/man1/pxrun.1").find("pxrun " PXRUN_VERSION),
            std::string::npos);

  const fs::path game = dir / "game.pxg";
  WriteBytes(game, px::WriteGameFile(SampleGame()));
  const ProcessResult played =
      RunProgram((prefix / "bin/pxrun").string(), {"--headless", "--max-steps", "2", game.string()},
                 {"SDL_AUDIODRIVER=dummy"}, dir.path().string());
  EXPECT_EQ(played.exitCode, 0) << played.err;
  const ProcessResult info =
      RunProgram((prefix / "bin/pxpack").string(), {"--info", game.string()});
  EXPECT_EQ(info.exitCode, 0) << info.err;
}
