// Waiting on the display's clock, and the actions on the screen and the
// window: sleeping, the cursor, full screen and snapshots.
#include <algorithm>
#include <limits>

#include "graphics/Graphics_Surface.h"
#include "library/Function_Display.h"
#include "library/Function_Support.h"
#include "platform/Platform_Path.h"
#include "run/Room_Draw.h"
#include "run/Run_Error.h"
#include "run/Runner_Form.h"
#include "run/Runtime.h"

namespace px {
namespace {
constexpr const char* kMsgScreenEmptyName = "Trying to save screen to empty image file name.";
}  // namespace

bool SaveScreenImage(Runtime& rt, const std::string& file) {
  if (file.empty()) {
    RuntimeError(rt, kMsgScreenEmptyName);
    return false;
  }
  return SaveScreen(rt.display.device, HostPath(file));
}

namespace {

using Args = const FunctionArgs&;

// Waits the milliseconds while the window goes on handling its messages;
// headless only the virtual clock moves.
void WaitMilliseconds(Runtime& rt, double ms) {
  constexpr std::int64_t kLongest = std::numeric_limits<std::int64_t>::max() / 1000;
  rt.display.Wait(std::clamp<std::int64_t>(RealToCount(ms), 0, kLongest) * 1000);
}

void Sleep(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  WaitMilliseconds(rt, a[0].real);
}

void ActionSleep(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  if (FlagArg(a[1])) RedrawScreen(rt);
  WaitMilliseconds(rt, a[0].real);
}

// The sprite drawn as the cursor, and the system's cursor shown (as it was,
// or the arrow when it was hidden) or hidden.
void ActionSetCursor(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  rt.rooms.cursorSprite = IntArg(a[0]);
  const bool show = FlagArg(a[1]);
  if (!show)
    rt.display.SetCursor(-1);
  else if (rt.display.cursor == -1)
    rt.display.SetCursor(0);
  rt.settings.showCursor = show;
}

void ActionFullscreen(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  switch (IntArg(a[0])) {
    case 1:
      rt.display.SetFullScreen(false);
      break;
    case 2:
      rt.display.SetFullScreen(true);
      break;
    default:
      rt.display.ToggleFullScreen();
  }
}

void ActionSnapshot(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  SaveScreenImage(rt, a[0].str());
}

constexpr FunctionDef kScreenFunctions[] = {
    {"sleep", Sleep},
    {"action_sleep", ActionSleep},
    {"action_set_cursor", ActionSetCursor},
    {"action_fullscreen", ActionFullscreen},
    {"action_snapshot", ActionSnapshot},
};

}  // namespace

std::span<const FunctionDef> ScreenFunctions() {
  return kScreenFunctions;
}

}  // namespace px
