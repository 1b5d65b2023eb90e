// Included files exported by mode, by name from game code, and removed at
// the end; the secure-mode refusals.
#include <gtest/gtest.h>

#include <filesystem>

#include "code/Function_TestSupport.h"
#include "run/Runner_IncludedFile.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::ReadFile;
using pxtest::Str;

CDataFile Included(const std::string& name, ExportMode mode, const std::string& bytes) {
  CDataFile f;
  f.fileName = name;
  f.stored = true;
  f.data = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  f.exportMode = mode;
  return f;
}

TEST(IncludedFiles, ExportedByModeAndRemovedAtTheEnd) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  ASSERT_TRUE(run.rt.tempDir.TryCreate(dir.path().string()));
  auto& files = run.rt.resources.dataFiles;
  files.push_back(Included("temp.dat", ExportMode::TempDir, "T"));
  files.push_back(Included("work.dat", ExportMode::WorkingDir, std::string("W\0\xFF", 3)));
  files.push_back(Included("deep.dat", ExportMode::Folder, "F"));
  files.back().exportFolder = "Out\\Sub";
  files.push_back(Included("none.dat", ExportMode::None, "N"));
  files.push_back(Included("keep.dat", ExportMode::WorkingDir, "new"));
  files.back().removeAtEnd = false;
  pxtest::WriteText(dir.path() / "keep.dat", "old");
  ASSERT_TRUE(ExportIncludedFiles(run.rt));
  EXPECT_EQ(ReadFile(std::filesystem::path(run.rt.tempDir.path()) / "temp.dat"), "T");
  EXPECT_EQ(ReadFile(dir.path() / "work.dat"), std::string("W\0\xFF", 3));
  EXPECT_EQ(ReadFile(dir.path() / "Out" / "Sub" / "deep.dat"), "F");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.dat"));
  EXPECT_EQ(ReadFile(dir.path() / "keep.dat"), "old");  // no overwrite
  EXPECT_FALSE(files[1].stored);                        // freed after export
  EXPECT_TRUE(files[3].stored);                         // mode 0 keeps its data
  RemoveIncludedFiles(run.rt);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "work.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Out" / "Sub" / "deep.dat"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(run.rt.tempDir.path()) / "temp.dat"));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "keep.dat"));
}

TEST(IncludedFiles, GameCodeExportsAndDiscardsByExactName) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  auto& files = run.rt.resources.dataFiles;
  files.push_back(Included("Level.txt", ExportMode::WorkingDir, "L1"));
  files.back().freeAfterExport = false;
  const auto last = [&] { return run.rt.code.report.last; };
  Call(run, "export_include_file", {Str("level.txt")});
  EXPECT_NE(last().find("Trying to export non-existing file."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Level.txt"));
  Call(run, "export_include_file", {Str("Level.txt")});
  EXPECT_EQ(ReadFile(dir.path() / "Level.txt"), "L1");
  std::filesystem::create_directory("Copies");
  Call(run, "export_include_file_location", {Str("Level.txt"), Str("copies\\L.txt")});
  EXPECT_EQ(ReadFile(dir.path() / "Copies" / "L.txt"), "L1");
  Call(run, "discard_include_file", {Str("Level.txt")});
  EXPECT_FALSE(files[0].stored);
  std::filesystem::remove(dir.path() / "Level.txt");
  Call(run, "export_include_file", {Str("Level.txt")});
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Level.txt"));
  run.rt.code.report.last.clear();
  Call(run, "discard_include_file", {Str("Other")});
  EXPECT_NE(last().find("Trying to discard non-existing file."), std::string::npos);
}

TEST(IncludedFiles, SecureModeRefusals) {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  run.rt.files.secureMode = true;
  auto& files = run.rt.resources.dataFiles;
  files.push_back(Included("sub\\a.dat", ExportMode::WorkingDir, "A"));
  files.push_back(Included("b.dat", ExportMode::Folder, "B"));
  files.back().exportFolder = "Out";
  files.push_back(Included("c.dat", ExportMode::WorkingDir, "C"));
  const struct {
    std::size_t file;
    const char* message;
  } cases[] = {
      {0, "In secure mode you cannot export a data file to sub\\a.dat"},
      {1, "In secure mode you cannot export a data file to an indicated directory."},
  };
  for (const auto& c : cases) {
    run.rt.code.report.last.clear();
    EXPECT_FALSE(ExportIncludedFile(run.rt, files[c.file]));
    EXPECT_NE(run.rt.code.report.last.find(c.message), std::string::npos) << c.message;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Out"));
  run.rt.code.report.last.clear();
  Call(run, "export_include_file_location", {Str("c.dat"), Str("x.dat")});
  EXPECT_NE(run.rt.code.report.last.find("In secure mode you cannot export a file to a location."),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "x.dat"));
  EXPECT_TRUE(ExportIncludedFile(run.rt, files[2]));
  EXPECT_EQ(ReadFile(dir.path() / "c.dat"), "C");
}

}  // namespace
