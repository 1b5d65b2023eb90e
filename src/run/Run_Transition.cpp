#include "run/Run_Transition.h"

#include <algorithm>
#include <string>

#include "code/Code_Call.h"
#include "code/Code_Exec.h"
#include "code/Code_Function.h"
#include "run/Event_Main.h"
#include "run/Room_Draw.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"
#include "world/Instance_Class.h"

namespace px {
namespace {

// The old room drawn as the player last saw it: its draw events run
// although the change is pending.
void DrawOldRoom(Runtime& rt) {
  const PendingChange saved = rt.pendingChange;
  rt.pendingChange = kNoPendingChange;
  DrawRoom(rt);
  rt.pendingChange = rt.code.report.aborting ? kPendingAbort : saved;
}

// Calls the transition function of game code for one frame; false after a
// reported failure.
bool CallDefinedTransition(Runtime& rt, const TransitionDefinition& d, int w, int h, double f) {
  const TransitionState& t = rt.display.transition;
  FunctionArgs args;
  args[0].setReal(t.surfaceA);
  args[1].setReal(t.surfaceB);
  args[2].setReal(w);
  args[3].setReal(h);
  args[4].setReal(f);
  CInstance temporary(rt.resources, 0, 0, 0, 0);
  RValue result;
  const bool called = d.function >= kExtensionFunctionBase
                          ? CallExtensionFunction(rt, d.function - kExtensionFunctionBase,
                                                  &temporary, &temporary, result, args, 5)
                          : CallScript(rt, d.function - kScriptFunctionBase, &temporary, &temporary,
                                       result, args, 5);
  if (called) return true;
  const std::string message = rt.code.error.message;
  rt.code.error.pending = false;
  ReportError(rt, "ERROR in transition function " + d.name + "\r\n" + message, false);
  return false;
}

}  // namespace

void CaptureTransition(Runtime& rt) {
  DropTransition(rt);
  TransitionState& t = rt.display.transition;
  const int kind = rt.rooms.transitionKind;
  if (!t.Playable(kind)) return;
  SurfaceTable& surfaces = rt.display.surfaces;
  const Size used = rt.display.device.backBuffer();
  const int a = surfaces.Create(used.width, used.height);
  if (a < 0 || !surfaces.SetTarget(a)) {
    surfaces.Free(a);
    rt.rooms.transitionKind = -1;
    return;
  }
  DrawOldRoom(rt);
  const int b = surfaces.Create(used.width, used.height);
  if (b < 0 || !surfaces.SetTarget(b)) {
    surfaces.Free(a);
    surfaces.Free(b);
    surfaces.ResetTarget();
    rt.rooms.transitionKind = -1;
    return;
  }
  t.surfaceA = a;
  t.surfaceB = b;
  t.kind = kind;
}

bool TransitionCaptured(const Runtime& rt) {
  return rt.display.transition.underWay();
}

void PlayTransition(Runtime& rt) {
  if (!TransitionCaptured(rt)) return;
  Display& display = rt.display;
  TransitionState& t = display.transition;
  display.surfaces.ResetTarget();
  const Size used = display.device.backBuffer();
  const int n = std::max(1, rt.rooms.transitionSteps);
  const TransitionDefinition* defined = t.Defined(t.kind);
  // A failure is reported once, and the new room is shown as it is.
  bool failed = false;
  if (!defined && !IsBuiltinTransition(t.kind)) {
    ReportError(rt, "Transition Function does not exist.", false);
    failed = true;
  }
  const SurfaceTable& s = display.surfaces;
  const int textureA = s.Exists(t.surfaceA) ? s.Get(t.surfaceA)->texture : -1;
  const int textureB = s.Exists(t.surfaceB) ? s.Get(t.surfaceB)->texture : -1;
  for (int k = 0; k <= n; ++k) {
    const double f = static_cast<double>(k) / n;
    display.device.BeginFrame();
    if (defined && !failed)
      failed = !CallDefinedTransition(rt, *defined, used.width, used.height, f);
    if (failed) {
      display.draw.TextureQuad(textureB, 0, 0);
      k = n;
    } else if (!defined) {
      DrawTransitionFrame(display.device, display.draw, t.kind, textureA, textureB, used.width,
                          used.height, f, n);
    }
    display.WaitVerticalBlank();
    display.EndFramePresent();
  }
  DropTransition(rt);
}

void DropTransition(Runtime& rt) {
  TransitionState& t = rt.display.transition;
  rt.display.surfaces.Free(t.surfaceA);
  rt.display.surfaces.Free(t.surfaceB);
  t.surfaceA = t.surfaceB = -1;
  t.kind = 0;
}

}  // namespace px
