// Maps and lists of 1,000,000 entries worked through the ds_* functions as
// game code calls them, beside standard containers doing the same work in
// the same run. Each benchmark runs its phases twice and reports the time
// per operation of each phase (ns) in the second run; the ratios to the
// standard containers are printed at the end. Freed memory stays with the
// process and the first run warms it, so no side pays for the first touch
// of fresh pages, which is slow on virtual machines.
//   maps:  add every key, find every key, delete every key, in a shuffled
//          order, once with real keys and once with string keys;
//   lists: append every value, read values at random positions, insert and
//          delete in the middle, and search for a value that is missing.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <map>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "platform/Platform.h"
#include "run/Runtime.h"

namespace {

constexpr std::size_t kEntries = 1'000'000;
constexpr std::size_t kMiddleEdits = 200;
constexpr std::size_t kSearches = 10;

using Clock = std::chrono::steady_clock;

// The phases of every benchmark, in report order.
const char* const kPhases[] = {"add", "find", "delete", "insert_mid", "delete_mid", "search"};

std::vector<std::size_t> Shuffled(std::size_t n, std::uint32_t seed) {
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(seed));
  return order;
}

std::string KeyText(std::size_t i) {
  return "key" + std::to_string(i * 7919 % 10'000'019);
}

// Times one phase of `ops` operations and reports it as ns per operation.
template <class F>
void Phase(benchmark::State& state, const char* name, std::size_t ops, F&& work) {
  const auto start = Clock::now();
  work();
  const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
  state.counters[name] = spent.count() / static_cast<double>(ops);
}

// Calls registered functions by name, the handler looked up once.
class Functions {
 public:
  Functions() : platform_(px::CreateHeadlessPlatform(out_)), rt_(*platform_) {}
  px::BuiltinHandler operator[](const char* name) const {
    return rt_.code.functions[static_cast<std::size_t>(rt_.code.functions.Find(name))].handler;
  }
  px::RValue call(px::BuiltinHandler f, std::int32_t argc) {
    px::RValue result;
    f(rt_, nullptr, nullptr, argc, result, args);
    return result;
  }
  px::FunctionArgs args{};

 private:
  std::ostringstream out_;
  std::unique_ptr<px::Platform> platform_;
  px::Runtime rt_;
};

template <bool StringKeys>
std::vector<px::RValue> Keys() {
  std::vector<px::RValue> keys;
  keys.reserve(kEntries);
  for (std::size_t i : Shuffled(kEntries, 1)) {
    keys.push_back(StringKeys ? px::RValue::FromString(KeyText(i))
                              : px::RValue::FromReal(static_cast<double>(i)));
  }
  return keys;
}

template <bool StringKeys>
void BM_DsMap(benchmark::State& state) {
  const std::vector<px::RValue> keys = Keys<StringKeys>();
  const std::vector<std::size_t> findOrder = Shuffled(kEntries, 2);
  const std::vector<std::size_t> deleteOrder = Shuffled(kEntries, 3);
  for (auto _ : state) {
    Functions fn;
    const px::BuiltinHandler add = fn["ds_map_add"];
    const px::BuiltinHandler find = fn["ds_map_find_value"];
    const px::BuiltinHandler erase = fn["ds_map_delete"];
    fn.args[0] = fn.call(fn["ds_map_create"], 0);
    Phase(state, "add", kEntries, [&] {
      for (std::size_t i = 0; i < kEntries; ++i) {
        fn.args[1] = keys[i];
        fn.args[2] = px::RValue::FromReal(static_cast<double>(i));
        fn.call(add, 3);
      }
    });
    double sum = 0;
    Phase(state, "find", kEntries, [&] {
      for (std::size_t i : findOrder) {
        fn.args[1] = keys[i];
        sum += fn.call(find, 2).real;
      }
    });
    Phase(state, "delete", kEntries, [&] {
      for (std::size_t i : deleteOrder) {
        fn.args[1] = keys[i];
        fn.call(erase, 2);
      }
    });
    if (sum != static_cast<double>(kEntries) * (kEntries - 1) / 2)
      state.SkipWithError("lost a key");
  }
}

template <class Map, bool StringKeys>
void BM_StdMap(benchmark::State& state) {
  using Key = typename Map::key_type;
  std::vector<Key> keys;
  keys.reserve(kEntries);
  for (std::size_t i : Shuffled(kEntries, 1)) {
    if constexpr (StringKeys) {
      keys.push_back(KeyText(i));
    } else {
      keys.push_back(static_cast<double>(i));
    }
  }
  const std::vector<std::size_t> findOrder = Shuffled(kEntries, 2);
  const std::vector<std::size_t> deleteOrder = Shuffled(kEntries, 3);
  for (auto _ : state) {
    Map map;
    Phase(state, "add", kEntries, [&] {
      for (std::size_t i = 0; i < kEntries; ++i) map.emplace(keys[i], static_cast<double>(i));
    });
    double sum = 0;
    Phase(state, "find", kEntries, [&] {
      for (std::size_t i : findOrder) {
        const auto it = map.find(keys[i]);
        if (it != map.end()) sum += it->second;
      }
    });
    Phase(state, "delete", kEntries, [&] {
      for (std::size_t i : deleteOrder) map.erase(keys[i]);
    });
    if (sum != static_cast<double>(kEntries) * (kEntries - 1) / 2)
      state.SkipWithError("lost a key");
  }
}

