// The file, text file, binary file and file-name functions as game code
// calls them, in a scratch current directory.
#include "library/Function_File.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "code/Code_ExecTestSupport.h"
#include "code/Function_TestSupport.h"
#include "platform/Platform_Path.h"
#include "system/File_TestSupport.h"
#include "system/Support_Filename.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::ReadFile;
using pxtest::Real;
using pxtest::Str;
using pxtest::WriteText;

using pxtest::EndsWith;

// Runs a call and expects it to report `message` (or nothing for "").
void ExpectReport(pxtest::TestRun& run, const std::string& message, std::string_view name,
                  std::initializer_list<RValue> args) {
  run.rt.code.report.last.clear();
  Call(run, name, args);
  if (message.empty()) {
    EXPECT_EQ(run.rt.code.report.last, "") << name;
  } else {
    EXPECT_TRUE(EndsWith(run.rt.code.report.last, message))
        << name << ": " << run.rt.code.report.last << " / expected " << message;
  }
}

TEST(GamePaths, BackslashesDrivesAndLetterCase) {
  pxtest::InScratchDir dir;
  std::filesystem::create_directories("Data/Saves");
  WriteText("Data/Saves/Slot1.TXT", "x");
  const struct {
    const char* game;
    const char* host;
  } cases[] = {
      {"data\\saves\\slot1.txt", "Data/Saves/Slot1.TXT"},
      {"DATA/SAVES/SLOT1.txt", "Data/Saves/Slot1.TXT"},
      {"data\\\\saves\\new.txt", "Data/Saves/new.txt"},
      {"c:data\\saves", "Data/Saves"},
      {"data\\missing\\x.txt", "Data/missing/x.txt"},
      {".\\data\\..\\DATA", "./Data/../Data"},
      {"C:\\tmp", "/tmp"},
      {"\\tmp", "/tmp"},
      {"\\\\server\\share\\file.txt", ""},
      {"", "."},
  };
  for (const auto& c : cases) EXPECT_EQ(HostPath(c.game), c.host) << c.game;
  // Of two names differing only in case, an exact match wins, else the
  // smallest in byte order.
  WriteText("Data/B.txt", "1");
  WriteText("Data/b.TXT", "2");
  EXPECT_EQ(HostPath("data\\b.TXT"), "Data/b.TXT");
  EXPECT_EQ(HostPath("data\\b.txt"), "Data/B.txt");
}

TEST(GamePaths, GameWritesOneSpellingAndReadsAnother) {
  pxtest::InScratchDir dir;
  pxtest::ExecWorld w;
  const pxtest::Outcome o = w.Run(
      "directory_create('Data');"
      "f = file_text_open_write('Data\\Save.TXT');"
      "file_text_write_string(f, 'level'); file_text_write_real(f, 12.5); file_text_writeln(f);"
      "file_text_write_real(f, -3); file_text_close(f);"
      "g = file_text_open_read('data\\save.txt');"
      "s = file_text_read_string(g); file_text_readln(g); r = file_text_read_real(g);"
      "e = file_text_eof(g); file_text_close(g);"
      "return s + '|' + string(r) + '|' + string(e) + '|' + string(file_exists('DATA\\SAVE.txt'))");
  ASSERT_TRUE(o.ok) << o.error;
  EXPECT_EQ(o.result.str(), "level 12.500000|-3|1|1");
  EXPECT_EQ(ReadFile(dir.path() / "Data" / "Save.TXT"), "level 12.500000\r\n -3");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "data"));
}

TEST(BinaryFiles, ThirtyTwoSlotsThenRefusal) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  for (int i = 1; i <= 32; ++i) {
    EXPECT_EQ(Call(run, "file_bin_open", {Str(("f" + std::to_string(i)).c_str()), Real(2)}),
              Real(i));
  }
  run.rt.code.report.last.clear();
  EXPECT_EQ(Call(run, "file_bin_open", {Str("f33"), Real(2)}), Real(-1));
  EXPECT_TRUE(EndsWith(run.rt.code.report.last, "Cannot open another file (maximum exceeded)."));
  EXPECT_FALSE(std::filesystem::exists("f33"));
  Call(run, "file_bin_close", {Real(5)});
  EXPECT_EQ(Call(run, "file_bin_open", {Str("again"), Real(0)}), Real(5));
  // The text table is separate: its handle 1 is still free.
  EXPECT_EQ(Call(run, "file_text_open_write", {Str("t.txt")}), Real(1));
  // So is its own limit.
  for (int i = 2; i <= 32; ++i) Call(run, "file_text_open_write", {Str("t.txt")});
  ExpectReport(run, "Cannot open another file (maximum exceeded).", "file_text_open_read",
               {Str("t.txt")});
  ExpectReport(run, "Cannot open another file (maximum exceeded).", "file_text_open_append",
               {Str("t.txt")});
}

