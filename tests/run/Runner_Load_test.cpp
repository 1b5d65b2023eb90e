#include "run/Runner_Load.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "run/Runner_Form.h"
#include "run/Runtime.h"
#include "support/ForwardingPlatform.h"
#include "support/TestSupport.h"

using namespace px;
using pxtest::SampleGame;
using pxtest::ScratchDir;

namespace {

struct InProcessRun {
  int exitCode;
  std::string output;
};

// Plays a game file in this process, headless, the way pxrun does.
InProcessRun PlayBytes(const std::vector<std::uint8_t>& bytes) {
  pxtest::HeadlessGame game(bytes);
  const int code = PlayGameFile(game.rt());
  return {code, game.output()};
}

std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bytes, std::size_t at, std::int32_t v) {
  std::memcpy(bytes.data() + at, &v, 4);
  return bytes;
}

}  // namespace

TEST(GameFileWriter, RoundTripsLayoutAndContent) {
  struct Case {
    std::uint32_t tableSeed;
    std::int32_t skip1, skip2, filler;
    int extraProbes;
    std::size_t prefix;
  };
  const Case cases[] = {
      {1, 3, 2, 4, 0, 0},           {2, -1, -7, -3, 1, 0},       {3, 0, 0, 0, 5, 1234},
      {4, 100, 1, 1, 0, 2'000'000}, {5, -5, 9, 0, 2, 2'000'001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tableSeed);
    GameFile game = SampleGame();
    game.scramble = {MakePermutationTable(c.tableSeed), c.skip1, c.skip2};
    game.fillerCount = c.filler;
    game.unnamed = 31337;
    game.debug = c.tableSeed % 2 == 0;
    const std::vector<std::uint8_t> prefix(c.prefix, 0xCD);
    const auto bytes = WriteGameFile(game, prefix, c.extraProbes);
    std::size_t offset = 0;
    const GameFile back = ReadGameFile(bytes, &offset);
    EXPECT_EQ(offset, GameDataOffsetAfter(c.prefix, c.extraProbes));
    EXPECT_EQ(offset % 10'000, 0u);
    EXPECT_GE(offset, c.prefix);
    EXPECT_EQ(back.scramble.table, game.scramble.table);
    EXPECT_EQ(back.scramble.skip1, c.skip1);
    EXPECT_EQ(back.scramble.skip2, c.skip2);
    EXPECT_EQ(back.fillerCount, c.filler);
    EXPECT_EQ(back.unnamed, 31337);
    EXPECT_EQ(back.debug, game.debug);
    EXPECT_EQ(back.gameId, game.gameId);
    EXPECT_EQ(back.gameGuid, game.gameGuid);
    EXPECT_EQ(back.d3dxName, game.d3dxName);
    EXPECT_EQ(back.d3dxLibrary, game.d3dxLibrary);
    EXPECT_EQ(back.settings, game.settings);
    EXPECT_EQ(back.resources, game.resources);
  }
}

TEST(GameFileWriter, EverySettingsFieldSurvives) {
  TBitmap32 a(4, 3), b(2, 2), c(5, 1);
  a.SetSizeFilled(4, 3, 0xFF102030);
  b.SetSizeFilled(2, 2, 0x80405060);
  c.SetSizeFilled(5, 1, 0xFFFFFFFF);
  for (bool bar : {true, false}) {
    SCOPED_TRACE(bar);
    GameSettings s;
    int n = 0;
    // Flip every field away from its default.
    for (const SettingsField& f : kSettingsFields) {
      if (f.flag) s.*f.flag = !(s.*f.flag);
      if (f.number) s.*f.number = 1000 + n++;
    }
    s.showProgressBar = bar;
    s.progressBackImage = a;
    s.progressFrontImage = b;
    s.loadingImage = c;
    GameFile game = SampleGame();
    game.settings = s;
    const GameFile back = ReadGameFile(WriteGameFile(game));
    GameSettings expected = s;
    if (!bar) expected.progressBackImage.reset(), expected.progressFrontImage.reset();
    EXPECT_EQ(back.settings, expected);
  }
}

TEST(GameFileWriter, SettingsWithoutProgressBarStoreNoBarImages) {
  GameSettings with, without;
  without.showProgressBar = false;
  CStream a, b;
  WriteGameSettings(a, with);
  WriteGameSettings(b, without);
  a.seek(4);
  b.seek(4);
  // Two absent bitmap fields (4 bytes each) fewer.
  EXPECT_EQ(StreamReadCompressedBlock(a).size(), StreamReadCompressedBlock(b).size() + 8);
}

TEST(Startup, LoadsAValidGameAndWritesTheHelperLibrary) {
  GameFile game = SampleGame();
  game.debug = true;
  pxtest::HeadlessGame headless(WriteGameFile(game), "mygame.exe");
  Runtime& rt = headless.rt();
  ASSERT_TRUE(LoadAndRun(rt));
  EXPECT_EQ(headless.output(), "");
  EXPECT_EQ(rt.applicationTitle, "mygame");
  EXPECT_TRUE(rt.flags.debugFlag);
  EXPECT_EQ(rt.flags.gameId, game.gameId);
  EXPECT_EQ(rt.flags.gameGuid, game.gameGuid);
  EXPECT_EQ(rt.resources, game.resources);
  EXPECT_EQ(pxtest::ReadBytes(rt.d3dxLibraryPath), game.d3dxLibrary);
  EXPECT_EQ(std::filesystem::path(rt.d3dxLibraryPath).parent_path(), rt.tempDir.path());
  EXPECT_FALSE(rt.loadForm.shown());
}

TEST(Startup, HelperLibraryNameCannotLeaveTheTemporaryDirectory) {
  GameFile game = SampleGame();
  game.d3dxName = "../../escape.dll";
  pxtest::HeadlessGame headless(game);
  ASSERT_TRUE(LoadAndRun(headless.rt()));
  EXPECT_EQ(headless.rt().d3dxLibraryPath, headless.rt().tempDir.path() + "/escape.dll");
}

TEST(Startup, FailuresShowTheirMessageAndExitWithOne) {
  const auto good = WriteGameFile(SampleGame());
  const std::size_t at = kFirstProbe;
  GameFile badSettings = SampleGame();
  badSettings.settingsVersion = 801;
  GameFile badOrder = SampleGame();
  badOrder.resources.roomOrder.clear();
  std::vector<std::uint8_t> movedData(good.begin(), good.begin() + at);
  movedData.resize(at + 5000, 0);
  movedData.insert(movedData.end(), good.begin() + at, good.end());
  std::vector<std::uint8_t> brokenBlock = good;
  brokenBlock[at + 12 + 4 + 10] ^= 0xFF;  // inside the settings' compressed block

  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* message;
  };
  const Case cases[] = {
      {"data at 2,005,000", movedData, kMsgNotValid},
      {"smaller than 2,000,000 bytes", std::vector<std::uint8_t>(1'999'999, 0), kMsgNotValid},
      {"empty file", {}, kMsgNotValid},
      {"magic as the last bytes", Patched(std::vector<std::uint8_t>(at + 4, 0), at, kGameMagic),
       kMsgCorrupted},
      {"ends exactly at a probe", std::vector<std::uint8_t>(at, 0), kMsgCorrupted},
      {"version 801", Patched(good, at + 4, 801), kMsgWrongVersion},
      {"settings version", WriteGameFile(badSettings), kMsgResourceData},
      {"room order empty", WriteGameFile(badOrder), kMsgResourceData},
      {"corrupt compressed block", brokenBlock, kMsgCorrupted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const InProcessRun run = PlayBytes(c.bytes);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, std::string(c.message) + "\n");
  }
}

