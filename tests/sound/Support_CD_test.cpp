// The CD functions: the command strings they send to a disc, and their
// answers on this machine, which has no drive.
#include "sound/Support_CD.h"

#include <gtest/gtest.h>

#include <map>

#include "code/Function_TestSupport.h"

namespace {

using namespace px;

// A drive with a disc of 12 tracks that notes every command.
class FakeDisc final : public MciDevice {
 public:
  std::vector<std::string> sent;
  std::map<std::string, std::string, std::less<>> replies{
      {"status cdaudio media present", "true"},  {"status cdaudio number of tracks", "12"},
      {"status cdaudio mode", "stopped"},        {"status cdaudio position", "03:02:05:10"},
      {"status cdaudio length wait", "2345678"}, {"status cdaudio length track 4", "201000"},
  };
  std::string send(std::string_view command) override {
    sent.emplace_back(command);
    const auto it = replies.find(command);
    return it == replies.end() ? "" : it->second;
  }
  // The commands sent after the last presence test.
  std::vector<std::string> afterPresence() const {
    std::vector<std::string> out;
    for (const std::string& c : sent) {
      if (c == "status cdaudio media present" || c == "open cdaudio") {
        out.clear();
        continue;
      }
      out.push_back(c);
    }
    return out;
  }
};

struct CdRun {
  pxtest::TestRun run;
  FakeDisc* disc = nullptr;
  CdRun() {
    auto d = std::make_unique<FakeDisc>();
    disc = d.get();
    run.rt.sound.cd = std::move(d);
  }
  double Call(std::string_view name, std::initializer_list<double> args = {}) {
    disc->sent.clear();
    return pxtest::CallReal(run, name, args);
  }
};

using Commands = std::vector<std::string>;

TEST(CdAudio, PlayRangesAndTheirCommands) {
  const struct {
    double first, last;
    Commands after;
  } cases[] = {
      {0, 99, {"status cdaudio number of tracks", "play cdaudio from 1"}},
      {2, 5, {"status cdaudio number of tracks", "play cdaudio from 2 to 6"}},
      {3, 12, {"status cdaudio number of tracks", "play cdaudio from 3"}},
  };
  for (const auto& c : cases) {
    CdRun cd;
    cd.Call("cd_play", {c.first, c.last});
    EXPECT_EQ(cd.disc->afterPresence(), c.after) << c.first << "-" << c.last;
    EXPECT_EQ(cd.disc->sent[2], "set cdaudio time format tmsf wait");
  }
  CdRun cd;
  cd.Call("cd_play", {3, 2});
  EXPECT_TRUE(cd.disc->sent.empty());
}

TEST(CdAudio, QueriesReadTheReplies) {
  CdRun cd;
  EXPECT_EQ(cd.Call("cd_present"), 1);
  EXPECT_EQ(cd.disc->sent, (Commands{"open cdaudio", "status cdaudio media present"}));
  EXPECT_EQ(cd.Call("cd_number"), 12);
  EXPECT_EQ(cd.Call("cd_paused"), 1);  // a stopped disc counts as paused
  EXPECT_EQ(cd.Call("cd_playing"), 0);
  EXPECT_EQ(cd.Call("cd_track"), 3);
  EXPECT_EQ(cd.Call("cd_track_position"), 2 * 60000 + 5 * 1000);
  EXPECT_EQ(cd.Call("cd_length"), 2345678);
  EXPECT_EQ(cd.disc->sent.back(), "set cdaudio time format tmsf wait");
  EXPECT_EQ(cd.Call("cd_track_length", {4}), 201000);
  EXPECT_EQ(cd.Call("cd_track_length", {13}), 0);
  EXPECT_EQ(cd.Call("cd_position"), 3020510);  // the digits of the reply
  cd.disc->replies["status cdaudio mode"] = "playing";
  EXPECT_EQ(cd.Call("cd_playing"), 1);
  EXPECT_EQ(cd.Call("cd_paused"), 0);
}

TEST(CdAudio, PositionsPlayWhenPlayingAndSeekOtherwise) {
  CdRun cd;
  cd.Call("cd_set_track_position", {125000});
  EXPECT_EQ(cd.disc->afterPresence(), (Commands{"status cdaudio mode", "seek cdaudio to 3:2:5",
                                                "set cdaudio time format tmsf"}));
  cd.disc->replies["status cdaudio mode"] = "playing";
  cd.Call("cd_set_position", {4500});
  EXPECT_EQ(cd.disc->afterPresence(), (Commands{"status cdaudio mode", "play cdaudio from 4500",
                                                "set cdaudio time format tmsf"}));
  cd.Call("cd_open_door");
  EXPECT_EQ(cd.disc->sent, (Commands{"open cdaudio", "set cdaudio door open"}));
  cd.Call("cd_init");
  EXPECT_EQ(cd.disc->sent, (Commands{"close cdaudio", "open cdaudio"}));
}

TEST(CdAudio, WithoutADriveEverythingIsZero) {
  pxtest::TestRun run;
  for (const char* name : {"cd_present", "cd_number", "cd_playing", "cd_paused", "cd_track",
                           "cd_length", "cd_position", "cd_track_position"})
    EXPECT_EQ(pxtest::CallReal(run, name, {}), 0) << name;
  EXPECT_EQ(pxtest::CallReal(run, "cd_track_length", {1}), 0);
  for (const char* name :
       {"cd_init", "cd_stop", "cd_pause", "cd_resume", "cd_open_door", "cd_close_door"})
    EXPECT_EQ(pxtest::CallReal(run, name, {}), 0) << name;
  EXPECT_EQ(pxtest::CallReal(run, "cd_play", {1, 3}), 0);
  EXPECT_EQ(run.rt.code.report.last, "");
}

TEST(CdAudio, ReplyNumbersAreTheirDigits) {
  EXPECT_EQ(ReplyNumber(""), 0);
  EXPECT_EQ(ReplyNumber("12"), 12);
  EXPECT_EQ(ReplyNumber("01:02"), 102);
  EXPECT_EQ(ReplyNumber("none"), 0);
}

}  // namespace
