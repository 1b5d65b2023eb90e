#include "run/Runner_Form.h"

#include <exception>
#include <iostream>
#include <optional>

#include "graphics/Graphics_Font.h"
#include "run/Action_Class.h"
#include "run/Run_Main.h"
#include "run/Run_Trigger.h"
#include "run/Runner_Code.h"
#include "run/Runner_Extensions.h"
#include "run/Runner_IncludedFile.h"
#include "run/Runner_Load.h"
#include "run/Runner_Sound.h"
#include "run/Runtime.h"

namespace px {

namespace {

struct PrepareStep {
  int percent;
  const char* text;
  // Null while the runner has no such step; it is then skipped.
  bool (*run)(Runtime&);
  const char* failure;
};

// The failing step has shown its own message.
bool PrepareDisplay(Runtime& rt) {
  rt.display.onCreateTextures = [&rt] {
    MakeResourceTextures(rt.display.textures, rt.resources);
    // The default font's old texture went with the old table.
    if (CFont* font = rt.display.text.defaultFont.get()) {
      font->texture = -1;
      MakeTextures(rt.display.textures, *font);
    }
    rt.particles.particles.RemakeShapeTextures();
  };
  return rt.display.Setup(rt.settings, rt.applicationTitle);
}

// The preparation steps in order. Each gets its work as the part of the
// runner it belongs to exists.
const PrepareStep kPrepareSteps[] = {
    {50, "Extracting included files", ExportIncludedFiles, nullptr},
    {55, "Preparing extension pacakges", PrepareExtensionPackages,
     "Failed to prepare extension packages."},
    {60, "Preparing constants", DefineUserConstants, "Failed to define the constants."},
    {61, "Preparing triggers", PrepareTriggers, "Failed to prepare triggers."},
    {62, "Compiling scripts", CompileScripts, "Failed to compile the scripts."},
    {70, "Compiling time line actions", PrepareTimeLineActions,
     "Failed to compile the actions in the time lines."},
    {72, "Compiling object actions", PrepareObjectActions,
     "Failed to compile the actions in the objects."},
    {80, "Preparing sounds", PrepareSounds, nullptr},
    {90, "Preparing graphics", PrepareDisplay, nullptr},
};

void ShowError(Runtime& rt, const char* text) {
  rt.platform.messageBox(text, rt.applicationTitle, Buttons::Ok, MessageIcon::Error);
}

}  // namespace

bool PrepareGame(Runtime& rt) {
  if (rt.fullScreenOverride) rt.settings.fullScreen = *rt.fullScreenOverride;
  // The game's priority setting (normal, high, highest) through the
  // platform, which leaves it alone headless.
  if (rt.settings.priority > 0) rt.platform.setProgramPriority(rt.settings.priority >= 2 ? 2 : 1);
  for (const PrepareStep& step : kPrepareSteps) {
    rt.loadForm.ShowProgress(step.percent, step.text);
    if (step.run && !step.run(rt)) {
      if (step.failure) ShowError(rt, step.failure);
      return false;
    }
  }
  rt.loadForm.ShowProgress(100, "Ready");
  rt.loadForm.Close();
  return true;
}

// False when start-up failed; true once the game has run, however it ended.
bool LoadAndRun(Runtime& rt) {
  try {
    if (!FindGameData(rt)) return false;
  } catch (const std::exception& e) {
    // The player's message, and what exactly is wrong for whoever runs
    // pxrun from a terminal or a script.
    std::cerr << "pxrun: " << rt.gameFile << ": damaged game data (" << e.what() << ")\n";
    ShowError(rt, kMsgCorrupted);
    return false;
  }
  rt.platform.allowScreenSaver(!rt.settings.noScreenSaver);
  try {
    if (!PrepareGame(rt)) return false;
    RunGame(rt);
  } catch (const std::exception&) {
    ShowError(rt, kMsgUnexpected);
    return false;
  }
  return true;
}

void EndGame(Runtime& rt) {
  // The helper library was never loaded; its file goes with the
  // temporary directory. The device, sound and included files are shut
  // down here in this order as they come into existence.
  rt.d3dxLibraryPath.clear();
  rt.display.device.Release();
  CloseSounds(rt);
  RemoveIncludedFiles(rt);
  // Native libraries of game code and of extension packages.
  if (rt.externals) rt.externals->table.FreeAllExternalLibraries();
}

bool SaveScreenshot(Runtime& rt, const std::string& file) {
  Display& d = rt.display;
  std::optional<TBitmap32> frame = d.device.ReadBackBuffer(0, 0, d.regionWidth, d.regionHeight);
  if (!frame) return false;
  // The screen is opaque, whatever alpha the frame buffer holds.
  std::uint32_t* pixel = frame->pixels();
  const std::size_t count = static_cast<std::size_t>(frame->width()) * frame->height();
  for (std::size_t i = 0; i < count; ++i) pixel[i] |= 0xFF000000u;
  return frame->SavePNG(file);
}

int PlayGameFile(Runtime& rt) {
  rt.platform.pumpEvents();
  if (!LoadAndRun(rt)) {
    rt.loadForm.Close();
    return 1;
  }
  if (!rt.screenshotFile.empty() && !SaveScreenshot(rt, rt.screenshotFile))
    std::cerr << "pxrun: cannot write the screenshot " << rt.screenshotFile << '\n';
  EndGame(rt);
  // A game stopped by a fatal error did not end by itself.
  return rt.code.report.aborting ? 1 : 0;
}

}  // namespace px
