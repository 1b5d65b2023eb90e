// Loading a game whose main block carries 50 MB of compressed resource
// data (backgrounds), beside inflating the same compressed records with zlib
// alone. Reading
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
#include "run/Runner_Form.h"
#include "run/Runner_Load.h"
#include "run/Runtime.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCompressedTarget = 50u << 20;

// An image-like background: smooth gradients with some noise, opaque.
px::TBitmap32 ResourceLikeImage(int size, std::uint32_t seed) {
  px::TBitmap32 image(size, size);
  std::mt19937 rng(seed);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const std::uint32_t noise = rng();
      const std::uint32_t n = (noise & 0x7) * ((noise >> 8 & 7) == 0);
      const std::uint32_t r = (x + seed) & 0xFF, g = (y * 2) & 0xFF, b = ((x ^ y) / 4 + n) & 0xFF;
      image.SetPixel(x, y, 0xFF000000u | r << 16 | g << 8 | b);
    }
  return image;
}

struct Fixture {
  fs::path dir;
  std::string gameFile;
  // Each background's record as stored, and its inflated size.
  std::vector<std::vector<std::uint8_t>> blocks;
  std::vector<std::size_t> plainSize;

  Fixture() {
    dir = fs::temp_directory_path() / ("pxbench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    // Backgrounds of 512 x 512 pixels until their compressed records reach
    // the target; the resource block to inflate alone is one of them.
    px::GameFile game;
    std::size_t total = 0;
    for (std::uint32_t i = 0; total < kCompressedTarget; ++i) {
      px::CBackground background;
      background.image = ResourceLikeImage(512, i);
      px::CStream record;
      px::StreamWriteBool(record, true);
      px::StreamWriteString(record, "bg" + std::to_string(i));
      background.WriteToStream(record);
      const auto stored = px::Deflate(record.bytes());
      total += stored.size();
      blocks.push_back(stored);
      plainSize.push_back(record.size());
      game.resources.backgrounds.add("bg" + std::to_string(i), std::move(background));
    }
    const auto bytes = px::WriteGameFile(game);
    gameFile = (dir / "big.pxg").string();
    std::ofstream(gameFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    std::cerr << "game file: " << bytes.size() / 1e6 << " MB, " << blocks.size() << " backgrounds, "
              << total / 1e6 << " MB compressed\n";
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
    benchmark::DoNotOptimize(rt.resources.backgrounds.get(0));
  }
}

void BM_InflateOnly(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    for (std::size_t i = 0; i < f.blocks.size(); ++i) {
      std::vector<std::uint8_t> out(f.plainSize[i]);
      uLongf size = static_cast<uLongf>(out.size());
      if (uncompress(out.data(), &size, f.blocks[i].data(),
                     static_cast<uLong>(f.blocks[i].size())) != Z_OK)
        state.SkipWithError("inflate failed");
      benchmark::DoNotOptimize(out.data());
    }
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
      if (run.run_type == Run::RT_Iteration)
        times[run.benchmark_name()] = run.GetAdjustedRealTime();
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
