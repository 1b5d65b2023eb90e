// Replay files: the events each line gives, and the errors that name the
// line.
#include "run/Runner_Input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "run/Runner_CommandLine.h"

using namespace px;

namespace {

using Kind = InputEvent::Kind;

TEST(Replay, EveryEventKind) {
  const ReplayFile f = ParseReplay(
      "# a comment\n"
      "3 keydown 37\r\n"
      "\n"
      "  3 keyup 37   # after the event\n"
      "4 char 65\n"
      "4 char 'a'\n"
      "4 char ' '\n"
      "4 char '#'\n"
      "5 mousemove 120 -8\n"
      "5 mousedown 1\n"
      "6 mouseup 3\n"
      "7 wheelup\n"
      "7\twheeldown\n"
      "9 close",
      "in.txt");
  ASSERT_EQ(f.error, "");
  struct Want {
    std::int64_t step;
    Kind kind;
    std::int32_t code, x, y;
  };
  const Want want[] = {
      {3, Kind::KeyDown, 37, 0, 0},     {3, Kind::KeyUp, 37, 0, 0},
      {4, Kind::Character, 65, 0, 0},   {4, Kind::Character, 'a', 0, 0},
      {4, Kind::Character, ' ', 0, 0},  {4, Kind::Character, '#', 0, 0},
      {5, Kind::MouseMove, 0, 120, -8}, {5, Kind::MouseDown, 1, 0, 0},
      {6, Kind::MouseUp, 3, 0, 0},      {7, Kind::WheelUp, 0, 0, 0},
      {7, Kind::WheelDown, 0, 0, 0},    {9, Kind::Close, 0, 0, 0},
  };
  ASSERT_EQ(f.events.size(), std::size(want));
  for (std::size_t i = 0; i < f.events.size(); ++i) {
    const ReplayEvent& e = f.events[i];
    EXPECT_EQ(e.step, want[i].step) << i;
    EXPECT_EQ(e.event.kind, want[i].kind) << i;
    EXPECT_EQ(e.event.code, want[i].code) << i;
    EXPECT_EQ(e.event.x, want[i].x) << i;
    EXPECT_EQ(e.event.y, want[i].y) << i;
  }
}

TEST(Replay, StepsOutOfOrderAreSortedKeepingTheFileOrderWithinAStep) {
  const ReplayFile f = ParseReplay("5 keydown 1\n2 keydown 2\n5 keydown 3\n2 keydown 4\n", "f");
  ASSERT_EQ(f.error, "");
  std::vector<std::int32_t> codes;
  for (const ReplayEvent& e : f.events) codes.push_back(e.event.code);
  EXPECT_EQ(codes, (std::vector<std::int32_t>{2, 4, 1, 3}));
}

TEST(Replay, ErrorsNameTheFileAndLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"1 keydown 37\n\n3 kedown 37\n", "input.txt:3: unknown event 'kedown'"},
      {"x keydown 37", "input.txt:1: step number from 1 up expected, not 'x'"},
      {"0 keydown 37", "input.txt:1: step number from 1 up expected, not '0'"},
      {"-2 close", "input.txt:1: step number from 1 up expected, not '-2'"},
      {"4", "input.txt:1: event expected after the step number"},
      {"4 keydown", "input.txt:1: 'keydown' takes 1 argument"},
      {"4 keyup 37 38", "input.txt:1: 'keyup' takes 1 argument"},
      {"4 keydown 256", "input.txt:1: 'keydown' needs a key code from 0 to 255, not '256'"},
      {"4 keydown 3.5", "input.txt:1: 'keydown' needs a key code from 0 to 255, not '3.5'"},
      {"4 char ab",
       "input.txt:1: 'char' needs a character code from 0 to 255 or a quoted "
       "character, not 'ab'"},
      {"4 char 'ab'",
       "input.txt:1: 'char' needs a character code from 0 to 255 or a quoted "
       "character, not ''ab''"},
      {"4 mousedown 0",
       "input.txt:1: 'mousedown' needs a button 1 (left), 2 (right) or 3 "
       "(middle), not '0'"},
      {"4 mousemove 10", "input.txt:1: 'mousemove' takes 2 arguments"},
      {"4 mousemove 10 y", "input.txt:1: 'mousemove' needs whole numbers x and y, not '10' 'y'"},
      {"4 close now", "input.txt:1: 'close' takes no arguments"},
      {"4 KEYDOWN 1", "input.txt:1: unknown event 'KEYDOWN'"},
  };
  for (const Case& c : cases) {
    const ReplayFile f = ParseReplay(c.text, "input.txt");
    EXPECT_EQ(f.error, c.error) << c.text;
    EXPECT_TRUE(f.events.empty()) << c.text;
  }
}

TEST(Replay, LongLinesAreRefusedAndBadWordsQuotedShort) {
  const std::string word(200, 'k');
  EXPECT_EQ(ParseReplay("1 " + word, "in").error,
            "in:1: unknown event '" + std::string(80, 'k') + "...'");
  const std::string longLine = "1 keydown 37 #" + std::string(kMaxReplayLine, ' ');
  EXPECT_EQ(ParseReplay("1 close\n" + longLine, "in").error,
            "in:2: line longer than 4096 characters");
}

TEST(Replay, AnEndlessFileIsRefusedAtItsFirstLongLine) {
  const ReplayFile f = LoadReplay("/dev/zero");
  EXPECT_EQ(f.error, "/dev/zero:1: line longer than 4096 characters");
}

TEST(Replay, LoadingAFile) {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string path = (dir / "pxrun-replay-test.txt").string();
  { std::ofstream(path) << "2 keydown 65\n"; }
  const ReplayFile good = LoadReplay(path);
  std::remove(path.c_str());
  EXPECT_EQ(good.error, "");
  ASSERT_EQ(good.events.size(), 1u);
  EXPECT_EQ(good.events[0].step, 2);

  const std::string missing = (dir / "pxrun-no-such-replay.txt").string();
  EXPECT_EQ(LoadReplay(missing).error, missing + ": cannot read the file");
  EXPECT_EQ(LoadReplay(dir.string()).error, dir.string() + ": cannot read the file");
}

TEST(Replay, CommandLineOption) {
  EXPECT_EQ(ParseCommandLine({"--input", "keys.txt", "game.exe"}).inputFile, "keys.txt");
  EXPECT_EQ(ParseCommandLine({"--input=keys.txt", "game.exe"}).inputFile, "keys.txt");
  EXPECT_FALSE(ParseCommandLine({"--input"}).error.empty());
  EXPECT_FALSE(ParseCommandLine({"--input=", "game.exe"}).error.empty());
  EXPECT_NE(UsageText().find("--input FILE"), std::string::npos);
}

}  // namespace
