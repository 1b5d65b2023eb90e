// Backgrounds made and changed by game code: numbering, solid and gradient
// images, pictures and background files, copies, saving, and what failed
// loads leave behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/BM32_Gradient.h"
#include "base/Support_Stream.h"
#include "resources/Sprite_File.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::Real;
using pxtest::Str;

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;

struct BackgroundEditing : testing::Test {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  GameResources& res = run.rt.resources;

  void SetUp() override {
    run.rt.settings.showErrors = false;
    CBackground b;
    b.image.SetSizeFilled(4, 4, kRed);
    res.backgrounds.add("bk_a", b);
    res.backgrounds.add("bk_b", b);
    TBitmap32 picture;
    picture.SetSizeFilled(6, 3, kBlue);
    picture.SavePNG("blue.png");
  }
  double Do(std::string_view name, std::initializer_list<double> args) {
    return pxtest::CallReal(run, name, args);
  }
  double Call(std::string_view name, std::vector<RValue> args) {
    return pxtest::CallWith(run, name, args).real;
  }
  const TBitmap32& Image(int i) { return res.backgrounds.get(i)->image; }
};

TEST_F(BackgroundEditing, AdditionsCopiesAndDeletionsKeepTheNumbering) {
  EXPECT_EQ(Call("background_add", {Str("missing.png"), Real(0), Real(0)}), -1);
  EXPECT_EQ(Call("background_add", {Str("blue.png"), Real(0), Real(0)}), 2);
  EXPECT_EQ(pxtest::Call(run, "background_get_name", {Real(2)}).str(), "__newbackground2");
  EXPECT_EQ(Do("background_get_width", {2}), 6);
  EXPECT_EQ(Do("background_create_color", {3, 2, 0x0000FF}), 3);
  EXPECT_EQ(Image(3).GetPixel(2, 1), kRed);
  EXPECT_EQ(Do("background_create_color", {0, 5, 0}), 4);
  EXPECT_EQ(Do("background_get_width", {4}), 0);
  EXPECT_EQ(Do("background_duplicate", {2}), 5);
  EXPECT_EQ(Do("background_delete", {2}), 1);
  EXPECT_EQ(Do("background_exists", {2}), 0);
  EXPECT_EQ(Image(5).width(), 6);  // the copy is its own
  Do("background_assign", {2, 0});
  EXPECT_EQ(Do("background_get_width", {2}), 4);
  EXPECT_EQ(pxtest::Call(run, "background_get_name", {Real(2)}).str(), "");
  EXPECT_EQ(Do("background_create_gradient", {2, 2, 0, 0, 0}), 6);

  const pxtest::ReportCase errors[] = {
      {"Error assigning a background.", "background_assign", {Real(9), Real(0)}},
      {"Error assigning a background.", "background_assign", {Real(0), Real(9)}},
      {"Trying to delete non-existing background.", "background_delete", {Real(9)}},
      {"Trying to duplicate non-existing background.", "background_duplicate", {Real(9)}},
      {"Trying to replace non-existing background.",
       "background_replace",
       {Real(9), Str("blue.png"), Real(0), Real(0)}},
      {"Trying to replace non-existing background.",
       "background_replace_background",
       {Real(9), Str("x.pxbck")}},
      {"Trying to save non-existing background bitmap.",
       "background_save",
       {Real(9), Str("x.png")}},
      {"Trying to save background bitmap to empty image file name.",
       "background_save",
       {Real(0), Str("")}},
  };
  pxtest::ExpectReports(run, errors);
}

