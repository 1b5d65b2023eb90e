#include "run/Runner_LoadForm.h"

#include <gtest/gtest.h>

#include <sstream>

#include "resources/Option_Main.h"

using namespace px;

namespace {

struct FormFixture {
  std::ostringstream out;
  std::unique_ptr<Platform> platform = CreateHeadlessPlatform(out);
  TLoadForm form{*platform};
};

}  // namespace

TEST(LoadForm, DefaultWindowIsCentredWithBarButNothingVisibleOfIt) {
  FormFixture f;
  GameSettings s;
  f.form.SetUp(s, false);
  EXPECT_TRUE(f.form.shown());
  EXPECT_EQ(f.form.clientWidth(), 332);
  EXPECT_EQ(f.form.clientHeight(), 92);
  const Size screen = f.platform->screenSize();
  EXPECT_EQ(f.form.left(), (screen.width - 332) / 2);
  EXPECT_EQ(f.form.top(), (screen.height - 92) / 2);
  EXPECT_EQ(f.form.loadEmptyShape.top, 60);
  EXPECT_EQ(f.form.loadEmptyShape.width, 284);
  EXPECT_EQ(f.form.labelText, "Loading");
  // No bar pictures: the frame is plain button face.
  const TBitmap32 frame = f.form.Render();
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x) ASSERT_EQ(frame.GetPixel(x, y), TLoadForm::kButtonFace);
}

TEST(LoadForm, ProgressWidthRoundsToNearest) {
  FormFixture f;
  GameSettings s;
  f.form.SetUp(s, false);
  const std::pair<int, int> cases[] = {{43, 122}, {0, 0}, {100, 284}, {50, 142}, {1, 3}};
  for (auto [percent, width] : cases) {
    f.form.ShowProgress(percent, "x");
    EXPECT_EQ(f.form.loadFullShape.width, width) << percent;
  }
}

TEST(LoadForm, LabelOnlyInDebugModeWithBar) {
  for (bool debug : {false, true})
    for (bool bar : {false, true}) {
      FormFixture f;
      GameSettings s;
      s.showProgressBar = bar;
      f.form.SetUp(s, debug);
      EXPECT_EQ(f.form.loadLabel.visible, debug && bar);
      EXPECT_EQ(f.form.loadEmptyShape.visible, bar);
      EXPECT_EQ(f.form.loadFullShape.visible, bar);
    }
}

TEST(LoadForm, ImageSizesTheWindowAndPlacesTheBar) {
  FormFixture f;
  GameSettings s;
  TBitmap32 image;
  image.SetSizeFilled(200, 100, 0xFF0000FF);
  image.SetPixel(0, 99, 0xFF00FF00);
  s.loadingImage = image;
  s.loadingTransparent = true;
  s.loadingAlpha = 300 + 128 - 256;  // below 255: blended with it
  TBitmap32 back, front;
  back.SetSizeFilled(10, 4, 0xFF111111);
  front.SetSizeFilled(3, 3, 0xFFEEEEEE);
  s.progressBackImage = back;
  s.progressFrontImage = front;
  s.scaleProgressBar = false;
  f.form.SetUp(s, false);
  EXPECT_FALSE(s.loadingImage || s.progressBackImage || s.progressFrontImage)
      << "the images are handed over";
  EXPECT_EQ(f.form.clientWidth(), 200);
  EXPECT_EQ(f.form.clientHeight(), 100);
  EXPECT_EQ(f.form.loadEmptyShape.top, 68);
  EXPECT_EQ(f.form.loadEmptyShape.width, 152);
  EXPECT_EQ(f.form.transparentColor(), 0x00FF00u);
  EXPECT_EQ(f.form.alpha(), 172);

  f.form.ShowProgress(50, "half");
  const TBitmap32 frame = f.form.Render();
  EXPECT_EQ(frame.GetPixel(5, 5), 0xFF0000FFu);          // the loading image
  EXPECT_EQ(frame.GetPixel(24 + 151, 68), 0xFF111111u);  // empty bar, stretched to its width
  EXPECT_EQ(frame.GetPixel(24 + 2, 70), 0xFFEEEEEEu);    // filled bar, unscaled
  EXPECT_EQ(frame.GetPixel(24 + 3, 70), 0xFF111111u);    // ...cut off past its picture
  EXPECT_EQ(frame.GetPixel(24, 68 + 3), 0xFF111111u);

  f.form.Close();
  EXPECT_FALSE(f.form.shown());
  EXPECT_FALSE(f.form.loadImage.picture.has_value());
}

TEST(LoadForm, LabelTextIsDrawnInsideTheLabel) {
  FormFixture f;
  GameSettings s;
  s.showProgressBar = true;
  f.form.SetUp(s, true);
  f.form.ShowProgress(50, "Compiling scripts");
  const TBitmap32 frame = f.form.Render();
  const LoadControl& label = f.form.loadLabel;
  // Without bar images everything but the text is the window's colour.
  int inside = 0, outside = 0;
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x) {
      if (frame.GetPixel(x, y) == TLoadForm::kButtonFace) continue;
      const bool in = x >= label.left && x < label.left + label.width && y >= label.top &&
                      y < label.top + label.height;
      (in ? inside : outside)++;
    }
  EXPECT_GT(inside, 20);
  EXPECT_EQ(outside, 0);
  // Without the label, nothing of the text shows.
  FormFixture plain;
  GameSettings t;
  t.showProgressBar = true;
  plain.form.SetUp(t, false);
  plain.form.ShowProgress(50, "Compiling scripts");
  const TBitmap32 none = plain.form.Render();
  for (int y = 0; y < none.height(); ++y)
    for (int x = 0; x < none.width(); ++x) ASSERT_EQ(none.GetPixel(x, y), TLoadForm::kButtonFace);
}