void BM_DsList(benchmark::State& state) {
  const std::vector<std::size_t> positions = Shuffled(kEntries, 4);
  for (auto _ : state) {
    Functions fn;
    const px::BuiltinHandler add = fn["ds_list_add"];
    const px::BuiltinHandler value = fn["ds_list_find_value"];
    const px::BuiltinHandler insert = fn["ds_list_insert"];
    const px::BuiltinHandler erase = fn["ds_list_delete"];
    const px::BuiltinHandler index = fn["ds_list_find_index"];
    fn.args[0] = fn.call(fn["ds_list_create"], 0);
    Phase(state, "add", kEntries, [&] {
      for (std::size_t i = 0; i < kEntries; ++i) {
        fn.args[1] = px::RValue::FromReal(static_cast<double>(i));
        fn.call(add, 2);
      }
    });
    double sum = 0;
    Phase(state, "find", kEntries, [&] {
      for (std::size_t i : positions) {
        fn.args[1] = px::RValue::FromReal(static_cast<double>(i));
        sum += fn.call(value, 2).real;
      }
    });
    Phase(state, "insert_mid", kMiddleEdits, [&] {
      for (std::size_t i = 0; i < kMiddleEdits; ++i) {
        fn.args[1] = px::RValue::FromReal(static_cast<double>(kEntries / 2 + i));
        fn.args[2] = px::RValue::FromReal(-1);
        fn.call(insert, 3);
      }
    });
    Phase(state, "delete_mid", kMiddleEdits, [&] {
      for (std::size_t i = 0; i < kMiddleEdits; ++i) {
        fn.args[1] = px::RValue::FromReal(static_cast<double>(kEntries / 2 - i));
        fn.call(erase, 2);
      }
    });
    Phase(state, "search", kSearches * kEntries, [&] {
      fn.args[1] = px::RValue::FromReal(-5);
      for (std::size_t i = 0; i < kSearches; ++i) sum += fn.call(index, 2).real;
    });
    benchmark::DoNotOptimize(sum);
  }
}

// A vector of plain doubles, and one of the values lists hold.
template <class T>
T Element(double v) {
  if constexpr (std::is_same_v<T, double>) {
    return v;
  } else {
    return px::RValue::FromReal(v);
  }
}

template <class T>
double Number(const T& v) {
  if constexpr (std::is_same_v<T, double>) {
    return v;
  } else {
    return v.real;
  }
}

template <class T>
void BM_StdVector(benchmark::State& state) {
  const std::vector<std::size_t> positions = Shuffled(kEntries, 4);
  for (auto _ : state) {
    std::vector<T> list;
    Phase(state, "add", kEntries, [&] {
      for (std::size_t i = 0; i < kEntries; ++i) list.push_back(Element<T>(static_cast<double>(i)));
    });
    double sum = 0;
    Phase(state, "find", kEntries, [&] {
      for (std::size_t i : positions) sum += Number(list[i]);
    });
    Phase(state, "insert_mid", kMiddleEdits, [&] {
      for (std::size_t i = 0; i < kMiddleEdits; ++i) {
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(kEntries / 2 + i), Element<T>(-1));
      }
    });
    Phase(state, "delete_mid", kMiddleEdits, [&] {
      for (std::size_t i = 0; i < kMiddleEdits; ++i) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(kEntries / 2 - i));
      }
    });
    Phase(state, "search", kSearches * kEntries, [&] {
      for (std::size_t i = 0; i < kSearches; ++i) {
        const auto it =
            std::find_if(list.begin(), list.end(), [](const T& v) { return Number(v) == -5.0; });
        sum += static_cast<double>(it - list.begin());
      }
    });
    benchmark::DoNotOptimize(sum);
  }
}

BENCHMARK(BM_DsMap<false>)->Name("ds_map/real_keys")->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMap<std::unordered_map<double, double>, false>)
    ->Name("std::unordered_map/real_keys")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMap<std::map<double, double>, false>)
    ->Name("std::map/real_keys")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DsMap<true>)->Name("ds_map/string_keys")->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMap<std::unordered_map<std::string, double>, true>)
    ->Name("std::unordered_map/string_keys")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMap<std::map<std::string, double>, true>)
    ->Name("std::map/string_keys")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DsList)->Name("ds_list")->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdVector<double>)
    ->Name("std::vector<double>")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdVector<px::RValue>)
    ->Name("std::vector<RValue>")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// Collects each benchmark's per-operation times for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      std::string name = run.benchmark_name();
      name = name.substr(0, name.find("/iterations"));  // one row per container
      for (const auto& [phase, counter] : run.counters) times[name][phase] = counter.value;
    }
  }
  std::map<std::string, std::map<std::string, double>> times;
};

}  // namespace

int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, -1);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const std::pair<const char*, const char*> pairs[] = {
      {"ds_map/real_keys", "std::unordered_map/real_keys"},
      {"ds_map/real_keys", "std::map/real_keys"},
      {"ds_map/string_keys", "std::unordered_map/string_keys"},
      {"ds_map/string_keys", "std::map/string_keys"},
      {"ds_list", "std::vector<double>"},
      {"ds_list", "std::vector<RValue>"},
  };
  std::cout << "\nns per operation, and the ratio to the standard container:\n";
  for (const auto& [ours, theirs] : pairs) {
    for (const char* phase : kPhases) {
      const auto& a = reporter.times[ours];
      const auto& b = reporter.times[theirs];
      if (!a.contains(phase) || !b.contains(phase)) continue;
      std::cout << std::left << std::setw(20) << ours << std::setw(12) << phase << std::right
                << std::fixed << std::setprecision(1) << std::setw(10) << a.at(phase) << "  vs "
                << std::left << std::setw(32) << theirs << std::right << std::setw(10)
                << b.at(phase) << "   x" << std::setprecision(2) << a.at(phase) / b.at(phase)
                << '\n';
    }
  }
  benchmark::Shutdown();
  return 0;
}