TEST(BinaryFiles, BytesGoOutAndComeBackExactly) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  const double h = Call(run, "file_bin_open", {Str("Data.bin"), Real(1)}).real;
  ASSERT_EQ(h, 1);
  for (const double b : {0.0, 255.0, 256.0 + 65, -1.0, 10.5, 11.5, 13.0})
    Call(run, "file_bin_write_byte", {Real(h), Real(b)});
  EXPECT_EQ(Call(run, "file_bin_position", {Real(h)}), Real(7));
  EXPECT_EQ(Call(run, "file_bin_size", {Real(h)}), Real(7));
  Call(run, "file_bin_close", {Real(h)});
  EXPECT_EQ(ReadFile(dir.path() / "Data.bin"), std::string("\x00\xFF"
                                                           "A\xFF\x0A\x0C\x0D",
                                                           7));

  const double r = Call(run, "file_bin_open", {Str("DATA.BIN"), Real(0)}).real;
  Call(run, "file_bin_seek", {Real(r), Real(2)});
  EXPECT_EQ(Call(run, "file_bin_read_byte", {Real(r)}), Real(65));
  Call(run, "file_bin_seek", {Real(r), Real(6)});
  EXPECT_EQ(Call(run, "file_bin_read_byte", {Real(r)}), Real(13));
  ExpectReport(run, "Error reading byte.", "file_bin_read_byte", {Real(r)});
  ExpectReport(run, "Error writing byte.", "file_bin_write_byte", {Real(r), Real(1)});
  ExpectReport(run, "Error seeking.", "file_bin_seek", {Real(r), Real(-1)});
  // Rewriting empties the file and allows writing.
  Call(run, "file_bin_rewrite", {Real(r)});
  EXPECT_EQ(Call(run, "file_bin_size", {Real(r)}), Real(0));
  Call(run, "file_bin_write_byte", {Real(r), Real(66)});
  Call(run, "file_bin_seek", {Real(r), Real(0)});
  EXPECT_EQ(Call(run, "file_bin_read_byte", {Real(r)}), Real(66));
  Call(run, "file_bin_close", {Real(r)});
  EXPECT_EQ(ReadFile(dir.path() / "Data.bin"), "B");
  // Mode 0 creates a missing file; writing to it keeps the file as it was.
  EXPECT_EQ(Call(run, "file_bin_open", {Str("new.bin"), Real(0)}), Real(1));
  EXPECT_TRUE(std::filesystem::exists("new.bin"));
}

TEST(BinaryFiles, BadHandlesAndOpenFailures) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  Call(run, "file_bin_open", {Str("a.bin"), Real(2)});
  std::filesystem::create_directory("folder");
  const pxtest::ReportCase cases[] = {
      {"Trying to rewrite unopened file.", "file_bin_rewrite", {Real(2)}},
      {"Trying to close unopened file.", "file_bin_close", {Real(0)}},
      {"File is not opened.", "file_bin_seek", {Real(33), Real(0)}},
      {"File is not opened.", "file_bin_size", {Real(-1)}},
      {"File is not opened.", "file_bin_position", {Real(2)}},
      {"File is not opened.", "file_bin_read_byte", {Real(1.5)}},  // 1.5 rounds to 2
      {"File is not opened.", "file_bin_write_byte", {Real(2), Real(0)}},
      {"Error opening binary file.", "file_bin_open", {Str("folder"), Real(0)}},
      {"Error opening binary file.", "file_bin_open", {Str("no\\such\\dir.bin"), Real(1)}},
      {"", "file_bin_read_byte", {Real(0.5)}},  // 0.5 rounds to 0: bad too
  };
  for (const auto& c : cases) {
    run.rt.code.report.last.clear();
    const RValue r = pxtest::CallWith(run, c.name, c.args);
    if (*c.message != 0) {
      EXPECT_TRUE(EndsWith(run.rt.code.report.last, c.message))
          << c.name << ": " << run.rt.code.report.last;
      if (std::string_view(c.name) == "file_bin_open") {
        EXPECT_EQ(r, Real(-1));
      }
    }
  }
  EXPECT_TRUE(EndsWith(run.rt.code.report.last, "File is not opened."));
}

