// The pxrun and pxpack executables as a user runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <vector>

#include "pack/Pack_Project.h"
#include "support/TestSupport.h"
#include "system/File_TestSupport.h"

using namespace pxtest;
namespace fs = std::filesystem;

TEST(Pxrun, HelpVersionAndUsage) {
  const ProcessResult help = RunPxrun({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: pxrun"), std::string::npos);
  const ProcessResult version = RunPxrun({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  // The version, then those of the libraries it runs on.
  EXPECT_TRUE(version.out.starts_with("pxrun " PXRUN_VERSION "\nSDL 2.")) << version.out;
  EXPECT_NE(version.out.find("\nFluidSynth "), std::string::npos) << version.out;
  const ProcessResult packVersion = RunProgram(PXPACK_BINARY, {"--version"});
  EXPECT_EQ(packVersion.exitCode, 0);
  EXPECT_EQ(packVersion.out, "pxpack " PXRUN_VERSION "\n");
  for (const auto& args : std::vector<std::vector<std::string>>{{"--bogus"}, {}, {"--headless"}}) {
    const ProcessResult r = RunPxrun(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Usage: pxrun"), std::string::npos);
  }
}

TEST(Pxrun, PlaysAGameFileHeadlessAndCleansUp) {
  ScratchDir dir;
  const auto file = dir / "game.pxg";
  WriteBytes(file, px::WriteGameFile(SampleGame()));
  // The temporary directory goes under the folder tempdir.txt names.
  WriteText(dir / "tempdir.txt", (dir / "tmpbase").string());
  const ProcessResult r = RunPxrun({"--headless", "--max-steps", "2", file.string(), "arg1"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(fs::is_directory(dir / "tmpbase"));
  EXPECT_TRUE(fs::is_empty(dir / "tmpbase"));
}

TEST(Pxrun, ReplayFileIsCheckedBeforeTheGameRuns) {
  ScratchDir dir;
  const auto game = dir / "game.pxg";
  WriteBytes(game, px::WriteGameFile(SampleGame()));
  const auto good = dir / "good.txt";
  WriteText(good, "# walk left\n1 keydown 37\n2 keyup 37\n");
  const ProcessResult played =
      RunPxrun({"--headless", "--max-steps", "3", "--input", good.string(), game.string()});
  EXPECT_EQ(played.exitCode, 0) << played.err;

  const auto bad = dir / "bad.txt";
  WriteText(bad, "1 keydown 37\n\n3 kedown 37\n");
  const ProcessResult r = RunPxrun({"--headless", "--input=" + bad.string(), game.string()});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "pxrun: " + bad.string() + ":3: unknown event 'kedown'\n");
}

TEST(Pxrun, PreparesSoundsHeadlessWithoutAMessage) {
  // A preloaded wave for the engine and a file no decoder reads, which
  // becomes a multimedia sound written to the temporary folder.
  px::GameFile game = SampleGame();
  px::CSound wave;
  wave.kind = 1;
  wave.file_type = ".wav";
  const std::uint8_t header[] = {'R',  'I',  'F', 'F', 40,   0,    0, 0, 'W', 'A',  'V', 'E',
                                 'f',  'm',  't', ' ', 16,   0,    0, 0, 1,   0,    1,   0,
                                 0x44, 0xAC, 0,   0,   0x88, 0x58, 1, 0, 2,   0,    16,  0,
                                 'd',  'a',  't', 'a', 4,    0,    0, 0, 0,   0x40, 0,   0x40};
  wave.data = std::vector<std::uint8_t>(std::begin(header), std::end(header));
  px::CSound junk;
  junk.kind = 0;
  junk.file_type = ".ogg";
  junk.data = std::vector<std::uint8_t>(64, 0x33);
  game.resources.sounds.add("snd_music", wave);
  game.resources.sounds.add("snd_junk", junk);
  ScratchDir dir;
  const auto file = dir / "game.pxg";
  WriteBytes(file, px::WriteGameFile(game));
  WriteText(dir / "tempdir.txt", (dir / "tmpbase").string());
  const ProcessResult r = RunPxrun({"--headless", "--max-steps", "2", file.string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(fs::is_empty(dir / "tmpbase"));
}

TEST(Pxrun, StartupFailuresPrintTheirMessage) {
  ScratchDir dir;
  WriteBytes(dir / "small.exe", std::vector<std::uint8_t>(100, 1));
  auto wrong = px::WriteGameFile(SampleGame());
  wrong[px::kFirstProbe + 4] = 0x21;  // version 801
  WriteBytes(dir / "wrong.exe", wrong);
  const std::pair<std::string, std::string> cases[] = {
      {(dir / "missing.exe").string(), "Error: Cannot read the game file.\n"},
      {(dir / "small.exe").string(), "Error: Not a valid game file.\n"},
      {(dir / "wrong.exe").string(), "Error: Wrong version number.\n"},
  };
  for (const auto& [path, message] : cases) {
    const ProcessResult r = RunPxrun({"--headless", path});
    EXPECT_EQ(r.exitCode, 1) << path;
    EXPECT_EQ(r.out, message);
  }
}

TEST(Pxpack, PacksInspectsAndBundlesTheDemo) {
  ScratchDir dir;
  const std::string demo = PXRUN_SOURCE_DIR "/games/demo";
  const auto game = (dir / "demo.pxg").string();
  const ProcessResult pack = RunProgram(PXPACK_BINARY, {demo, "-o", game});
  ASSERT_EQ(pack.exitCode, 0) << pack.err;
  // Headless, the demo starts and ends, saying so in a file of its folder.
  EXPECT_EQ(RunPxrun({"--headless", "--max-steps", "5", game}, {}, dir.path().string()).exitCode,
            0);
  EXPECT_EQ(ReadFile(dir / "demo.log"), "Hello from the demo in pxrun demo\r\nScore 0\r\n");

  const ProcessResult info = RunProgram(PXPACK_BINARY, {"--info", game});
  EXPECT_EQ(info.exitCode, 0) << info.err;
  const px::GameFile expected = px::LoadProject(demo);
  EXPECT_EQ(info.out, px::DescribeGame(expected, px::kFirstProbe));

  const auto bundled = (dir / "demo-bundle").string();
  const ProcessResult bundle =
      RunProgram(PXPACK_BINARY, {"--bundle", demo, "-o", bundled, "--runner", PXRUN_BINARY});
  ASSERT_EQ(bundle.exitCode, 0) << bundle.err;
  // Bundled, every argument is the game's: even --help does not stop it.
  const ProcessResult run =
      RunProgram(bundled, {"--help"}, {"PXRUN_HEADLESS=1", "PXRUN_MAX_STEPS=3"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
}

TEST(Pxpack, RejectsBadProjects) {
  ScratchDir dir;
  WriteText(dir / "game.json", R"({"gameId": 1, "setings": {}})");
  const ProcessResult r =
      RunProgram(PXPACK_BINARY, {dir.path().string(), "-o", (dir / "x").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("unknown key 'setings'"), std::string::npos) << r.err;
  EXPECT_EQ(RunProgram(PXPACK_BINARY, {"--frobnicate"}).exitCode, 2);
  const ProcessResult info = RunProgram(PXPACK_BINARY, {"--info", (dir / "game.json").string()});
  EXPECT_EQ(info.exitCode, 1);
  EXPECT_NE(info.err.find("Not a valid game file"), std::string::npos);
}
