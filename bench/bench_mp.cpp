// Grid path finding: a way from one corner to the other of a 200 × 200 and
// a 1,000 × 1,000 grid with a third of the cells forbidden at random,
// through the planning grid (with and without diagonal moves), beside a
// plain breadth-first search over the same cells with a std::queue and a
// distance table made per search. Each reports the cells of the way found
// ("cells"), which must agree between the two for straight moves.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <queue>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "motion/Motion_PlanGrid.h"

namespace {

using namespace px;

constexpr int kCell = 16;

// Cells forbidden at random, a third of them, with the two corners free;
// the first seed whose corners are joined by straight moves.
struct Layout {
  int size;
  std::vector<char> blocked;  // column by column, like the grid

  explicit Layout(int n) : size(n) {
    for (std::uint32_t seed = 1; seed < 100; ++seed) {
      std::mt19937 random(seed);
      std::uniform_int_distribution<int> third(0, 2);
      blocked.assign(static_cast<std::size_t>(n) * n, 0);
      for (char& b : blocked) b = third(random) == 0;
      blocked.front() = blocked.back() = 0;
      if (PlainBfs() > 0) return;
    }
    throw std::runtime_error("no layout with a way");
  }

  CPlanGrid Grid() const {
    CPlanGrid g(0, 0, size, size, kCell, kCell);
    for (int h = 0; h < size; ++h)
      for (int v = 0; v < size; ++v)
        if (blocked[static_cast<std::size_t>(h) * size + v]) g.SetCell(h, v, CellState::Forbidden);
    return g;
  }

  // The steps of the shortest way by straight moves from cell (0, 0) to
  // (size - 1, size - 1), or -1.
  int PlainBfs() const {
    const int n = size;
    std::vector<int> distance(static_cast<std::size_t>(n) * n, -1);
    std::queue<std::pair<int, int>> queue;
    distance[0] = 0;
    queue.emplace(0, 0);
    const int dh[] = {-1, 1, 0, 0}, dv[] = {0, 0, -1, 1};
    while (!queue.empty()) {
      const auto [h, v] = queue.front();
      queue.pop();
      const int d = distance[static_cast<std::size_t>(h) * n + v];
      if (h == n - 1 && v == n - 1) return d;
      for (int k = 0; k < 4; ++k) {
        const int nh = h + dh[k], nv = v + dv[k];
        if (nh < 0 || nv < 0 || nh >= n || nv >= n) continue;
        const std::size_t i = static_cast<std::size_t>(nh) * n + nv;
        if (blocked[i] || distance[i] >= 0) continue;
        distance[i] = d + 1;
        queue.emplace(nh, nv);
      }
    }
    return -1;
  }
};

const Layout& LayoutOf(int size) {
  static const Layout small(200), large(1000);
  return size == 200 ? small : large;
}

void BM_GridPath(benchmark::State& state) {
  const Layout& layout = LayoutOf(static_cast<int>(state.range(0)));
  const bool diagonal = state.range(1) != 0;
  CPlanGrid grid = layout.Grid();
  CPath path;
  const std::int64_t far = std::int64_t{layout.size} * kCell - 1;
  for (auto _ : state) {
    if (!grid.FindPath(0, 0, far, far, diagonal, path)) state.SkipWithError("no way found");
    benchmark::DoNotOptimize(path.points.data());
  }
  // The points are the start, the cells between and the goal.
  state.counters["cells"] = static_cast<double>(path.points.size()) - 1;
}
BENCHMARK(BM_GridPath)
    ->ArgsProduct({{200, 1000}, {0, 1}})
    ->ArgNames({"size", "diagonal"})
    ->Unit(benchmark::kMicrosecond);

void BM_PlainBfs(benchmark::State& state) {
  const Layout& layout = LayoutOf(static_cast<int>(state.range(0)));
  int steps = 0;
  for (auto _ : state) {
    steps = layout.PlainBfs();
    benchmark::DoNotOptimize(steps);
  }
  state.counters["cells"] = steps;
}
BENCHMARK(BM_PlainBfs)->Arg(200)->Arg(1000)->ArgName("size")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