TEST(TextFiles, ReadingLinesAndNumbers) {
  pxtest::InScratchDir dir;
  WriteText(dir.path() / "in.txt", "  -3,25xyz\r\nsecond line\rthird\n\r\nlast");
  pxtest::TestRun run;
  const RValue h = Call(run, "file_text_open_read", {Str("IN.txt")});
  ASSERT_EQ(h, Real(1));
  EXPECT_EQ(Call(run, "file_text_read_real", {h}), Real(-3.25));
  EXPECT_EQ(Call(run, "file_text_eoln", {h}), Real(0));
  EXPECT_EQ(Call(run, "file_text_read_string", {h}), Str("yz"));
  EXPECT_EQ(Call(run, "file_text_eoln", {h}), Real(1));
  EXPECT_EQ(Call(run, "file_text_read_string", {h}), Str(""));
  Call(run, "file_text_readln", {h});
  EXPECT_EQ(Call(run, "file_text_read_string", {h}), Str("second line"));
  Call(run, "file_text_readln", {h});
  EXPECT_EQ(Call(run, "file_text_read_string", {h}), Str("third"));
  Call(run, "file_text_readln", {h});
  EXPECT_EQ(Call(run, "file_text_eoln", {h}), Real(1));
  Call(run, "file_text_readln", {h});
  EXPECT_EQ(Call(run, "file_text_eof", {h}), Real(0));
  EXPECT_EQ(Call(run, "file_text_read_string", {h}), Str("last"));
  EXPECT_EQ(Call(run, "file_text_eof", {h}), Real(1));
  EXPECT_EQ(Call(run, "file_text_eoln", {h}), Real(1));
  Call(run, "file_text_readln", {h});
  EXPECT_EQ(Call(run, "file_text_read_string", {h}), Str(""));
  // A missing file gives −1 and no message.
  ExpectReport(run, "", "file_text_open_read", {Str("missing.txt")});
  EXPECT_EQ(Call(run, "file_text_open_read", {Str("missing.txt")}), Real(-1));
}

TEST(TextFiles, WritingAppendingAndTheImplicitFile) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  RValue h = Call(run, "file_text_open_write", {Str("out.txt")});
  Call(run, "file_text_write_string", {h, Str("a=")});
  Call(run, "file_text_write_real", {h, Real(1.0 / 3)});
  // Written text is flushed at once.
  EXPECT_EQ(ReadFile(dir.path() / "out.txt"), "a= 0.333333");
  Call(run, "file_text_writeln", {h});
  Call(run, "file_text_close", {h});
  h = Call(run, "file_text_open_append", {Str("OUT.TXT")});
  Call(run, "file_text_write_real", {h, Real(100)});
  Call(run, "file_text_close", {h});
  EXPECT_EQ(ReadFile(dir.path() / "out.txt"), "a= 0.333333\r\n 100");

  Call(run, "file_open_write", {Str("implicit.txt")});
  Call(run, "file_write_string", {Str("x")});
  Call(run, "file_write_real", {Real(-1.5)});
  Call(run, "file_writeln");
  // Opening again closes the file first.
  Call(run, "file_open_append", {Str("implicit.txt")});
  Call(run, "file_write_string", {Str("y")});
  Call(run, "file_open_read", {Str("implicit.txt")});
  EXPECT_EQ(Call(run, "file_read_real"), Real(0));  // "x" ends the number
  EXPECT_EQ(Call(run, "file_read_real"), Real(-1.5));
  Call(run, "file_readln");
  EXPECT_EQ(Call(run, "file_read_string"), Str("y"));
  EXPECT_EQ(Call(run, "file_eof"), Real(1));
  Call(run, "file_close");
  Call(run, "file_close");
  EXPECT_EQ(ReadFile(dir.path() / "implicit.txt"), "x -1.500000\r\ny");
  // A missing file read leaves the implicit file closed, silently.
  ExpectReport(run, "", "file_open_read", {Str("missing.txt")});
  ExpectReport(run, "File not opened for reading.", "file_read_string", {});
}

