// The collision phase: 10,000 moving instances of two objects, 8x8 rings,
// in a 2000x2000 room, the first object with a collision event with the
// second. Whole headless steps (motion, collision phase, drawing) through
// the grid, and the motion and collision phase alone both through the grid
// and by testing every pair, in steps per second.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/Platform.h"
#include "resources/Resource_Chunks.h"
#include "run/Action_Class.h"
#include "run/Run_Handle_Collision.h"
#include "run/Run_Room.h"
#include "run/Run_Step.h"
#include "run/Runtime.h"

namespace {

using namespace px;

constexpr int kInstances = 10000;
constexpr int kRoomSize = 2000;

// An 8x8 ring, one pixel thick.
CSprite Ring() {
  CSprite s;
  s.images.emplace_back(8, 8);
  TMask m;
  m.width = m.height = 8;
  m.left = m.top = 0;
  m.right = m.bottom = 7;
  m.bits.assign(64, 0);
  for (int i = 0; i < 8; ++i) m.bits[i] = m.bits[56 + i] = m.bits[i * 8] = m.bits[i * 8 + 7] = 1;
  s.masks.push_back(m);
  s.ComputeBoundingBox();
  return s;
}

struct Game {
  std::ostringstream out;
  std::unique_ptr<Platform> platform = CreateHeadlessPlatform(out);
  Runtime rt{*platform};

  Game() {
    rt.resources.sprites.add("spr_ring", Ring());
    CObject mover;
    mover.sprite_index = 0;
    mover.visible = false;
    // Moves by its speeds, wrapping around the room; the collision event
    // counts.
    CObject hunter = mover;
    hunter.eventSlot(4, 1).actions.push_back(MakeCodeAction("global.hits += 1;"));
    rt.resources.objects.add("obj_hunter", hunter);
    rt.resources.objects.add("obj_prey", mover);
    rt.resources.libraryInitCode = {"global.hits = 0"};
    CRoom room;
    room.width = room.height = kRoomSize;
    std::mt19937 rng(7);
    for (int i = 0; i < kInstances; ++i) {
      const int x = static_cast<int>(rng() % kRoomSize), y = static_cast<int>(rng() % kRoomSize);
      const int hs = static_cast<int>(rng() % 5) - 2, vs = static_cast<int>(rng() % 5) - 2;
      room.instances.push_back({.x = x,
                                .y = y,
                                .object = i % 2,
                                .id = 100001 + i,
                                .creation_code = "hspeed = " + std::to_string(hs) +
                                                 "; vspeed = " + std::to_string(vs) + ";"});
    }
    rt.resources.rooms.add("rm", room);
    rt.resources.roomOrder = {0};
    rt.resources.lastInstanceId = 100000 + kInstances;
    if (!PrepareObjectActions(rt)) throw std::runtime_error("does not compile");
    rt.world.lastInstanceId = rt.resources.lastInstanceId;
    if (!GameStart(rt)) throw std::runtime_error("does not start");
  }

  // The motion of a step, wrapping around the room, then the collision
  // phase.
  void MoveAndCollide(CollisionSearch search) {
    CInstanceList& list = rt.world.instances;
    for (std::size_t i = 0; i < list.size(); ++i) {
      CInstance& inst = list.at(i);
      inst.xprevious = inst.x;
      inst.yprevious = inst.y;
      double x = inst.x + inst.hspeed, y = inst.y + inst.vspeed;
      if (x < 0) x += kRoomSize;
      if (x >= kRoomSize) x -= kRoomSize;
      if (y < 0) y += kRoomSize;
      if (y >= kRoomSize) y -= kRoomSize;
      inst.SetPosition(rt.resources, x, y);
    }
    CollisionEvents(rt, search);
  }
};

void Report(benchmark::State& state) {
  state.counters["steps_per_s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_StepWithCollisions(benchmark::State& state) {
  Game game;
  for (auto _ : state) RunStep(game.rt);
  Report(state);
}

void BM_CollisionGrid(benchmark::State& state) {
  Game game;
  for (auto _ : state) game.MoveAndCollide(CollisionSearch::Grid);
  Report(state);
}

void BM_CollisionAllPairs(benchmark::State& state) {
  Game game;
  for (auto _ : state) game.MoveAndCollide(CollisionSearch::AllPairs);
  Report(state);
}

BENCHMARK(BM_StepWithCollisions)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollisionGrid)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollisionAllPairs)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
