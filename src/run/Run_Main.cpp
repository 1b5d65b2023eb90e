#include "run/Run_Main.h"

#include <algorithm>
#include <iostream>
#include <string>

#include "run/Event_Main.h"
#include "run/IO_Main.h"
#include "run/Room_Draw.h"
#include "run/Run_Error.h"
#include "run/Run_Room.h"
#include "run/Run_Step.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr std::int64_t kSecond = 1'000'000;

// Waits d microseconds from `start`: a coarse sleep for all but the last
// millisecond of long waits, then window messages until the time is up.
void WaitFrom(Runtime& rt, std::int64_t start, std::int64_t d) {
  if (d >= 2000) rt.platform.waitMicros((d - 1000) / 1000 * 1000);
  for (;;) {
    HandleWindowMessages(rt);
    const std::int64_t t = rt.display.Now();
    if (t < start || t >= start + d) break;
    rt.platform.waitMicros(std::min<std::int64_t>(start + d - t, 200));
  }
}

// The pause after a step that started at u and ended at w.
std::int64_t StepWait(Runtime& rt, std::int64_t u, std::int64_t w) {
  CRoom* room = CurrentRoomData(rt);
  std::int32_t speed = room ? room->speed : 30;
  if (speed < 1) {
    speed = 1;
    if (room) room->speed = 1;
  }
  return std::clamp<std::int64_t>(kSecond / speed - (w - u), 0, kSecond);
}

// The run's time limit passed between pieces of game code: the run ends
// as after a fatal error, with the reason on standard error.
void EndRunOutOfTime(Runtime& rt) {
  std::cerr << "pxrun: " << TimeLimitMessage(rt.code.exec) << '\n';
  rt.code.report.aborting = true;
  rt.pendingChange = kPendingAbort;
  rt.terminateRequested = true;
}

}  // namespace

bool RunGame(Runtime& rt) {
  RunState& run = rt.run;
  if (!run.running) {
    run.running = true;
    // Ids of new instances continue after those the rooms were stored with.
    rt.world.lastInstanceId = rt.resources.lastInstanceId;
    run.steps = 0;
    run.cursorFrame = 0;
    if (!GameStart(rt) && !ChangePending(rt)) rt.pendingChange = kPendingAbort;
  }
  run.running = true;
  run.paused = false;

  if (!CarryOutPendingChange(rt)) run.running = false;
  run.fps = 0;
  HandleWindowMessages(rt);
  std::int64_t u = rt.display.Now();
  std::int64_t v = u;
  std::int32_t count = 0;
  while (run.running && !run.paused) {
    ++run.steps;
    ApplyReplay(rt, run.steps);
    bool stepDone = true;
    try {
      RunStep(rt);
    } catch (const std::exception& e) {
      // A step that fails outside game code ends the game with what failed,
      // instead of being retried step after step.
      stepDone = false;
      RuntimeError(rt, std::string("Unexpected error in the step: ") + e.what(), true);
    }
    // Without an audio device the mixer renders what the clock made due.
    rt.sound.engine.Sync();
    if (rt.maxSteps && run.steps >= *rt.maxSteps) RequestGameEnd(rt);
    if (!rt.code.report.aborting && TimeLimitPassed(rt.code.exec)) EndRunOutOfTime(rt);
    if (stepDone) {
      std::int64_t w = rt.display.Now();
      if (w < u) u = w;
      const std::int64_t d = StepWait(rt, u, w);
      WaitFrom(rt, w, d);
      u = w + d;
      if (u < v) v = u;
      if (u / kSecond > v / kSecond) {
        run.fps = count;
        count = 0;
        v = u;
      }
      ++count;
      if (!ChangePending(rt) && rt.display.automaticDraw) ShowFrame(rt);
    }
    // Also after a failed step, so that the fatal report, an end the game
    // asked for or the step limit of --max-steps always takes effect.
    if (!CarryOutPendingChange(rt)) run.running = false;
    HandleWindowMessages(rt);
  }
  return !rt.code.report.aborting;
}

}  // namespace px