TEST(TextFiles, WrongModesAndBadHandles) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  WriteText(dir.path() / "r.txt", "1");
  std::filesystem::create_directory("folder");
  ASSERT_EQ(Call(run, "file_text_open_read", {Str("r.txt")}), Real(1));
  ASSERT_EQ(Call(run, "file_text_open_write", {Str("w.txt")}), Real(2));
  const pxtest::ReportCase cases[] = {
      {"File is not opened for reading.", "file_text_read_string", {Real(2)}},
      {"File is not opened for reading.", "file_text_read_real", {Real(3)}},
      {"File is not opened for reading.", "file_text_readln", {Real(40)}},
      {"File is not opened for reading.", "file_text_eof", {Real(0)}},
      {"File is not opened for reading.", "file_text_eoln", {Real(2)}},
      {"File not opened for writing.", "file_text_write_string", {Real(1), Str("x")}},
      {"File not opened for writing.", "file_text_write_real", {Real(0), Real(1)}},
      {"File not opened for writing.", "file_text_writeln", {Real(-1)}},
      {"Trying to close unexisting text file.", "file_text_close", {Real(40)}},
      {"Trying to close unexisting text file.", "file_text_close", {Real(0)}},
      {"", "file_text_close", {Real(3)}},
      {"Error opening file for reading.", "file_text_open_read", {Str("folder")}},
      {"Error opening file for writing.", "file_text_open_write", {Str("folder")}},
      {"Error opening file for appending.", "file_text_open_append", {Str("no\\dir\\x.txt")}},
      {"File is not opened for reading.", "file_eof", {}},
      {"File is not opened for reading.", "file_eoln", {}},
      {"File not opened for reading.", "file_read_real", {}},
      {"File not opened for reading.", "file_readln", {}},
      {"File not opened for writing.", "file_write_string", {Str("x")}},
      {"File not opened for writing.", "file_write_real", {Real(1)}},
      {"File not opened for writing.", "file_writeln", {}},
      {"", "file_close", {}},
      {"Error opening file for writing.", "file_open_write", {Str("folder")}},
      {"Error opening file for reading.", "file_open_read", {Str("folder")}},
  };
  pxtest::ExpectReports(run, cases);
  EXPECT_FALSE(std::filesystem::exists("w.txt") && ReadFile("w.txt") != "");
}

