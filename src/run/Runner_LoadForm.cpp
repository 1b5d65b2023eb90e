#include "run/Runner_LoadForm.h"

#include <algorithm>
#include <cmath>

#include "graphics/Graphics_Font.h"
#include "graphics/Graphics_Text.h"
#include "resources/Option_Main.h"

namespace px {

TLoadForm::TLoadForm(Platform& platform) : platform_(platform) {}

void TLoadForm::SetUp(GameSettings& settings, bool debug) {
  // The image control sizes itself to its picture.
  if (settings.loadingImage) {
    loadImage.picture = std::move(settings.loadingImage);
    loadImage.width = loadImage.picture->width();
    loadImage.height = loadImage.picture->height();
  }
  if (settings.loadingTransparent) {
    const std::uint32_t corner =
        loadImage.picture ? loadImage.picture->GetPixel(0, loadImage.height - 1) : kButtonFace;
    transparentColor_ = corner & 0xFFFFFF;
  }
  if (settings.loadingAlpha < 255) alpha_ = static_cast<std::uint8_t>(settings.loadingAlpha & 0xFF);
  if (settings.showProgressBar) {
    if (settings.progressBackImage) loadEmptyShape.picture = std::move(settings.progressBackImage);
    if (settings.progressFrontImage) loadFullShape.picture = std::move(settings.progressFrontImage);
  }
  settings.loadingImage.reset();
  settings.progressBackImage.reset();
  settings.progressFrontImage.reset();

  loadEmptyShape.visible = loadFullShape.visible = settings.showProgressBar;
  loadFullShape.stretch = settings.scaleProgressBar;
  loadLabel.visible = debug && settings.showProgressBar;

  clientWidth_ = loadImage.width;
  clientHeight_ = loadImage.height;
  const Size screen = platform_.screenSize();
  left_ = (screen.width - clientWidth_) / 2;
  top_ = (screen.height - clientHeight_) / 2;

  for (LoadControl* c : {&loadEmptyShape, &loadFullShape, &loadLabel}) c->top = clientHeight_ - 32;
  loadEmptyShape.width = clientWidth_ - 2 * loadEmptyShape.left;

  WindowOptions options;
  options.title = "Loading";
  options.x = left_;
  options.y = top_;
  options.width = clientWidth_;
  options.height = clientHeight_;
  options.borderless = true;
  options.transparentColor = transparentColor_;
  window_ = platform_.createWindow(options);
  if (alpha_ < 255) window_->setOpacity(alpha_);

  ShowProgress(0, "Loading");
  shown_ = true;
  window_->show();
  Repaint();
}

void TLoadForm::ShowProgress(int percent, const std::string& text) {
  loadFullShape.width =
      static_cast<int>(std::nearbyint(static_cast<double>(percent) * loadEmptyShape.width / 100.0));
  labelText = text;
  Repaint();
  platform_.pumpEvents();
}

void TLoadForm::Close() {
  shown_ = false;
  if (window_) window_->hide();
  window_.reset();
  loadImage.picture.reset();
  loadEmptyShape.picture.reset();
  loadFullShape.picture.reset();
}

void TLoadForm::Repaint() {
  if (shown_ && window_ && !platform_.headless()) window_->present(Render());
}

namespace {

// Draws a picture into the control's rectangle: scaled to it when
// stretching, else at its top-left corner and cut off at its edges.
void DrawControl(TBitmap32& target, const LoadControl& c) {
  if (!c.visible || !c.picture || c.picture->empty() || c.width <= 0 || c.height <= 0) return;
  const TBitmap32& pic = *c.picture;
  const int w = c.stretch ? c.width : std::min(c.width, pic.width());
  const int h = c.stretch ? c.height : std::min(c.height, pic.height());
  for (int y = 0; y < h; ++y) {
    const int ty = c.top + y;
    if (ty < 0 || ty >= target.height()) continue;
    const int sy =
        c.stretch ? static_cast<int>(static_cast<std::int64_t>(y) * pic.height() / c.height) : y;
    for (int x = 0; x < w; ++x) {
      const int tx = c.left + x;
      if (tx < 0 || tx >= target.width()) continue;
      const int sx =
          c.stretch ? static_cast<int>(static_cast<std::int64_t>(x) * pic.width() / c.width) : x;
      target.row(ty)[tx] = pic.GetPixel(sx, sy) | 0xFF000000u;
    }
  }
}

}  // namespace

TBitmap32 TLoadForm::Render() const {
  TBitmap32 frame;
  frame.SetSizeFilled(std::max(1, clientWidth_), std::max(1, clientHeight_), kButtonFace);
  DrawControl(frame, loadImage);
  DrawControl(frame, loadEmptyShape);
  DrawControl(frame, loadFullShape);
  if (loadLabel.visible && !labelText.empty()) {
    if (!labelFont_) {
      // The small sans-serif face of dialog labels.
      labelFont_ = std::make_unique<CFont>();
      RenderSystemFont(*labelFont_, "Tahoma", 8, false, false, 32, 255);
    }
    const LoadControl& c = loadLabel;
    DrawTextLine(frame, *labelFont_, c.left, c.top, labelText, 0x000000,
                 {c.left, c.top, c.left + c.width, c.top + c.height});
  }
  return frame;
}

}  // namespace px
