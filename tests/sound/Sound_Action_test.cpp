// The sound and CD actions: playing once or looping, stopping, the
// question whether a sound plays, their messages for a missing sound, and
// the CD actions' commands to a disc.
#include <gtest/gtest.h>

#include <map>

#include "library/Function_SoundAction.h"
#include "sound/Sound_TestSupport.h"

namespace {

using namespace px;
using pxtest::SoundRun;

TEST(SoundActions, PlayLoopStopAndAsk) {
  const struct {
    double loop;
    bool playsOn;  // still playing well after its end
  } cases[] = {{0, false}, {0.49, false}, {0.5, true}, {1, true}};
  for (const auto& c : cases) {
    SoundRun s;
    const double snd = s.Add(0, pxtest::ConstantWav(0.5f, 0.2));
    EXPECT_EQ(s.Call("action_if_sound", {snd}), 0);
    s.Call("action_sound", {snd, c.loop});
    s.Wait(0.1);
    EXPECT_EQ(s.Call("action_if_sound", {snd}), 1) << c.loop;
    EXPECT_GT(s.Left(0.05), 0.2f) << c.loop;
    s.Wait(0.5);
    EXPECT_EQ(s.Call("action_if_sound", {snd}), c.playsOn ? 1 : 0) << c.loop;
    s.Call("action_end_sound", {snd, 0});
    s.Wait(0.1);
    EXPECT_EQ(s.Call("action_if_sound", {snd}), 0) << c.loop;
    EXPECT_EQ(s.rt.code.report.last, "");
  }
}

TEST(SoundActions, MissingSounds) {
  SoundRun s;
  s.Add(0, pxtest::ConstantWav(0.5f, 0.2));
  const struct {
    const char* action;
    std::initializer_list<double> args;
    const char* message;
  } cases[] = {
      {"action_sound", {1, 0}, "Trying to play non-existing sound."},
      {"action_sound", {-1, 1}, "Trying to play non-existing sound."},
      {"action_end_sound", {1, 0}, "Trying to stop non-existing sound."},
      {"action_if_sound", {1}, ""},  // not playing, and no error
  };
  for (const auto& c : cases) {
    s.rt.code.report.last.clear();
    EXPECT_EQ(s.Call(c.action, c.args), 0) << c.action;
    if (*c.message)
      EXPECT_TRUE(s.rt.code.report.last.ends_with(c.message)) << c.action;
    else
      EXPECT_EQ(s.rt.code.report.last, "") << c.action;
  }
}

// A disc of 12 tracks that plays, noting the last command.
class PlayingDisc final : public MciDevice {
 public:
  std::string last;
  std::string send(std::string_view command) override {
    last = command;
    static const std::map<std::string, std::string, std::less<>> replies{
        {"status cdaudio media present", "true"},
        {"status cdaudio number of tracks", "12"},
        {"status cdaudio mode", "playing"},
    };
    const auto it = replies.find(command);
    return it == replies.end() ? "" : it->second;
  }
};

TEST(SoundActions, CdActionsDriveTheDisc) {
  pxtest::TestRun run;
  auto disc = std::make_unique<PlayingDisc>();
  PlayingDisc& d = *disc;
  run.rt.sound.cd = std::move(disc);
  const struct {
    const char* action;
    std::initializer_list<double> args;
    double result;
    const char* last;
  } cases[] = {
      {"action_cd_play", {2, 5}, 0, "play cdaudio from 2 to 6"},
      {"action_cd_play", {0, 12}, 0, "play cdaudio from 1"},
      {"action_cd_stop", {}, 0, "stop cdaudio"},
      {"action_cd_pause", {}, 0, "pause cdaudio"},
      {"action_cd_resume", {}, 0, "play cdaudio"},
      {"action_cd_present", {}, 1, "status cdaudio media present"},
      {"action_cd_playing", {}, 1, "status cdaudio mode"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(pxtest::CallReal(run, c.action, c.args), c.result) << c.action;
    EXPECT_EQ(d.last, c.last) << c.action;
  }
}

}  // namespace
