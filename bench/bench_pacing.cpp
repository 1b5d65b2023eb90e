// Pacing on a desktop: a game in a real window runs 600 steps at a room
// speed of 60 (ten seconds); every step notes the real clock. Reports the
// mean and the worst distance of a step's start from its ideal time (the
// first step's start plus k / 60 s), the drift at the end, and the share of
// one core the process used. Needs an X server, e.g.
//   xvfb-run -a build-bench/bench_pacing
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "code/Code_Function.h"
#include "platform/Platform.h"
#include "resources/Resource_Chunks.h"
#include "run/Action_Class.h"
#include "run/Run_Main.h"
#include "run/Runtime.h"

namespace {

using namespace px;
using Clock = std::chrono::steady_clock;

constexpr int kSpeed = 60;
constexpr int kSteps = 600;

// The times the step events noted; a handler has no place of its own.
std::vector<Clock::time_point>& Marks() {
  static std::vector<Clock::time_point> marks;
  return marks;
}

void MarkStep(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs&) {
  Marks().push_back(Clock::now());
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_Pacing(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<Platform> platform = CreateDesktopPlatform();
    Runtime rt{*platform};
    RegisterFunction(rt, "bench_mark_step", MarkStep, 0);
    CObject ticker;
    const CAction code = MakeCodeAction("bench_mark_step()");
    ticker.eventSlot(3, 1).actions.push_back(code);
    rt.resources.objects.add("obj_ticker", ticker);
    CRoom room;
    room.speed = kSpeed;
    room.instances.push_back({.x = 0, .y = 0, .object = 0, .id = 100001, .creation_code = ""});
    rt.resources.rooms.add("rm", room);
    rt.resources.roomOrder = {0};
    rt.resources.lastInstanceId = 100001;
    rt.maxSteps = kSteps;
    if (!PrepareObjectActions(rt)) throw std::runtime_error("does not compile");
    if (!rt.display.Setup(rt.settings, "pacing")) {
      state.SkipWithError("no display (run under an X server)");
      return;
    }
    Marks().clear();
    Marks().reserve(kSteps);
    const double cpuBefore = CpuSeconds();
    const Clock::time_point wallBefore = Clock::now();
    RunGame(rt);
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    const double cpu = CpuSeconds() - cpuBefore;

    const std::vector<Clock::time_point>& marks = Marks();
    double sum = 0, worst = 0;
    std::size_t worstStep = 0;
    for (std::size_t k = 0; k < marks.size(); ++k) {
      const double ideal = double(k) * 1e6 / kSpeed;
      const double actual =
          std::chrono::duration<double, std::micro>(marks[k] - marks.front()).count();
      const double error = std::fabs(actual - ideal);
      sum += error;
      if (error > worst) {
        worst = error;
        worstStep = k + 1;
      }
    }
    const double last =
        marks.empty()
            ? 0
            : std::chrono::duration<double, std::micro>(marks.back() - marks.front()).count();
    state.counters["steps"] = double(marks.size());
    state.counters["mean_error_us"] = marks.empty() ? 0 : sum / double(marks.size());
    state.counters["worst_error_us"] = worst;
    state.counters["worst_step"] = double(worstStep);
    state.counters["drift_us"] = last - double(marks.size() - 1) * 1e6 / kSpeed;
    state.counters["cpu_share"] = wall > 0 ? cpu / wall : 0;
  }
}

BENCHMARK(BM_Pacing)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
