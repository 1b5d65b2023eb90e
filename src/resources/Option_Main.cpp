#include "resources/Option_Main.h"

namespace px {

using G = GameSettings;

const SettingsField kSettingsFields[34] = {
    {"fullScreen", &G::fullScreen},
    {"interpolate", &G::interpolate},
    {"noBorder", &G::noBorder},
    {"showCursor", &G::showCursor},
    {"scaling", nullptr, &G::scaling},
    {"sizeable", &G::sizeable},
    {"stayOnTop", &G::stayOnTop},
    {"windowColor", nullptr, &G::windowColor},
    {"setResolution", &G::setResolution},
    {"colorDepth", nullptr, &G::colorDepth},
    {"resolution", nullptr, &G::resolution},
    {"frequency", nullptr, &G::frequency},
    {"noButtons", &G::noButtons},
    {"vsync", &G::vsync},
    {"noScreenSaver", &G::noScreenSaver},
    {"keyF4", &G::keyF4},
    {"keyF1", &G::keyF1},
    {"keyEsc", &G::keyEsc},
    {"keyF5F6", &G::keyF5F6},
    {"keyF9", &G::keyF9},
    {"closeAsEsc", &G::closeAsEsc},
    {"priority", nullptr, &G::priority},
    {"freezeInactive", &G::freezeInactive},
    {"showProgressBar", &G::showProgressBar},
    {"progressBackImage", nullptr, nullptr, &G::progressBackImage, true},
    {"progressFrontImage", nullptr, nullptr, &G::progressFrontImage, true},
    {"loadingImage", nullptr, nullptr, &G::loadingImage},
    {"loadingTransparent", &G::loadingTransparent},
    {"loadingAlpha", nullptr, &G::loadingAlpha},
    {"scaleProgressBar", &G::scaleProgressBar},
    {"showErrors", &G::showErrors},
    {"logErrors", &G::logErrors},
    {"abortOnErrors", &G::abortOnErrors},
    {"uninitializedZero", &G::uninitializedZero},
};

bool ReadGameSettings(CStream& s, GameSettings& settings) {
  settings = GameSettings{};
  if (StreamReadInt(s) != kSettingsVersion) return false;
  CStream block = StreamReadCompressedBlock(s);
  for (const SettingsField& f : kSettingsFields) {
    if (f.onlyWithProgressBar && !settings.showProgressBar) continue;
    if (f.flag) settings.*f.flag = StreamReadBool(block);
    if (f.number) settings.*f.number = StreamReadInt(block);
    if (f.image) settings.*f.image = StreamReadBitmap(block);
  }
  return true;
}

void WriteGameSettings(CStream& s, const GameSettings& settings, std::int32_t version) {
  StreamWriteInt(s, version);
  CStream block;
  for (const SettingsField& f : kSettingsFields) {
    if (f.onlyWithProgressBar && !settings.showProgressBar) continue;
    if (f.flag) StreamWriteBool(block, settings.*f.flag);
    if (f.number) StreamWriteInt(block, settings.*f.number);
    if (f.image) {
      const auto& image = settings.*f.image;
      StreamWriteBitmap(block, image ? &*image : nullptr);
    }
  }
  StreamWriteCompressedBlock(s, block.bytes());
}

}  // namespace px