TEST_F(BackgroundEditing, FailedReplacementsLeaveWhatTheirFileKindSays) {
  pxtest::WriteText(dir.path() / "notes.txt", "not a picture");
  CStream oldVersion;
  StreamWriteInt(oldVersion, kResourceFileMagic);
  CStream body;
  StreamWriteInt(body, 800);
  StreamWriteCompressedBlock(oldVersion, body.bytes());
  pxtest::WriteBytes(dir.path() / "old.pxbck", oldVersion.bytes());
  TBitmap32 stored;
  stored.SetSizeFilled(5, 2, kBlue);
  stored.SetPixel(0, 1, 0);  // transparent: takes a neighbour's colour
  pxtest::WriteBytes(dir.path() / "good.pxbck", WriteBackgroundFile(stored));

  const struct {
    const char* function;
    const char* file;
    double result;
    int width;  // of background 0 afterwards
  } cases[] = {
      {"background_replace_background", "missing.pxbck", 0, 4},
      {"background_replace_background", "notes.txt", 0, 4},
      {"background_replace_background", "good.pxbck", 1, 5},
      {"background_replace_background", "old.pxbck", 0, 0},
      {"background_replace", "blue.png", 1, 6},
      {"background_replace", "notes.txt", 0, 0},
      {"background_replace", "blue.png", 1, 6},
      {"background_replace", "missing.png", 0, 0},
  };
  for (const auto& c : cases) {
    std::vector<RValue> args = {Real(0), Str(c.file)};
    if (std::string_view(c.function) == "background_replace")
      args.insert(args.end(), {Real(0), Real(0)});
    EXPECT_EQ(Call(c.function, args), c.result) << c.function << " " << c.file;
    EXPECT_EQ(Image(0).width(), c.width) << c.function << " " << c.file;
  }
  Call("background_replace_background", {Real(1), Str("good.pxbck")});
  EXPECT_EQ(Image(1).GetPixel(0, 1), kBlue & 0x00FFFFFF);
}

TEST_F(BackgroundEditing, GradientsRunBetweenTheirColours) {
  // color1 red, color2 blue as game colours.
  const std::uint32_t c1 = 0x0000FF, c2 = 0xFF0000;
  const struct {
    int kind;
    int x, y;
    std::uint32_t pixel;
  } cases[] = {
      {0, 0, 5, kRed},        // left edge: color1
      {0, 5, 5, 0xFF800080},  // half way across: the mix
      {1, 5, 0, kRed},        // top edge
      {1, 5, 9, 0xFF1A00E6},  // 9 / 10 of the way down
      {2, 0, 0, kRed},        // rim
      {2, 5, 5, 0xFF3300CC},  // innermost rectangle: f = 4 of e = 5
      {3, 0, 0, kRed},        // outside the outer ellipse: the fill
      {3, 5, 5, 0xFF3300CC},  // innermost ellipse
      {4, 0, 3, kRed},        // both sides start at color1
      {4, 9, 3, 0xFFCC0033},  // column 9 is w - 1: i = 1 of e = 5
      {8, 0, 0, 0xFF1A00E6},  // the corner pixel: d = 1 of n = 10
      {9, 9, 0, 0xFF1A00E6},  // the top-right one
      {8, 9, 9, kRed},        // beyond radius 10: the fill
      {12, 5, 5, kRed},       // an unknown kind: only the fill
  };
  for (const auto& c : cases) {
    const TBitmap32 image = GradientImage(10, 10, c1, c2, c.kind);
    EXPECT_EQ(image.GetPixel(c.x, c.y), c.pixel) << "kind " << c.kind << " at " << c.x << ",";
  }
  EXPECT_EQ(GradientImage(0, -3, c1, c2, 2).width(), 1);
  EXPECT_TRUE(GradientImage(100000, 100000, c1, c2, 0).empty());
}

TEST_F(BackgroundEditing, SavedImagesArePngOrBitmapByName) {
  Do("background_save", {0, 0});
  pxtest::Call(run, "background_save", {Real(0), Str("a.png")});
  pxtest::Call(run, "background_save", {Real(0), Str("a.bmp")});
  EXPECT_EQ(pxtest::ReadFile(dir.path() / "a.png").rfind("\x89PNG", 0), 0u);
  EXPECT_EQ(pxtest::ReadFile(dir.path() / "a.bmp").rfind("BM", 0), 0u);
  // In secure mode a name with a folder is not written.
  run.rt.files.secureMode = true;
  std::filesystem::create_directory(dir.path() / "sub");
  pxtest::Call(run, "background_save", {Real(0), Str("sub\\b.png")});
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "sub" / "b.png"));
}

}  // namespace
