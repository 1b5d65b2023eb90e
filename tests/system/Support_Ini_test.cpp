// INI files: reading and writing rules, the ini_* functions, and the
// atomic write-back surviving a kill at any moment.
#include "system/Support_Ini.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "code/Function_TestSupport.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::ReadFile;
using pxtest::Real;
using pxtest::Str;

using pxtest::EndsWith;

TEST(IniFiles, ReadingRules) {
  const IniFile ini = IniFile::FromText(
      "top=outside\r\n"
      "; a comment\r\n"
      "  [ Player ]  \r\n"
      "  Name = Ann Lee  \r"
      "empty=\n"
      "equation=a=b\r\n"
      "noequals\r\n"
      "[player]\r\n"
      "name=second section\r\n"
      "lives=3\r\n"
      "[Other");
  const struct {
    const char* section;
    const char* key;
    const char* value;  // nullptr: missing
  } cases[] = {
      {"PLAYER", "name", "Ann Lee"},   {"player", "EMPTY", ""},      {"Player", "equation", "a=b"},
      {"player", "lives", nullptr},  // only the first section of a name counts
      {"player", "noequals", nullptr}, {"", "top", nullptr},         {"Player", "top", nullptr},
      {"other", "x", nullptr},         {"missing", "name", nullptr},
  };
  for (const auto& c : cases) {
    const auto value = ini.read(c.section, c.key);
    if (c.value == nullptr) {
      EXPECT_FALSE(value) << c.section << "/" << c.key;
    } else {
      EXPECT_EQ(value.value_or("<missing>"), c.value) << c.section << "/" << c.key;
    }
  }
  EXPECT_TRUE(ini.sectionExists("OTHER"));
  EXPECT_TRUE(ini.keyExists("player", "Empty"));
  EXPECT_FALSE(ini.sectionExists("top"));
}

