// Loading a game whose main block carries 50 MB of compressed resource
// data, beside inflating the same compressed bytes with zlib alone. Reading
// the file, unscrambling and walking the chunks should add little on top of
// the inflation itself; the ratio of the two is printed at the end.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

#include "platform/Platform.h"
#include "runner/Run_Global.h"
#include "runner/Runner_Form.h"
#include "runner/Runner_Load.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCompressedTarget = 50u << 20;

// Image-like bytes: smooth gradients with some noise, compressing about 3:1.
std::vector<std::uint8_t> ResourceLikeBytes(std::size_t n) {
  std::vector<std::uint8_t> v(n);
  std::mt19937 rng(12345);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t noise = rng();
    v[i] = static_cast<std::uint8_t>((i / 4 % 512) / 2 + (noise & 0x7) * ((noise >> 8 & 7) == 0));
  }
  return v;
}

struct Fixture {
  fs::path dir;
  std::string gameFile;
  std::vector<std::uint8_t> compressed;  // the resource block as stored
  std::size_t plainSize = 0;

  Fixture() {
    dir = fs::temp_directory_path() / ("pxbench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    // Size the plain data from a sample so that it compresses to the target.
    const std::size_t sample = 4u << 20;
    const double ratio = static_cast<double>(sample) / px::Deflate(ResourceLikeBytes(sample)).size();
    std::vector<std::uint8_t> plain =
        ResourceLikeBytes(static_cast<std::size_t>(kCompressedTarget * ratio));
    compressed = px::Deflate(plain);
    plainSize = plain.size();
    px::GameFile game;
    game.resources.gameInformation.text.assign(plain.begin(), plain.end());
    const auto bytes = px::WriteGameFile(game);
    gameFile = (dir / "big.pxg").string();
    std::ofstream(gameFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::cerr << "game file: " << bytes.size() / 1e6 << " MB, resource block "
              << compressed.size() / 1e6 << " MB compressed, " << plainSize / 1e6
              << " MB inflated\n";
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Fixture& TheFixture() {
  static Fixture f;
  return f;
}

void BM_LoadGame(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    std::ostringstream out;
    auto platform = px::CreateHeadlessPlatform(out);
    px::Runtime rt(*platform);
    rt.gameFile = f.gameFile;
    rt.tempDir.TryCreate(f.dir.string());
    if (!px::LoadAndRun(rt)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(rt.resources.gameInformation.text.data());
  }
}

void BM_InflateOnly(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    std::vector<std::uint8_t> out(f.plainSize);
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &size, f.compressed.data(), static_cast<uLong>(f.compressed.size())) !=
        Z_OK)
      state.SkipWithError("inflate failed");
    benchmark::DoNotOptimize(out.data());
  }
}

BENCHMARK(BM_LoadGame)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_InflateOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Collects the mean real time of each benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) times[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double load = reporter.times["BM_LoadGame/min_time:3.000"];
  const double inflate = reporter.times["BM_InflateOnly/min_time:3.000"];
  if (load > 0 && inflate > 0) std::cout << "load / inflate ratio: " << load / inflate << '\n';
  benchmark::Shutdown();
  return 0;
}
