// The mixer's cost: 64 voices of 44.1 kHz stereo, each on its own audio
// path with two effects, rendered the way the sound card pulls them (blocks
// of 1024 frames). The counter "core_percent" is the share of one core that
// playing them in real time takes: render time over the audio's duration.
//   echo_chorus: echo and chorus on every path (delay-line effects);
//   eq_compressor: the equalizer bit (two stages) and the compressor on
//                  every path (filters and level detection);
//   plain: the same voices without effects, for the mixing alone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "sound/Sound_Effects.h"
#include "sound/Sound_Mixer.h"

namespace {

using namespace px;

constexpr int kVoices = 64;
constexpr int kBlock = 1024;

std::shared_ptr<const Pcm> Tone(int i) {
  Pcm pcm;
  pcm.samples.resize(2 * kAudioRate);
  for (std::size_t f = 0; f < pcm.samples.size() / 2; ++f) {
    const float v = 0.01f * std::sin(0.001f * static_cast<float>(f * (i + 1)));
    pcm.samples[2 * f] = pcm.samples[2 * f + 1] = v;
  }
  return std::make_shared<const Pcm>(std::move(pcm));
}

void Mix(benchmark::State& state, int bits) {
  Mixer mixer(kAudioRate);
  for (int i = 0; i < kVoices; ++i) {
    mixer.send(mix::CreateBus{i, false, std::make_shared<std::atomic<int>>(0)});
    if (bits) mixer.send(mix::Effects{i, BuildEffectChain(bits, kAudioRate)});
    mixer.send(mix::Play{i, VoiceSource{Tone(i), nullptr}, true, false});
  }
  std::vector<float> out(2 * kBlock);
  std::int64_t frames = 0;
  for (auto _ : state) {
    mixer.render(out.data(), kBlock);
    benchmark::DoNotOptimize(out.data());
    frames += kBlock;
  }
  state.counters["core_percent"] =
      benchmark::Counter(static_cast<double>(frames) / (100.0 * kAudioRate),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(frames);
}

void BM_Mixer_EchoChorus(benchmark::State& state) {
  Mix(state, kEffectEcho | kEffectChorus);
}
void BM_Mixer_EqCompressor(benchmark::State& state) {
  Mix(state, kEffectEqualizer | kEffectCompressor);
}
void BM_Mixer_Plain(benchmark::State& state) {
  Mix(state, 0);
}

}  // namespace

BENCHMARK(BM_Mixer_EchoChorus)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mixer_EqCompressor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mixer_Plain)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