TEST(IniFiles, WritingKeepsTheRestOfTheText) {
  IniFile ini = IniFile::FromText("; settings\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  ini.write("a", "X", "10");   // replaces the line, with the spelling given
  ini.write("A", "z", "3");    // after the section's last line that is not blank
  ini.write("C", "w", " 4 ");  // a new section at the end; the value is trimmed
  ini.deleteKey("b", "Y");
  EXPECT_EQ(ini.text(), "; settings\r\n[A]\r\nX=10\r\nz=3\r\n\r\n[B]\r\n[C]\r\nw=4\r\n");
  ini.deleteSection("a");
  EXPECT_EQ(ini.text(), "; settings\r\n[B]\r\n[C]\r\nw=4\r\n");
  EXPECT_TRUE(ini.changed());
}

TEST(IniFunctions, WrittenBytesAndReadingBack) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  Call(run, "ini_open", {Str("Settings.ini")});
  Call(run, "ini_write_string", {Str("Player"), Str("name"), Str("Ann")});
  Call(run, "ini_write_real", {Str("Player"), Str("score"), Real(12.5)});
  Call(run, "ini_write_real", {Str("Video"), Str("scale"), Real(1e20)});
  Call(run, "ini_write_real", {Str("Video"), Str("full"), Real(1)});
  // Nothing is written until the file is closed.
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Settings.ini"));
  Call(run, "ini_close");
  EXPECT_EQ(ReadFile(dir.path() / "Settings.ini"),
            "[Player]\r\nname=Ann\r\nscore=12.5\r\n[Video]\r\nscale=1E20\r\nfull=1\r\n");

  Call(run, "ini_open", {Str("SETTINGS.INI")});
  EXPECT_EQ(Call(run, "ini_read_string", {Str("player"), Str("NAME"), Str("x")}), Str("Ann"));
  EXPECT_EQ(Call(run, "ini_read_string", {Str("player"), Str("none"), Str("x")}), Str("x"));
  EXPECT_EQ(Call(run, "ini_read_real", {Str("PLAYER"), Str("score"), Real(0)}), Real(12.5));
  EXPECT_EQ(Call(run, "ini_read_real", {Str("video"), Str("scale"), Real(0)}), Real(1e20));
  EXPECT_EQ(Call(run, "ini_read_real", {Str("video"), Str("none"), Real(-2.25)}), Real(-2.25));
  EXPECT_EQ(Call(run, "ini_read_real", {Str("player"), Str("name"), Real(7)}), Real(0));
  EXPECT_EQ(Call(run, "ini_key_exists", {Str("video"), Str("FULL")}), Real(1));
  EXPECT_EQ(Call(run, "ini_key_exists", {Str("video"), Str("name")}), Real(0));
  EXPECT_EQ(Call(run, "ini_section_exists", {Str("VIDEO")}), Real(1));
  Call(run, "ini_key_delete", {Str("player"), Str("score")});
  Call(run, "ini_section_delete", {Str("video")});
  EXPECT_EQ(Call(run, "ini_section_exists", {Str("VIDEO")}), Real(0));
  // A name with a folder is refused and the open file stays.
  run.rt.code.report.last.clear();
  Call(run, "ini_open", {Str("sub\\other.ini")});
  EXPECT_TRUE(EndsWith(run.rt.code.report.last,
                       "INI files must be located in the same directory as the program"));
  EXPECT_EQ(Call(run, "ini_read_string", {Str("player"), Str("name"), Str("")}), Str("Ann"));
  // Opening another file writes this one out.
  Call(run, "ini_open", {Str("other.ini")});
  EXPECT_EQ(ReadFile(dir.path() / "Settings.ini"), "[Player]\r\nname=Ann\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "other.ini"));
}

TEST(IniFunctions, NoFileOpen) {
  pxtest::TestRun run;
  const struct {
    const char* name;
    std::vector<RValue> args;
    const char* message;
  } cases[] = {
      {"ini_read_string", {Str("s"), Str("k"), Str("d")}, "Trying to read from undefined INI file"},
      {"ini_read_real", {Str("s"), Str("k"), Real(1)}, "Trying to read from undefined INI file"},
      {"ini_key_exists", {Str("s"), Str("k")}, "Trying to read from undefined INI file"},
      {"ini_section_exists", {Str("s")}, "Trying to read from undefined INI file"},
      {"ini_write_string", {Str("s"), Str("k"), Str("v")}, "Trying to write to undefined INI file"},
      {"ini_write_real", {Str("s"), Str("k"), Real(1)}, "Trying to write to undefined INI file"},
      {"ini_key_delete", {Str("s"), Str("k")}, "Trying to change undefined INI file"},
      {"ini_section_delete", {Str("s")}, "Trying to change undefined INI file"},
  };
  for (const auto& c : cases) {
    run.rt.code.report.last.clear();
    const RValue r = pxtest::CallWith(run, c.name, c.args);
    EXPECT_TRUE(EndsWith(run.rt.code.report.last, c.message)) << c.name;
    EXPECT_EQ(r.real, 0) << c.name;
  }
}

TEST(IniFunctions, EndOfRunWritesTheOpenFile) {
  pxtest::InScratchDir dir;
  {
    pxtest::TestRun run;
    Call(run, "ini_open", {Str("end.ini")});
    Call(run, "ini_write_string", {Str("s"), Str("k"), Str("v")});
  }
  EXPECT_EQ(ReadFile(dir.path() / "end.ini"), "[s]\r\nk=v\r\n");
}

// A child rewrites a large INI file over and over, alternating two texts;
// it is killed at a random moment, and the file must be one of the two
// whole.
TEST(IniFiles, LineBreaksInNamesAndValuesReadBackAndAddNoLines) {
  pxtest::InScratchDir dir;
  const std::string path = (dir.path() / "x.ini").string();
  const struct {
    std::string section, key, value;
  } cases[] = {
      {"s", "k\n[evil]\nx", "1"},
      {"s", "plain", "two\r\nlines\rand\nmore"},
      {"a\nb", "k", "v\\n stays a backslash and n"},
      {"s", "marker", "\\~looks escaped"},
      {"s", "end", "ends with a break\n"},
  };
  {
    IniFile ini(path);
    for (const auto& c : cases) ini.write(c.section, c.key, c.value);
    ASSERT_TRUE(ini.flush());
  }
  IniFile again(path);
  for (const auto& c : cases) EXPECT_EQ(again.read(c.section, c.key), c.value) << c.value;
  EXPECT_FALSE(again.sectionExists("evil"));
  EXPECT_FALSE(again.keyExists("s", "k"));
  std::size_t lines = 0;
  for (char ch : ReadFile(path)) lines += ch == '\n';
  EXPECT_EQ(lines, 7u);  // two headers and five keys
}

TEST(IniFiles, StaleTemporaryFilesGoWhenTheFileIsNextWritten) {
  pxtest::InScratchDir dir;
  namespace fs = std::filesystem;
  const fs::path stale = dir.path() / ".x.ini.AbC123";
  const fs::path fresh = dir.path() / ".x.ini.XyZ789";  // maybe another process writing now
  const fs::path other = dir.path() / ".y.ini.AbC123";
  for (const fs::path& p : {stale, fresh, other}) pxtest::WriteText(p, "partial");
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
  fs::last_write_time(stale, old);
  fs::last_write_time(other, old);
  ASSERT_TRUE(ReplaceFileAtomically((dir.path() / "x.ini").string(), "[a]\r\n"));
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_TRUE(fs::exists(other));
}

TEST(IniFiles, AFailedWriteKeepsTheValuesAndIsSaidOnce) {
  IniFile ini("/no-such-folder-for-pxrun/x.ini");
  ini.write("s", "k", "v");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(ini.flush());
  ini.write("s", "k2", "w");
  EXPECT_FALSE(ini.flush());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "pxrun: cannot write the INI file /no-such-folder-for-pxrun/x.ini: No such file or "
            "directory\n");
  EXPECT_EQ(ini.read("s", "k"), "v");
  EXPECT_TRUE(ini.changed());
}

TEST(IniFiles, KilledWhileWritingLeavesAWholeFile) {
  pxtest::InScratchDir dir;
  const auto big = [](char value) {
    IniFile ini = IniFile::FromText("");
    for (int s = 0; s < 40; ++s) {
      for (int k = 0; k < 100; ++k) {
        ini.write("section" + std::to_string(s), "key" + std::to_string(k), std::string(20, value));
      }
    }
    return ini.text();
  };
  const std::string oldText = big('o');
  const std::string newText = big('n');
  const std::string path = (dir.path() / "big.ini").string();
  ASSERT_TRUE(ReplaceFileAtomically(path, oldText));
  std::mt19937 random(25);
  std::uniform_int_distribution<int> delay(0, 20000);
  for (int round = 0; round < 200; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (bool next = true;; next = !next) ReplaceFileAtomically(path, next ? newText : oldText);
    }
    ::usleep(static_cast<useconds_t>(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string now = ReadFile(path);
    ASSERT_TRUE(now == oldText || now == newText)
        << "round " << round << ": " << now.size() << " bytes";
  }
}

}  // namespace
