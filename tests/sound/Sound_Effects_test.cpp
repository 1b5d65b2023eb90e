// The effects on test signals: each changes the signal as its parameters
// say, at the right sample offsets and levels, within stated tolerances.
#include "sound/Sound_Effects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sound/Sound_TestSupport.h"

namespace {

using namespace px;

constexpr int kRate = kAudioRate;

std::vector<float> Impulse(std::size_t frames) {
  std::vector<float> x(2 * frames, 0.0f);
  x[0] = x[1] = 1.0f;
  return x;
}

std::vector<float> Sine(double hz, std::size_t frames, float amplitude = 0.25f) {
  std::vector<float> x(2 * frames);
  for (std::size_t i = 0; i < frames; ++i)
    x[2 * i] = x[2 * i + 1] =
        amplitude * static_cast<float>(std::sin(2 * std::numbers::pi * hz * double(i) / kRate));
  return x;
}

// Runs the effect over the whole signal in blocks of 256 frames.
std::vector<float> Process(Effect& e, std::vector<float> x) {
  for (std::size_t done = 0; done < x.size() / 2; done += 256)
    e.process(x.data() + 2 * done,
              static_cast<int>(std::min<std::size_t>(256, x.size() / 2 - done)));
  return x;
}

std::unique_ptr<Effect> With(EffectKind kind, const EffectParams& params) {
  auto e = MakeEffect(kind, kRate);
  EXPECT_TRUE(ParamsValid(params));
  e->setParams(params);
  return e;
}

double Peak(const std::vector<float>& x, std::size_t from, std::size_t to, int ch = 0) {
  double p = 0;
  for (std::size_t i = from; i < to; ++i) p = std::max(p, double(std::fabs(x[2 * i + ch])));
  return p;
}

TEST(SoundEffects, EchoRepeatsAtItsDelaysWithItsFeedback) {
  // 30% wet, 50% feedback, 100 ms left, 250 ms right.
  auto echo = With(EffectKind::Echo, EchoParams{30, 50, 100, 250, 0});
  const auto y = Process(*echo, Impulse(kRate));
  const std::size_t left = 4410, right = 11025;
  EXPECT_NEAR(y[0], 0.7, 1e-6);  // dry part
  EXPECT_NEAR(y[2 * left], 0.3, 1e-6);
  EXPECT_NEAR(y[4 * left], 0.15, 1e-6);
  EXPECT_NEAR(y[6 * left], 0.075, 1e-6);
  EXPECT_NEAR(y[2 * right + 1], 0.3, 1e-6);
  EXPECT_NEAR(y[4 * right + 1], 0.15, 1e-6);
  EXPECT_LT(Peak(y, 1, left), 1e-9);
  EXPECT_LT(Peak(y, left + 1, 2 * left), 1e-9);
}

TEST(SoundEffects, EchoWithPanDelaySwapsSides) {
  auto echo = With(EffectKind::Echo, EchoParams{100, 50, 100, 100, 1});
  auto x = Impulse(kRate);
  x[1] = 0;  // left only
  const auto y = Process(*echo, x);
  EXPECT_NEAR(y[2 * 4410], 1, 1e-6);
  EXPECT_NEAR(y[2 * 8820 + 1], 0.5, 1e-6);  // the second echo on the right
  EXPECT_NEAR(y[2 * 8820], 0, 1e-6);
}

TEST(SoundEffects, CompressorFollowsThresholdAndRatioOnALevelStep) {
  // -40 dB for half a second, then -6 dB; threshold -20 dB, ratio 4, +3 dB
  // make-up: below the threshold only the make-up, above it
  // -20 + 14/4 + 3 = -13.5 dB once the attack has settled.
  auto comp = With(EffectKind::Compressor, CompressorParams{3, 1, 50, -20, 4, 0});
  std::vector<float> x(2 * kRate);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = i < x.size() / 2 ? 0.01f : 0.5f;
  const auto y = Process(*comp, x);
  const auto db = [&](std::size_t frame) { return 20 * std::log10(std::fabs(y[2 * frame])); };
  EXPECT_NEAR(db(kRate / 4), -40 + 3, 0.1);
  EXPECT_NEAR(db(kRate - 10), -13.5, 0.3);
}

TEST(SoundEffects, CompressorPredelayDelaysTheSignal) {
  auto comp = With(EffectKind::Compressor, CompressorParams{0, 10, 200, 0, 1, 2});
  const auto y = Process(*comp, Impulse(1000));
  EXPECT_NEAR(y[2 * 88], 1, 1e-6);  // 2 ms
  EXPECT_LT(Peak(y, 0, 88), 1e-9);
}

TEST(SoundEffects, EqualizerGainAtItsCentre) {
  const struct {
    float center, bandwidth, gain;
    double probe, expectedDb;
  } cases[] = {
      {1000, 12, 12, 1000, 12},    // the peak
      {1000, 12, -15, 1000, -15},  // a cut
      {1000, 12, 12, 16000, 0},    // four octaves away
      {4000, 36, 6, 4000, 6},
  };
  for (const auto& c : cases) {
    auto eq = With(EffectKind::Equalizer, EqualizerParams{c.center, c.bandwidth, c.gain});
    const auto y = Process(*eq, Sine(c.probe, kRate / 2));
    const double db = 20 * std::log10(Peak(y, kRate / 4, kRate / 2) / 0.25);
    EXPECT_NEAR(db, c.expectedDb, 0.3) << c.center << " " << c.probe;
  }
}

TEST(SoundEffects, GargleModulatesAtItsRate) {
  // A square wave at 10 Hz: 50 ms through, 50 ms silent.
  auto gargle = With(EffectKind::Gargle, GargleParams{10, 1});
  const auto y = Process(*gargle, std::vector<float>(2 * kRate / 5, 0.5f));
  EXPECT_EQ(y[2 * 1000], 0.5f);
  EXPECT_EQ(y[2 * 3000], 0.0f);
  EXPECT_EQ(y[2 * 5000], 0.5f);
  // A triangle: silent at the start of each period, full in its middle.
  auto tri = With(EffectKind::Gargle, GargleParams{10, 0});
  const auto t = Process(*tri, std::vector<float>(2 * kRate / 5, 0.5f));
  EXPECT_NEAR(t[0], 0, 1e-6);
  EXPECT_NEAR(t[2 * 2205], 0.5, 1e-3);
  EXPECT_NEAR(t[2 * 1102], 0.25, 1e-3);
}

TEST(SoundEffects, ChorusAndFlangerDelayTheWetSignal) {
  // No sweep: the wet part is the input delayed by the base delay.
  auto chorus = With(EffectKind::Chorus, ChorusParams{100, 0, 0, 1, 1, 10, 2});
  const auto y = Process(*chorus, Impulse(kRate / 10));
  EXPECT_NEAR(y[2 * 441], 1, 1e-5);
  EXPECT_LT(Peak(y, 0, 440), 1e-6);
  // Half wet with feedback: the dry half now, then repeats falling by the
  // feedback.
  auto flanger = With(EffectKind::Flanger, FlangerParams{50, 0, -50, 1, 0, 2, 2});
  const auto f = Process(*flanger, Impulse(kRate / 10));
  const auto sum = [&](std::size_t from, std::size_t to) {
    double v = 0;
    for (std::size_t i = from; i < to; ++i) v += f[2 * i];
    return v;
  };
  EXPECT_NEAR(f[0], 0.5, 1e-6);
  EXPECT_NEAR(sum(80, 100), 0.5, 1e-5);  // 2 ms = 88.2 frames, spread over two
  EXPECT_NEAR(sum(170, 190), -0.25, 1e-5);
  EXPECT_NEAR(sum(1, 80), 0, 1e-9);
}

TEST(SoundEffects, ChorusSweepsItsDelay) {
  // With depth the echo of a click moves: clicks 100 ms apart come back at
  // different delays.
  auto chorus = With(EffectKind::Chorus, ChorusParams{100, 50, 0, 5, 0, 10, 2});
  std::vector<float> x(2 * kRate / 2, 0.0f);
  for (std::size_t k = 0; k < 5; ++k) x[2 * k * 4410] = 1;
  const auto y = Process(*chorus, x);
  std::vector<std::size_t> delays;
  for (std::size_t k = 0; k < 4; ++k) {
    std::size_t best = 0;
    for (std::size_t i = k * 4410; i < (k + 1) * 4410; ++i)
      if (std::fabs(y[2 * i]) > std::fabs(y[2 * best])) best = i;
    delays.push_back(best - k * 4410);
  }
  for (const std::size_t d : delays) {
    EXPECT_GE(d, 220u);
    EXPECT_LE(d, 662u);
  }
  EXPECT_NE(delays[0], delays[1]);
}

TEST(SoundEffects, ReverbDecaysOverItsTime) {
  // 60 dB in the reverb time: about 30 dB down half way.
  auto reverb = With(EffectKind::WavesReverb, ReverbParams{0, 0, 1000, 0.999f});
  const auto y = Process(*reverb, Impulse(kRate));
  const auto rms = [&](std::size_t from) {
    double e = 0;
    for (std::size_t i = from; i < from + 2205; ++i) e += double(y[2 * i]) * y[2 * i];
    return 10 * std::log10(e / 2205);
  };
  EXPECT_NEAR(rms(kRate / 10) - rms(kRate * 6 / 10), 30, 6);
}

TEST(SoundEffects, DistortionAndEnvironmentalReverbChangeTheSignal) {
  for (const EffectKind kind : {EffectKind::Distortion, EffectKind::EnvironmentalReverb}) {
    auto e = MakeEffect(kind, kRate);
    const auto x = Sine(440, kRate / 2, 0.8f);
    const auto y = Process(*e, x);
    double diff = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
      diff = std::max(diff, double(std::fabs(x[i] - y[i])));
    EXPECT_GT(diff, 0.05);
    EXPECT_LT(Peak(y, 0, kRate / 2), 2.0);
  }
}

TEST(SoundEffects, ChainOrderAndTwoEqualizerStages) {
  const auto kinds = [](int bits) {
    std::vector<EffectKind> k;
    for (const auto& e : BuildEffectChain(bits, kRate)) k.push_back(e->kind());
    return k;
  };
  using K = EffectKind;
  EXPECT_EQ(kinds(64), (std::vector<K>{K::Equalizer, K::Equalizer}));
  EXPECT_EQ(kinds(511),
            (std::vector<K>{K::Chorus, K::Echo, K::Flanger, K::Gargle, K::Equalizer, K::WavesReverb,
                            K::Compressor, K::Equalizer, K::Distortion, K::EnvironmentalReverb}));
  EXPECT_TRUE(kinds(0).empty());
}

TEST(SoundEffects, ParameterSetsOutOfRangeAreRefused) {
  EXPECT_FALSE(ParamsValid(EchoParams{50, 50, 3000, 500, 0}));
  EXPECT_FALSE(ParamsValid(ChorusParams{50, 10, 25, 1.1f, 2, 16, 3}));
  EXPECT_FALSE(ParamsValid(CompressorParams{0, 10, 10, -20, 3, 4}));
  EXPECT_FALSE(ParamsValid(EqualizerParams{8000, 12, NAN}));
  EXPECT_FALSE(ParamsValid(GargleParams{0, 0}));
  EXPECT_TRUE(ParamsValid(ReverbParams{-96, 0, 3000, 0.999f}));
}

// Through the functions: effects go on the sound's audio path, parameters
// reach the first stage of a kind, a refused set leaves the last one.
TEST(SoundEffects, FunctionsSetEffectsOnTheSoundsPath) {
  std::vector<float> click(kRate / 2, 0.0f);
  click[0] = 0.5f;
  const auto render =
      [&](std::initializer_list<std::pair<const char*, std::vector<double>>> calls) {
        pxtest::SoundRun s;
        const int snd = s.Add(0, pxtest::MakeWav(click));
        for (const auto& [name, args] : calls) {
          std::vector<RValue> values{pxtest::Real(snd)};
          for (const double a : args) values.push_back(pxtest::Real(a));
          pxtest::CallWith(s.run, name, values);
        }
        s.Call("sound_play", {double(snd)});
        s.Wait(0.5);
        const auto f = s.Frames();
        return std::vector<float>(f.begin(), f.end());
      };
  const auto echoed = render({{"sound_effect_set", {2}},
                              {"sound_effect_echo", {50, 0, 100, 100, 0}},
                              {"sound_effect_echo", {50, 0, 3000, 100, 0}}});  // refused
  EXPECT_NEAR(echoed[0], 0.25, 1e-3);
  EXPECT_NEAR(echoed[2 * 4410], 0.25, 1e-3);
  // Parameters for an effect the path does not carry change nothing.
  const auto plain = render({{"sound_effect_echo", {50, 0, 100, 100, 0}}});
  EXPECT_NEAR(plain[0], 0.5, 1e-3);
  EXPECT_EQ(plain[2 * 4410], 0);
  // Two equalizer stages; the parameters reach the first.
  std::vector<float> tone(kRate / 2);
  for (std::size_t i = 0; i < tone.size(); ++i)
    tone[i] = 0.1f * static_cast<float>(std::sin(2 * std::numbers::pi * 1000 * double(i) / kRate));
  pxtest::SoundRun s;
  const int snd = s.Add(0, pxtest::MakeWav(tone));
  s.Call("sound_effect_set", {double(snd), 64});
  s.Call("sound_effect_equalizer", {double(snd), 1000, 12, 12});
  s.Call("sound_play", {double(snd)});
  s.Wait(0.5);
  const auto f = s.Frames();
  const std::vector<float> out(f.begin(), f.end());
  EXPECT_NEAR(20 * std::log10(Peak(out, kRate / 4, kRate / 2 - 10) / 0.1), 12, 0.3);
}

}  // namespace
