// GameSettings: the game's options record, read once at start-up from the
// header and applied by the window, display, loop and error report.
#pragma once

#include <cstdint>
#include <optional>

#include "base/BM32_Bitmap.h"
#include "base/Support_Stream.h"

namespace px {

inline constexpr std::int32_t kSettingsVersion = 800;

struct GameSettings {
  bool fullScreen = false;
  bool interpolate = false;
  bool noBorder = false;
  bool showCursor = true;
  std::int32_t scaling = 100;
  bool sizeable = false;
  bool stayOnTop = false;
  std::int32_t windowColor = 0xFFFFFF;
  bool setResolution = false;
  std::int32_t colorDepth = 0;
  std::int32_t resolution = 0;
  std::int32_t frequency = 0;
  bool noButtons = false;
  bool vsync = false;
  bool noScreenSaver = true;
  bool keyF4 = true;
  bool keyF1 = true;
  bool keyEsc = true;
  bool keyF5F6 = true;
  bool keyF9 = true;
  bool closeAsEsc = true;
  std::int32_t priority = 0;
  bool freezeInactive = false;
  bool showProgressBar = true;
  std::optional<TBitmap32> progressBackImage;
  std::optional<TBitmap32> progressFrontImage;
  std::optional<TBitmap32> loadingImage;
  bool loadingTransparent = false;
  std::int32_t loadingAlpha = 255;
  bool scaleProgressBar = true;
  bool showErrors = true;
  bool logErrors = false;
  bool abortOnErrors = false;
  bool uninitializedZero = false;

  bool operator==(const GameSettings&) const = default;
};

// One stored field: exactly one of the member pointers is set. The table
// lists the fields in stored order and drives reading, writing, the project
// manifest and the game summary alike.
struct SettingsField {
  const char* name;
  bool GameSettings::*flag = nullptr;
  std::int32_t GameSettings::*number = nullptr;
  std::optional<TBitmap32> GameSettings::*image = nullptr;
  // Stored only when showProgressBar is set.
  bool onlyWithProgressBar = false;
};
extern const SettingsField kSettingsFields[34];

// Resets the settings to their defaults, then reads the record (version int,
// then a compressed block of the fields). False for a wrong version.
bool ReadGameSettings(CStream& s, GameSettings& settings);
// Writes the record; the progress-bar images only when showProgressBar is set.
void WriteGameSettings(CStream& s, const GameSettings& settings,
                       std::int32_t version = kSettingsVersion);

}  // namespace px