TEST(FileNames, PiecesOfGamePaths) {
  const struct {
    const char* path;
    const char* name;
    const char* dir;
    const char* pathPart;
    const char* drive;
    const char* ext;
  } cases[] = {
      {"C:\\games\\save.dat", "save.dat", "C:\\games", "C:\\games\\", "C:", ".dat"},
      {"C:\\save", "save", "C:\\", "C:\\", "C:", ""},
      {"c:save.tar.gz", "save.tar.gz", "c:", "c:", "c:", ".gz"},
      {"\\\\server\\share\\dir\\f.txt", "f.txt", "\\\\server\\share\\dir",
       "\\\\server\\share\\dir\\", "\\\\server\\share", ".txt"},
      {"dir.d\\file", "file", "dir.d", "dir.d\\", "", ""},
      {"a\\\\b", "b", "a\\\\", "a\\\\", "", ""},
      {"plain", "plain", "", "", "", ""},
      {"", "", "", "", "", ""},
      {".hidden", ".hidden", "", "", "", ".hidden"},
      {"x/y.z", "x/y.z", "", "", "", ".z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FilenameName(c.path), c.name) << c.path;
    EXPECT_EQ(FilenameDir(c.path), c.dir) << c.path;
    EXPECT_EQ(FilenamePath(c.path), c.pathPart) << c.path;
    EXPECT_EQ(FilenameDrive(c.path), c.drive) << c.path;
    EXPECT_EQ(FilenameExt(c.path), c.ext) << c.path;
  }
  EXPECT_EQ(FilenameChangeExt("a.b\\c.txt", ".ini"), "a.b\\c.ini");
  EXPECT_EQ(FilenameChangeExt("a.b\\c", ".ini"), "a.b\\c.ini");
  EXPECT_EQ(FilenameChangeExt("c.txt", ""), "c");
}

TEST(FilesAndFolders, CopyRenameDeleteAndCreate) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  Call(run, "directory_create", {Str("One\\Two\\Three")});
  EXPECT_EQ(Call(run, "directory_exists", {Str("one\\TWO")}), Real(1));
  EXPECT_EQ(Call(run, "file_exists", {Str("one\\TWO")}), Real(0));
  WriteText(dir.path() / "One" / "a.txt", "alpha");
  WriteText(dir.path() / "b.txt", "beta");
  Call(run, "file_copy", {Str("ONE\\A.TXT"), Str("B.txt")});
  EXPECT_EQ(ReadFile(dir.path() / "b.txt"), "alpha");
  // A rename never replaces a file.
  Call(run, "file_rename", {Str("b.txt"), Str("one\\a.txt")});
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "b.txt"));
  Call(run, "file_rename", {Str("b.txt"), Str("one\\two\\c.txt")});
  EXPECT_EQ(ReadFile(dir.path() / "One" / "Two" / "c.txt"), "alpha");
  Call(run, "file_delete", {Str("one\\two\\C.TXT")});
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "One" / "Two" / "c.txt"));
  // Silent failures.
  ExpectReport(run, "", "file_delete", {Str("missing")});
  ExpectReport(run, "", "file_copy", {Str("missing"), Str("x")});
  ExpectReport(run, "", "file_rename", {Str("missing"), Str("x")});
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "x"));
}

TEST(FilesAndFolders, SearchesAndAttributes) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  std::filesystem::create_directories("Lvl/sub");
  WriteText(dir.path() / "Lvl" / "b.LVL", "");
  WriteText(dir.path() / "Lvl" / "A.lvl", "");
  WriteText(dir.path() / "Lvl" / ".secret.lvl", "");
  WriteText(dir.path() / "Lvl" / "notes.txt", "");
  const auto all = [&](const char* mask, double attr) {
    std::string names = Call(run, "file_find_first", {Str(mask), Real(attr)}).str();
    for (std::string n; !(n = Call(run, "file_find_next").str()).empty();) names += "," + n;
    return names;
  };
  EXPECT_EQ(all("lvl\\*.lvl", 0), "A.lvl,b.LVL");
  EXPECT_EQ(all("lvl\\*.LVL", 2), ".secret.lvl,A.lvl,b.LVL");
  EXPECT_EQ(all("LVL\\*.*", 16), ".,..,A.lvl,b.LVL,notes.txt,sub");
  EXPECT_EQ(all("lvl\\?.lvl", 0), "A.lvl,b.LVL");
  EXPECT_EQ(all("nothing\\*", 0), "");
  Call(run, "file_find_first", {Str("lvl\\*"), Real(0)});
  Call(run, "file_find_close");
  EXPECT_EQ(Call(run, "file_find_next"), Str(""));
  EXPECT_EQ(Call(run, "file_attributes", {Str("lvl\\sub"), Real(16)}), Real(1));
  EXPECT_EQ(Call(run, "file_attributes", {Str("lvl\\a.lvl"), Real(16)}), Real(0));
  EXPECT_EQ(Call(run, "file_attributes", {Str("lvl\\a.lvl"), Real(32)}), Real(1));
  EXPECT_EQ(Call(run, "file_attributes", {Str("lvl\\.secret.lvl"), Real(2)}), Real(1));
  EXPECT_EQ(Call(run, "file_attributes", {Str("lvl\\none"), Real(63)}), Real(-1));
}