// The game's own code is compiled while preparing: its errors end the run.
TEST(Startup, CodeThatDoesNotCompileEndsTheRun) {
  GameFile badScript = SampleGame();
  badScript.resources.scripts.add("scr_broken", CScript{"a = 1;\r\nb = "});
  GameFile badConstant = SampleGame();
  badConstant.resources.constants.push_back({"LIMIT", "3 +"});
  struct Case {
    const char* name;
    GameFile game;
    const char* output;
  };
  const Case cases[] = {
      {"script", badScript,
       "\n___________________________________________\n"
       "COMPILATION ERROR in Script: scr_broken\nError in code at line 2:\n   b = \n"
       "      ^\nat position 5: Unexpected symbol in expression.\n"
       "Failed to compile the scripts.\n"},
      {"constant", badConstant,
       "Value for constant LIMIT  is not valid.\nFailed to define the constants.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const InProcessRun run = PlayBytes(WriteGameFile(c.game));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, c.output);
  }
}

TEST(Startup, EveryTruncationIsReportedAsCorrupted) {
  const auto good = WriteGameFile(SampleGame());
  // Cutting anywhere inside the data must end in the corruption message,
  // never a crash or a hang. Step through the bytes of the data.
  for (std::size_t cut = kFirstProbe + 4; cut < good.size(); cut += 7) {
    const std::vector<std::uint8_t> bytes(good.begin(), good.begin() + cut);
    const InProcessRun run = PlayBytes(bytes);
    ASSERT_EQ(run.exitCode, 1) << cut;
    ASSERT_EQ(run.output, std::string(kMsgCorrupted) + "\n") << cut;
  }
}

TEST(Startup, HelperLibraryThatCannotBeWrittenFailsStartup) {
  // Without a temporary directory there is nowhere to put the library.
  pxtest::HeadlessGame headless(WriteGameFile(SampleGame()), "g.exe", false);
  EXPECT_EQ(PlayGameFile(headless.rt()), 1);
  EXPECT_EQ(headless.output(), std::string(kMsgD3DX) + "\n");
}

TEST(Startup, MissingGameFileCannotBeRead) {
  ScratchDir dir;
  for (const auto& path : {dir / "absent.exe", dir.path()}) {
    std::ostringstream out;
    auto platform = CreateHeadlessPlatform(out);
    Runtime rt(*platform);
    rt.gameFile = path.string();
    EXPECT_EQ(PlayGameFile(rt), 1);
    EXPECT_EQ(out.str(), std::string(kMsgCannotRead) + "\n");
  }
}

TEST(Startup, ChunksAreReadInTheirFixedOrder) {
  const int expected[] = {0, 5, 6, 7, 10, 23, 30, 32, 34, 36, 38, 40, 43, 45, 47, 49};
  for (std::size_t i = 0; i < kChunkStages.size(); ++i)
    EXPECT_EQ(kChunkStages[i].percent, expected[i]) << kChunkStages[i].text;
  EXPECT_STREQ(kChunkStages[13].text, "Loading help");
}

namespace {

// A headless platform that notes what the loading window shows each time
// it lets window messages through, which it does once per progress step.
class ProgressLog final : public pxtest::ForwardingPlatform {
 public:
  explicit ProgressLog(std::ostream& out) : ForwardingPlatform(CreateHeadlessPlatform(out)) {}
  const TLoadForm* form = nullptr;
  std::vector<std::pair<std::string, int>> seen;  // label text, filled bar width

  // Records the bar at each repaint of start-up, up to "Ready"; the game
  // handles its own messages afterwards.
  void pumpEvents() override {
    if (form && !ready) {
      seen.emplace_back(form->labelText, form->loadFullShape.width);
      ready = form->labelText == "Ready";
    }
    ForwardingPlatform::pumpEvents();
  }
  bool ready = false;
};

}  // namespace

TEST(Startup, ProgressStepsShowTheirTextsAndPercents) {
  // A loading image 148 pixels wide leaves a bar of 100: the filled width
  // is the percent itself.
  GameFile game = SampleGame();
  TBitmap32 image;
  image.SetSizeFilled(148, 40, 0xFF204060);
  game.settings.loadingImage = image;
  ScratchDir dir;
  pxtest::WriteBytes(dir / "game.exe", WriteGameFile(game));
  std::ostringstream out;
  ProgressLog platform(out);
  Runtime rt(platform);
  platform.form = &rt.loadForm;
  rt.gameFile = (dir / "game.exe").string();
  rt.maxSteps = 1;
  ASSERT_TRUE(rt.tempDir.Create(dir.path()));
  ASSERT_TRUE(LoadAndRun(rt));
  EXPECT_EQ(out.str(), "");

  const std::vector<std::pair<std::string, int>> expected = {
      // Before the window is set up its bar still has its design width, 289.
      {"Reading data", 3},
      {"Loading", 0},
      {"Loading extension packages", 0},
      {"Loading triggers", 5},
      {"Loading constants", 6},
      {"Loading sounds", 7},
      {"Loading sprites", 10},
      {"Loading backgrounds", 23},
      {"Loading paths", 30},
      {"Loading scripts", 32},
      {"Loading fonts", 34},
      {"Loading time lines", 36},
      {"Loading objects", 38},
      {"Loading rooms", 40},
      {"Loading included files", 43},
      {"Loading help", 45},
      {"Loading library init code", 47},
      {"Loading room order", 49},
      {"Extracting included files", 50},
      {"Preparing extension pacakges", 55},
      {"Preparing constants", 60},
      {"Preparing triggers", 61},
      {"Compiling scripts", 62},
      {"Compiling time line actions", 70},
      {"Compiling object actions", 72},
      {"Preparing sounds", 80},
      {"Preparing graphics", 90},
      {"Ready", 100},
  };
  EXPECT_EQ(platform.seen, expected);
  EXPECT_FALSE(rt.loadForm.shown());
}
