// The desktop pickers through a stand-in zenity on PATH: what it prints is
// the choice, exit status 1 a cancel, no program at all no picker; and the
// filters and colours passed to and read from it.
#include "platform/Platform_Picker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "system/File_TestSupport.h"

namespace {

using namespace px;

// PATH set to one folder for the test's duration.
class PathOverride {
 public:
  explicit PathOverride(const std::string& path) {
    if (const char* old = std::getenv("PATH")) old_ = old;
    setenv("PATH", path.c_str(), 1);
  }
  ~PathOverride() { setenv("PATH", old_.c_str(), 1); }
  PathOverride(const PathOverride&) = delete;
  PathOverride& operator=(const PathOverride&) = delete;

 private:
  std::string old_;
};

TEST(DesktopPicker, ChoiceCancelAndAbsence) {
  pxtest::ScratchDir dir;
  const auto zenity = dir / "zenity";
  // Prints its arguments, one per line; "--cancel" makes it exit with 1.
  pxtest::WriteText(zenity,
                    "#!/bin/sh\n"
                    "for a in \"$@\"; do [ \"$a\" = --cancel ] && exit 1; echo \"$a\"; done\n");
  ::chmod(zenity.c_str(), 0755);
  PathOverride path(dir.path().string() + ":/usr/bin:/bin");
  int idles = 0;
  const auto idle = [&] { ++idles; };
  PickerOutcome r = RunDesktopPicker({"--file-selection", "--filename=a b.txt"}, idle);
  EXPECT_EQ(r.kind, PickerOutcome::Kind::Chosen);
  EXPECT_EQ(r.text, "--file-selection\n--filename=a b.txt");
  r = RunDesktopPicker({"--cancel"}, idle);
  EXPECT_EQ(r.kind, PickerOutcome::Kind::Cancelled);
  EXPECT_EQ(r.text, "");

  pxtest::ScratchDir empty;
  PathOverride none(empty.path().string());
  EXPECT_EQ(RunDesktopPicker({"--file-selection"}, idle).kind, PickerOutcome::Kind::Unavailable);
}

TEST(DesktopPicker, FiltersAndColours) {
  EXPECT_EQ(PickerFileFilters("Text|*.txt;*.log|All files|*.*"),
            (std::vector<std::string>{"--file-filter=Text | *.txt *.log",
                                      "--file-filter=All files | *.*"}));
  EXPECT_EQ(PickerFileFilters(""), std::vector<std::string>{});
  EXPECT_EQ(PickerFileFilters("Only a name"), std::vector<std::string>{});
  EXPECT_EQ(PickerFileFilters("|*.png|Empty|"),
            (std::vector<std::string>{"--file-filter=*.png | *.png"}));

  const struct {
    const char* text;
    long bgr;
  } colours[] = {{"rgb(255,128,0)", 0x0080FF},
                 {"rgba(1,2,3,0.5)", 0x030201},
                 {"#ff8000", 0x0080FF},
                 {"rgb(300,0,0)", -1},
                 {"", -1},
                 {"blue", -1}};
  for (const auto& c : colours) EXPECT_EQ(PickerColor(c.text), c.bgr) << c.text;
}

}  // namespace