TEST(SecureMode, FoldersAreRefusedForWriting) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  run.rt.files.secureMode = true;
  std::filesystem::create_directory("data");
  const pxtest::ReportCase cases[] = {
      {"In secure mode you cannot write file data\\save.txt",
       "file_text_open_write",
       {Str("data\\save.txt")}},
      {"In secure mode you cannot write file data/save.txt",
       "file_open_write",
       {Str("data/save.txt")}},
      {"In secure mode you cannot write file data\\b", "file_bin_open", {Str("data\\b"), Real(1)}},
      {"In secure mode you cannot write file data\\b", "file_bin_open", {Str("data\\b"), Real(2)}},
      {"In secure mode you cannot append to file data\\a",
       "file_text_open_append",
       {Str("data\\a")}},
      {"In secure mode you cannot append to file data\\a", "file_open_append", {Str("data\\a")}},
      {"In Secure mode you cannot delete file data\\x", "file_delete", {Str("data\\x")}},
      {"In Secure mode you cannot rename file a into data\\b",
       "file_rename",
       {Str("a"), Str("data\\b")}},
      {"In Secure mode you cannot copy file data\\a to b", "file_copy", {Str("data\\a"), Str("b")}},
      {"In Secure mode you cannot create directory data\\sub",
       "directory_create",
       {Str("data\\sub")}},
      {"", "file_text_open_write", {Str("save.txt")}},
      {"", "file_delete", {Str("c:save.txt")}},
      {"", "file_bin_open", {Str("data\\b"), Real(0)}},
  };
  pxtest::ExpectReports(run, cases);
  // Only the reading open of data\b created something inside data; the
  // plain name was written and then deleted.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("data"), {}), 1);
  EXPECT_FALSE(std::filesystem::exists("save.txt"));
}

TEST(ProgramParameters, CountStringsAndEnvironment) {
  pxtest::TestRun run;
  run.rt.parameters = {"/games/game.exe", "-fast", "level 2"};
  EXPECT_EQ(Call(run, "parameter_count"), Real(2));
  EXPECT_EQ(Call(run, "parameter_string", {Real(0)}), Str("/games/game.exe"));
  EXPECT_EQ(Call(run, "parameter_string", {Real(2)}), Str("level 2"));
  EXPECT_EQ(Call(run, "parameter_string", {Real(3)}), Str(""));
  EXPECT_EQ(Call(run, "parameter_string", {Real(-1)}), Str(""));
  ::setenv("PXRUN_TEST_VARIABLE", "v=1", 1);
  EXPECT_EQ(Call(run, "environment_get_variable", {Str("PXRUN_TEST_VARIABLE")}), Str("v=1"));
  EXPECT_EQ(Call(run, "environment_get_variable", {Str("PXRUN_NO_SUCH_VARIABLE")}), Str(""));
}

TEST(DiskSpace, EveryDriveIsTheFileSystemOfTheGamesFolder) {
  pxtest::TestRun run;
  // A game in a folder on another file system than the current directory's
  // when the machine has one (a memory file system), so the folder counts.
  std::string folder = std::filesystem::current_path().string();
  const auto here = QueryDiskSpace(folder);
  const auto shm = QueryDiskSpace("/dev/shm");
  if (shm && here && shm->total != here->total) folder = "/dev/shm";
  run.rt.gameFile = folder + "/game.exe";
  const auto space = QueryDiskSpace(folder);
  ASSERT_TRUE(space);
  const struct {
    std::vector<RValue> args;
    bool valid;
  } cases[] = {
      {{}, true},          {{Str("")}, true},      {{Str("c")}, true},   {{Str("C:\\")}, true},
      {{Str("z:")}, true}, {{Real(3)}, true},  // a real has no text
      {{Str("1")}, false}, {{Str("?:\\")}, false}, {{Str(" c")}, false},
  };
  for (const auto& c : cases) {
    const std::string what = c.args.empty() ? "(none)" : c.args[0].str();
    const double size = pxtest::CallWith(run, "disk_size", c.args).real;
    const double free = pxtest::CallWith(run, "disk_free", c.args).real;
    if (!c.valid) {
      EXPECT_EQ(size, -1) << what;
      EXPECT_EQ(free, -1) << what;
      continue;
    }
    EXPECT_EQ(size, static_cast<double>(space->total)) << what;
    EXPECT_GT(free, 0) << what;
    EXPECT_LE(free, size) << what;
  }
}

}  // namespace
