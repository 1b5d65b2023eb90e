// Media command strings: a file opened under an alias plays, pauses,
// resumes, stops and closes with its state visible through status; devices
// play side by side; commands on "cdaudio" reach the CD drive; everything
// else gets an error text.
#include "sound/Sound_MediaCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sound/Sound_TestSupport.h"
#include "support/TestSupport.h"

namespace {

using namespace px;
using pxtest::SoundRun;

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

struct MediaCommandTest : testing::Test {
  SoundRun s;
  pxtest::ScratchDir dir;
  // Half a second at 0.5, in a folder whose name has a blank.
  std::string tone = (dir.path() / "my music" / "tone.wav").string();

  MediaCommandTest() { WriteFile(tone, pxtest::ConstantWav(0.5f, 0.5)); }

  std::string Mci(const std::string& command) {
    return pxtest::Call(s.run, "MCI_command", {pxtest::Str(command.c_str())}).str();
  }
  std::string Status(const std::string& item) { return Mci("status tone " + item); }
  int Position() { return std::stoi(Status("position")); }
};

TEST_F(MediaCommandTest, PlayPauseResumeStopAndClose) {
  EXPECT_EQ(Mci("open \"" + tone + "\" type waveaudio alias tone"), "");
  EXPECT_EQ(Status("mode"), "stopped");
  EXPECT_EQ(Status("length"), "500");
  EXPECT_EQ(Status("position"), "0");

  EXPECT_EQ(Mci("play tone"), "");
  EXPECT_EQ(Status("mode"), "playing");
  s.Wait(0.2);
  EXPECT_NEAR(Position(), 200, 10);
  EXPECT_EQ(s.Left(0.1), 0.5f);

  EXPECT_EQ(Mci("pause tone"), "");
  EXPECT_EQ(Status("mode"), "paused");
  const int held = Position();
  s.Wait(0.2);
  EXPECT_EQ(Position(), held);
  EXPECT_EQ(s.Left(0.35), 0.0f);  // silent while paused

  EXPECT_EQ(Mci("resume tone"), "");
  EXPECT_EQ(Status("mode"), "playing");
  s.Wait(0.1);
  EXPECT_NEAR(Position(), held + 100, 10);

  // Stopping keeps the place; play goes on from it.
  EXPECT_EQ(Mci("stop tone"), "");
  EXPECT_EQ(Status("mode"), "stopped");
  const int stopped = Position();
  s.Wait(0.1);
  EXPECT_EQ(Position(), stopped);
  Mci("play tone");
  s.Wait(0.5);
  EXPECT_EQ(Status("mode"), "stopped");  // reached the end
  EXPECT_EQ(Status("position"), "500");

  // At the end, play starts over.
  Mci("play tone");
  s.Wait(0.05);
  EXPECT_EQ(Status("mode"), "playing");
  EXPECT_NEAR(Position(), 50, 10);

  EXPECT_EQ(Mci("close tone"), "");
  EXPECT_EQ(Status("mode"), kMediaUnknownDevice);
  s.Wait(0.1);
  const double t = double(s.Frames().size() / 2) / kAudioRate;
  EXPECT_EQ(s.Left(t - 0.01), 0.0f);  // closing stopped it
}

TEST_F(MediaCommandTest, FromToAndRepeat) {
  Mci("open \"" + tone + "\" alias tone");
  EXPECT_EQ(Mci("play tone from 100 to 200"), "");
  EXPECT_EQ(Status("position"), "100");
  s.Wait(0.3);
  EXPECT_EQ(Status("mode"), "stopped");
  EXPECT_EQ(Status("position"), "200");

  // Repeating goes back to the start point at the end point.
  EXPECT_EQ(Mci("play tone from 300 to 400 repeat"), "");
  s.Wait(1.05);
  EXPECT_EQ(Status("mode"), "playing");
  EXPECT_NEAR(Position(), 350, 10);
  Mci("stop tone");

  // Without a start point, repeating rewinds to the beginning.
  Mci("play tone from 0");
  s.Wait(0.1);
  Mci("play tone repeat");
  s.Wait(0.6);
  EXPECT_EQ(Status("mode"), "playing");
  EXPECT_NEAR(Position(), 200, 10);
}

TEST_F(MediaCommandTest, DevicesPlaySideBySide) {
  const std::string quiet = (dir.path() / "quiet.wav").string();
  WriteFile(quiet, pxtest::ConstantWav(0.25f, 0.5));
  Mci("open \"" + tone + "\" alias a");
  Mci("open " + quiet + " alias B");
  Mci("play A");  // aliases ignore letter case
  Mci("play b");
  s.Wait(0.1);
  EXPECT_NEAR(s.Left(0.05), 0.75f, 1e-3);
  Mci("stop a");
  s.Wait(0.1);
  EXPECT_NEAR(s.Left(0.15), 0.25f, 1e-3);
  EXPECT_EQ(Mci("status a mode"), "stopped");
  EXPECT_EQ(Mci("status b mode"), "playing");
  EXPECT_EQ(Mci("close all"), "");
  EXPECT_EQ(Mci("status b mode"), kMediaUnknownDevice);
  s.Wait(0.1);
  EXPECT_EQ(s.Left(0.25), 0.0f);
}

TEST_F(MediaCommandTest, ErrorTexts) {
  Mci("open \"" + tone + "\" alias tone");
  const struct {
    const char* command;
    const char* reply;
  } cases[] = {
      {"", kMediaUnknownCommand},
      {"seek tone to 0", kMediaUnknownCommand},
      {"set tone time format milliseconds", kMediaUnknownCommand},
      {"play", kMediaMissingParameter},
      {"open", kMediaMissingParameter},
      {"play nothing", kMediaUnknownDevice},
      {"close nothing", kMediaUnknownDevice},
      {"play tone from", kMediaMissingParameter},
      {"play tone from abc", kMediaBadParameter},
      {"play tone from -5", kMediaBadParameter},
      {"play tone backwards", kMediaBadParameter},
      {"play tone from 501", kMediaOutOfRange},
      {"play tone to 600", kMediaOutOfRange},
      {"play tone from 300 to 200", kMediaOutOfRange},
      {"status tone", kMediaMissingParameter},
      {"status tone volume", kMediaBadParameter},
      {"stop tone now", kMediaBadParameter},
      {"open missing.wav alias m", kMediaCannotOpen},
      {"open tone.wav alias", kMediaMissingParameter},
      {"open tone.wav shareable", kMediaBadParameter},
      {"open tone.wav alias all", kMediaBadParameter},
  };
  for (const auto& c : cases) EXPECT_EQ(Mci(c.command), c.reply) << c.command;
  // None of them touched the device; flags that ask to wait or be told
  // are taken and change nothing.
  EXPECT_EQ(Status("mode wait"), "stopped");
  EXPECT_EQ(Mci("play tone notify"), "");
  EXPECT_EQ(Status("mode"), "playing");

  EXPECT_EQ(Mci("open \"" + tone + "\" alias TONE"), kMediaAliasInUse);
  // A file that is no media opens nothing.
  const std::string junk = (dir.path() / "junk.wav").string();
  WriteFile(junk, std::vector<std::uint8_t>(300, 7));
  EXPECT_EQ(Mci("open " + junk + " alias junk"), kMediaCannotOpen);
  // Eight devices at once, then no more.
  for (int i = 2; i <= 8; ++i)
    EXPECT_EQ(Mci("open \"" + tone + "\" alias t" + std::to_string(i)), "") << i;
  EXPECT_EQ(Mci("open \"" + tone + "\" alias t9"), kMediaTooManyDevices);
  Mci("play t5");
  s.Wait(0.1);
  Mci("close t5");
  EXPECT_EQ(Mci("open \"" + tone + "\" alias t9"), "");
  EXPECT_EQ(Mci("status t9 position"), "0");  // the freed player starts afresh
  EXPECT_EQ(Mci("status t9 mode"), "stopped");
}

// A drive that answers every command with the command itself.
class EchoDrive final : public MciDevice {
 public:
  std::string send(std::string_view command) override { return "cd: " + std::string(command); }
};

TEST_F(MediaCommandTest, CdCommandsGoToTheDrive) {
  s.rt.sound.cd = std::make_unique<EchoDrive>();
  EXPECT_EQ(Mci("status CDaudio mode"), "cd: status CDaudio mode");
  EXPECT_EQ(Mci("play cdaudio from 2 to 3"), "cd: play cdaudio from 2 to 3");
  EXPECT_EQ(s.rt.sound.media.openCount(), 0u);
}

TEST(MediaCommandWords, BlanksAndQuotes) {
  const struct {
    const char* command;
    std::vector<std::string> words;
  } cases[] = {
      {"", {}},
      {"  play\t a  ", {"play", "a"}},
      {"open \"C:\\my music\\a.mp3\" alias x", {"open", "C:\\my music\\a.mp3", "alias", "x"}},
      {"open \"unclosed name", {"open", "unclosed name"}},
      {"open \"\" alias x", {"open", "", "alias", "x"}},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandWords(c.command), c.words) << c.command;
}

}  // namespace
