// TLoadForm: the loading window with its image, progress bar and stage
// label. The geometry is kept here; the platform shows the drawn result
// (nothing is shown when headless).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/BM32_Bitmap.h"
#include "platform/Platform.h"
#include "resources/Font_Class.h"

namespace px {

struct GameSettings;

struct LoadControl {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool visible = true;
  bool stretch = false;
  std::optional<TBitmap32> picture;
};

class TLoadForm {
 public:
  static constexpr int kDefaultWidth = 332;
  static constexpr int kDefaultHeight = 92;
  // The Windows button-face colour, the window's own background.
  static constexpr std::uint32_t kButtonFace = 0xFFF0F0F0;

  explicit TLoadForm(Platform& platform);

  // Takes the images out of the settings and shows the window.
  void SetUp(GameSettings& settings, bool debug);
  void ShowProgress(int percent, const std::string& text);
  void Close();

  // Draws the window's content as the player sees it.
  TBitmap32 Render() const;

  int left() const { return left_; }
  int top() const { return top_; }
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }
  bool shown() const { return shown_; }
  std::uint8_t alpha() const { return alpha_; }
  std::optional<std::uint32_t> transparentColor() const { return transparentColor_; }

  LoadControl loadImage{0, 0, kDefaultWidth, kDefaultHeight, true, false, std::nullopt};
  LoadControl loadEmptyShape{24, 72, 289, 16, true, true, std::nullopt};
  LoadControl loadFullShape{24, 72, 105, 16, true, true, std::nullopt};
  LoadControl loadLabel{32, 72, 273, 17, false, false, std::nullopt};
  std::string labelText;

 private:
  void Repaint();

  Platform& platform_;
  std::unique_ptr<Window> window_;
  int left_ = 0;
  int top_ = 0;
  int clientWidth_ = kDefaultWidth;
  int clientHeight_ = kDefaultHeight;
  bool shown_ = false;
  std::uint8_t alpha_ = 255;
  std::optional<std::uint32_t> transparentColor_;
  // The label's font, rendered on first need.
  mutable std::unique_ptr<CFont> labelFont_;
};

}  // namespace px
