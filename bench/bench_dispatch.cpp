// Event dispatch: 10,000 instances of objects whose step event (found
// through a chain of three parents) runs a two-statement code action, raised
// as the step raises it; beside the floor, a plain loop running the same
// compiled code directly. Reports the cost per instance per event.
#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>

#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "platform/Platform.h"
#include "resources/Resource_Chunks.h"
#include "run/Action_Class.h"
#include "run/Event_Main.h"
#include "run/Runtime.h"

namespace {

using namespace px;

constexpr int kInstances = 10000;
constexpr int kObjects = 4;
constexpr const char* kCode = "x += 1; if (x > 640) x = 0;";

struct World {
  std::ostringstream out;
  std::unique_ptr<Platform> platform = CreateHeadlessPlatform(out);
  Runtime rt{*platform};

  World() {
    // obj_base has the step event; obj_mid, obj_leaf and obj_other inherit
    // it through up to three generations.
    CObject base;
    const CAction code = MakeCodeAction(kCode);
    base.eventSlot(3, 0).actions.push_back(code);
    rt.resources.objects.add("obj_base", base);
    for (int i = 1; i < kObjects; ++i) {
      CObject child;
      child.parent = i - 1;
      rt.resources.objects.add("obj_" + std::to_string(i), child);
    }
    if (!PrepareObjectActions(rt)) throw std::runtime_error("does not compile");
    StartWorld(rt);
    for (int i = 0; i < kInstances; ++i) CreateInstance(rt, 1 + i % (kObjects - 1), i % 640, 0);
  }
};

void BM_StepEventDispatch(benchmark::State& state) {
  World w;
  for (auto _ : state) RaiseEvent(w.rt, 3, 0);
  state.SetItemsProcessed(state.iterations() * kInstances);
  state.counters["ns_per_instance"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kInstances,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StepEventDispatch)->Unit(benchmark::kMillisecond)->Iterations(100);

// The floor: the same compiled code run for the same instances by a plain
// loop, with no look-up and no event bookkeeping.
void BM_DirectCodeLoop(benchmark::State& state) {
  World w;
  CCode code(kCode, false);
  if (!code.Compile(w.rt)) throw std::runtime_error("does not compile");
  const CInstanceList& list = w.rt.world.instances;
  RValue result;
  for (auto _ : state) {
    for (std::size_t i = 0; i < list.size(); ++i) {
      CInstance* inst = &list.at(i);
      ExecuteCode(w.rt, inst, inst, code, result);
    }
  }
  state.SetItemsProcessed(state.iterations() * kInstances);
  state.counters["ns_per_instance"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kInstances,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DirectCodeLoop)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace

BENCHMARK_MAIN();
