// The effects' signal processing. Delay lines are rings of a power-of-two
// length; oscillators run on a phase in [0, 1).
#include "sound/Sound_Effects.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <numbers>

namespace px {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

float DbToGain(float db) {
  return std::pow(10.0f, db / 20.0f);
}

// Interleaved stereo delay line. read(ch, d) is the sample written d frames
// before the next write.
class StereoDelay {
 public:
  void init(int maxFrames) {
    const auto size = std::bit_ceil(static_cast<unsigned>(std::max(maxFrames, 1) + 2));
    buf_.assign(2 * size, 0.0f);
    mask_ = size - 1;
    pos_ = 0;
  }
  float read(int ch, unsigned d) const { return buf_[2 * ((pos_ - d) & mask_) + ch]; }
  // d from 1 up, with linear interpolation between frames.
  float readFrac(int ch, float d) const {
    const auto i = static_cast<unsigned>(d);
    const float f = d - static_cast<float>(i);
    const float a = read(ch, i), b = read(ch, i + 1);
    return a + (b - a) * f;
  }
  void write(float l, float r) {
    buf_[2 * pos_] = l;
    buf_[2 * pos_ + 1] = r;
    pos_ = (pos_ + 1) & mask_;
  }

 private:
  std::vector<float> buf_;
  unsigned mask_ = 0;
  unsigned pos_ = 0;
};

// A cheap sine for oscillators: sin(2 pi p) for p in [0, 1), within 0.001.
float FastSine(float p) {
  const float y = 1.0f - 2.0f * p;  // sin(2 pi p) = sin(pi y)
  const float s = 4.0f * y * (1.0f - std::fabs(y));
  return s * (0.775f + 0.225f * std::fabs(s));
}

float Wrap(float p) {
  return p >= 1.0f ? p - 1.0f : p;
}

// -1..1: triangle (0) or sine (1).
float Lfo(int waveform, float p) {
  return waveform == 0 ? 4.0f * std::fabs(p - 0.5f) - 1.0f : FastSine(p);
}

// Right channel's sweep offset for the phase codes 0..4 (-180 to 180 degrees).
float PhaseOffset(int code) {
  return static_cast<float>((code - 2 + 4) % 4) * 0.25f;
}

// Transposed direct form II biquad, one state per channel.
struct Biquad {
  float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  std::array<float, 2> z1{}, z2{};

  float run(int ch, float x) {
    const float y = b0 * x + z1[ch];
    z1[ch] = b1 * x - a1 * y + z2[ch];
    z2[ch] = b2 * x - a2 * y;
    return y;
  }
  void set(double nb0, double nb1, double nb2, double a0, double na1, double na2) {
    b0 = static_cast<float>(nb0 / a0), b1 = static_cast<float>(nb1 / a0);
    b2 = static_cast<float>(nb2 / a0);
    a1 = static_cast<float>(na1 / a0), a2 = static_cast<float>(na2 / a0);
  }
  // A peak of `gainDb` at f0 over `octaves`.
  void peaking(double rate, double f0, double octaves, double gainDb) {
    f0 = std::min(f0, rate * 0.45);
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w = 2 * std::numbers::pi * f0 / rate;
    const double alpha = std::sin(w) * std::sinh(std::log(2.0) / 2 * octaves * w / std::sin(w));
    const double c = std::cos(w);
    set(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a);
  }
  // A band pass of 0 dB at f0 with the given width in hertz.
  void bandPass(double rate, double f0, double width) {
    f0 = std::min(f0, rate * 0.45);
    const double w = 2 * std::numbers::pi * f0 / rate;
    const double alpha = std::sin(w) / (2 * std::max(f0 / width, 0.1));
    const double c = std::cos(w);
    set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
  }
};

// Chorus and flanger: each channel's input, delayed by a time swept by the
// oscillator around the base delay, is mixed with the dry input and fed back.
class SweptDelay final : public Effect {
 public:
  SweptDelay(EffectKind kind, int rate, float maxDelayMs) : kind_(kind), rate_(rate) {
    line_.init(static_cast<int>(2 * maxDelayMs * rate / 1000) + 4);
  }
  EffectKind kind() const override { return kind_; }
  void configure(float wetDry, float depth, float feedback, float frequency, int waveform,
                 float delayMs, int phase) {
    wet_ = wetDry / 100, depth_ = depth / 100, feedback_ = feedback / 100;
    step_ = frequency / static_cast<float>(rate_);
    waveform_ = waveform;
    base_ = delayMs * static_cast<float>(rate_) / 1000;
    offset_ = PhaseOffset(phase);
  }
  void setParams(const EffectParams& params) override {
    if (const auto* c = std::get_if<ChorusParams>(&params))
      configure(c->wetDryMix, c->depth, c->feedback, c->frequency, c->waveform, c->delay, c->phase);
    else if (const auto* f = std::get_if<FlangerParams>(&params))
      configure(f->wetDryMix, f->depth, f->feedback, f->frequency, f->waveform, f->delay, f->phase);
  }
  void process(float* x, int n) override {
    const float dry = 1 - wet_;
    for (int i = 0; i < n; ++i, x += 2) {
      const float pr = Wrap(phase_ + offset_);
      const float dl = std::max(1.0f, base_ * (1 + depth_ * Lfo(waveform_, phase_)));
      const float dr = std::max(1.0f, base_ * (1 + depth_ * Lfo(waveform_, pr)));
      const float yl = line_.readFrac(0, dl), yr = line_.readFrac(1, dr);
      line_.write(x[0] + feedback_ * yl, x[1] + feedback_ * yr);
      x[0] = dry * x[0] + wet_ * yl;
      x[1] = dry * x[1] + wet_ * yr;
      phase_ = Wrap(phase_ + step_);
    }
  }

 private:
  EffectKind kind_;
  int rate_;
  StereoDelay line_;
  float wet_ = 0.5f, depth_ = 0, feedback_ = 0, step_ = 0, base_ = 1, offset_ = 0;
  float phase_ = 0;
  int waveform_ = 1;
};

class Echo final : public Effect {
 public:
  explicit Echo(int rate) : rate_(rate) {
    line_.init(2000 * rate / 1000 + 2);
    setParams(EchoParams{});
  }
  EffectKind kind() const override { return EffectKind::Echo; }
  void setParams(const EffectParams& params) override {
    const auto& p = std::get<EchoParams>(params);
    wet_ = p.wetDryMix / 100, feedback_ = p.feedback / 100;
    left_ = Frames(p.leftDelay), right_ = Frames(p.rightDelay);
    swap_ = p.panDelay != 0;
  }
  void process(float* x, int n) override {
    const float dry = 1 - wet_;
    for (int i = 0; i < n; ++i, x += 2) {
      const float yl = line_.read(0, left_), yr = line_.read(1, right_);
      // With the pan delay each echo comes back on the other side.
      const float fl = swap_ ? yr : yl, fr = swap_ ? yl : yr;
      line_.write(x[0] + feedback_ * fl, x[1] + feedback_ * fr);
      x[0] = dry * x[0] + wet_ * yl;
      x[1] = dry * x[1] + wet_ * yr;
    }
  }

 private:
  unsigned Frames(float ms) const {
    return static_cast<unsigned>(std::max(1.0f, std::round(ms * static_cast<float>(rate_) / 1000)));
  }
  int rate_;
  StereoDelay line_;
  float wet_ = 0.5f, feedback_ = 0.5f;
  unsigned left_ = 1, right_ = 1;
  bool swap_ = false;
};

// Amplitude modulation by a triangle (0 → 1 → 0) or a square (1 then 0).
class Gargle final : public Effect {
 public:
  explicit Gargle(int rate) : rate_(rate) { setParams(GargleParams{}); }
  EffectKind kind() const override { return EffectKind::Gargle; }
  void setParams(const EffectParams& params) override {
    const auto& p = std::get<GargleParams>(params);
    step_ = static_cast<float>(p.rate) / static_cast<float>(rate_);
    square_ = p.waveShape == 1;
  }
  void process(float* x, int n) override {
    for (int i = 0; i < n; ++i, x += 2) {
      const float m = square_ ? (phase_ < 0.5f ? 1.0f : 0.0f) : 1 - std::fabs(2 * phase_ - 1);
      x[0] *= m, x[1] *= m;
      phase_ = Wrap(phase_ + step_);
    }
  }

 private:
  int rate_;
  float step_ = 0, phase_ = 0;
  bool square_ = false;
};

class Equalizer final : public Effect {
 public:
  explicit Equalizer(int rate) : rate_(rate) { setParams(EqualizerParams{}); }
  EffectKind kind() const override { return EffectKind::Equalizer; }
  void setParams(const EffectParams& params) override {
    const auto& p = std::get<EqualizerParams>(params);
    filter_.peaking(rate_, p.center, p.bandwidth / 12.0, p.gain);
  }
  void process(float* x, int n) override {
    for (int i = 0; i < n; ++i, x += 2) x[0] = filter_.run(0, x[0]), x[1] = filter_.run(1, x[1]);
  }

 private:
  int rate_;
  Biquad filter_;
};

// A peak-following compressor: above the threshold the level grows by
// 1/ratio; the signal is delayed by the predelay so the gain can act ahead.
class Compressor final : public Effect {
 public:
  explicit Compressor(int rate) : rate_(rate) {
    line_.init(4 * rate / 1000 + 2);
    setParams(CompressorParams{});
  }
  EffectKind kind() const override { return EffectKind::Compressor; }
  void setParams(const EffectParams& params) override {
    const auto& p = std::get<CompressorParams>(params);
    const auto coefficient = [&](float ms) {
      return std::exp(-1000.0f / (ms * static_cast<float>(rate_)));
    };
    attack_ = coefficient(p.attack), release_ = coefficient(p.release);
    thresholdDb_ = p.threshold, threshold_ = DbToGain(p.threshold);
    slope_ = 1 - 1 / p.ratio;
    makeup_ = p.gain;
    makeupGain_ = DbToGain(p.gain);
    delay_ = static_cast<unsigned>(std::round(p.predelay * static_cast<float>(rate_) / 1000));
  }
  void process(float* x, int n) override {
    for (int i = 0; i < n; ++i, x += 2) {
      const float level = std::max(std::fabs(x[0]), std::fabs(x[1]));
      const float c = level > env_ ? attack_ : release_;
      env_ = c * env_ + (1 - c) * level;
      float gain = makeupGain_;
      if (env_ > threshold_)
        gain = DbToGain(makeup_ - slope_ * (20 * std::log10(env_) - thresholdDb_));
      float l = x[0], r = x[1];
      if (delay_ > 0) {
        line_.write(l, r);
        l = line_.read(0, delay_ + 1), r = line_.read(1, delay_ + 1);
      }
      x[0] = l * gain, x[1] = r * gain;
    }
  }

 private:
  int rate_;
  StereoDelay line_;
  float attack_ = 0, release_ = 0, threshold_ = 1, thresholdDb_ = 0, slope_ = 0;
  float makeup_ = 0, makeupGain_ = 1, env_ = 0;
  unsigned delay_ = 0;
};

// Late reverberation: four damped combs in parallel and two all-passes in
// series per channel, the comb gains set for a decay time.
class ReverbCore {
 public:
  void init(int rate) {
    rate_ = rate;
    static constexpr float kCombMs[4] = {29.7f, 37.1f, 41.1f, 43.7f};
    static constexpr float kPassMs[2] = {5.0f, 1.7f};
    for (int ch = 0; ch < 2; ++ch) {
      for (int k = 0; k < 4; ++k) combs_[ch][k].init(Frames(kCombMs[k] + 0.5f * ch));
      for (int k = 0; k < 2; ++k) passes_[ch][k].init(Frames(kPassMs[k] + 0.3f * ch));
    }
  }
  // decay: seconds to fall by 60 dB; hfRatio: the high frequencies' share.
  void setDecay(float seconds, float hfRatio) {
    for (auto& channel : combs_)
      for (Line& c : channel) {
        const float t = static_cast<float>(c.buf.size()) / static_cast<float>(rate_);
        c.gain = std::pow(10.0f, -3 * t / std::max(seconds, 1e-6f));
        const float hf = std::pow(10.0f, -3 * t / std::max(seconds * hfRatio, 1e-6f));
        c.damp = std::clamp(1 - hf / std::max(c.gain, 1e-6f), 0.0f, 0.95f);
      }
  }
  float run(int ch, float x) {
    float sum = 0;
    for (Line& c : combs_[ch]) {
      const float y = c.buf[c.pos];
      c.filter = y * (1 - c.damp) + c.filter * c.damp;
      c.buf[c.pos] = x + c.gain * c.filter;
      c.pos = c.pos + 1 == c.buf.size() ? 0 : c.pos + 1;
      sum += y;
    }
    float y = sum * 0.25f;
    for (Line& a : passes_[ch]) {
      const float d = a.buf[a.pos];
      const float v = y + 0.7f * d;
      a.buf[a.pos] = v;
      a.pos = a.pos + 1 == a.buf.size() ? 0 : a.pos + 1;
      y = d - 0.7f * v;
    }
    return y;
  }

 private:
  struct Line {
    std::vector<float> buf;
    std::size_t pos = 0;
    float gain = 0, damp = 0, filter = 0;
    void init(int n) { buf.assign(static_cast<std::size_t>(n), 0.0f); }
  };
  int Frames(float ms) const {
    return std::max(1, static_cast<int>(ms * static_cast<float>(rate_) / 1000));
  }
  int rate_ = 44100;
  std::array<std::array<Line, 4>, 2> combs_;
  std::array<std::array<Line, 2>, 2> passes_;
};

class WavesReverb final : public Effect {
 public:
  explicit WavesReverb(int rate) {
    core_.init(rate);
    setParams(ReverbParams{});
  }
  EffectKind kind() const override { return EffectKind::WavesReverb; }
  void setParams(const EffectParams& params) override {
    const auto& p = std::get<ReverbParams>(params);
    in_ = DbToGain(p.inGain), mix_ = DbToGain(p.reverbMix);
    core_.setDecay(p.reverbTime / 1000, p.highFreqRatio);
  }
  void process(float* x, int n) override {
    for (int i = 0; i < n; ++i, x += 2)
      for (int ch = 0; ch < 2; ++ch) {
        const float v = x[ch] * in_;
        x[ch] = v + mix_ * core_.run(ch, v);
      }
  }

 private:
  ReverbCore core_;
  float in_ = 1, mix_ = 1;
};

// Low pass, soft clipping driven by the edge, a band of the clipped signal
// added back, the whole scaled by the gain.
class Distortion final : public Effect {
 public:
  explicit Distortion(int rate) {
    const DistortionParams p;
    gain_ = DbToGain(p.gain);
    drive_ = 1 + p.edge / 2;
    const float w = 2 * kPi * p.preLowpassCutoff / static_cast<float>(rate);
    lowpass_ = std::clamp(w / (w + 1), 0.0f, 1.0f);
    band_.bandPass(rate, p.postEqCenter, p.postEqBandwidth);
  }
  EffectKind kind() const override { return EffectKind::Distortion; }
  void process(float* x, int n) override {
    for (int i = 0; i < n; ++i, x += 2)
      for (int ch = 0; ch < 2; ++ch) {
        state_[ch] += lowpass_ * (x[ch] - state_[ch]);
        const float d = drive_ * state_[ch];
        const float shaped = d / (1 + std::fabs(d));
        x[ch] = gain_ * (shaped + band_.run(ch, shaped));
      }
  }

 private:
  float gain_, drive_, lowpass_;
  std::array<float, 2> state_{};
  Biquad band_;
};

// The environmental reverb with its default room: the dry signal, early
// reflections after their delay and late reverberation after its own, both
// scaled by the room level.
class EnvironmentalReverb final : public Effect {
 public:
  explicit EnvironmentalReverb(int rate) {
    const EnvironmentalReverbParams p;
    const auto mb = [](int v) { return std::pow(10.0f, static_cast<float>(v) / 2000); };
    room_ = mb(p.room), reflections_ = mb(p.reflections), late_ = mb(p.reverb);
    reflectionDelay_ =
        std::max(1u, static_cast<unsigned>(p.reflectionsDelay * static_cast<float>(rate)));
    lateDelay_ = reflectionDelay_ + static_cast<unsigned>(p.reverbDelay * static_cast<float>(rate));
    line_.init(static_cast<int>(lateDelay_) + 2);
    core_.init(rate);
    core_.setDecay(p.decayTime, p.decayHFRatio);
  }
  EffectKind kind() const override { return EffectKind::EnvironmentalReverb; }
  void process(float* x, int n) override {
    for (int i = 0; i < n; ++i, x += 2) {
      line_.write(x[0], x[1]);
      for (int ch = 0; ch < 2; ++ch) {
        const float early = line_.read(ch, reflectionDelay_ + 1);
        const float late = core_.run(ch, line_.read(ch, lateDelay_ + 1));
        x[ch] += room_ * (reflections_ * early + late_ * late);
      }
    }
  }

 private:
  float room_, reflections_, late_;
  unsigned reflectionDelay_, lateDelay_;
  StereoDelay line_;
  ReverbCore core_;
};

}  // namespace

std::unique_ptr<Effect> MakeEffect(EffectKind kind, int rate) {
  switch (kind) {
    case EffectKind::Chorus: {
      auto e = std::make_unique<SweptDelay>(kind, rate, 20.0f);
      e->setParams(ChorusParams{});
      return e;
    }
    case EffectKind::Flanger: {
      auto e = std::make_unique<SweptDelay>(kind, rate, 4.0f);
      e->setParams(FlangerParams{});
      return e;
    }
    case EffectKind::Echo:
      return std::make_unique<Echo>(rate);
    case EffectKind::Gargle:
      return std::make_unique<Gargle>(rate);
    case EffectKind::Equalizer:
      return std::make_unique<Equalizer>(rate);
    case EffectKind::WavesReverb:
      return std::make_unique<WavesReverb>(rate);
    case EffectKind::Compressor:
      return std::make_unique<Compressor>(rate);
    case EffectKind::Distortion:
      return std::make_unique<Distortion>(rate);
    case EffectKind::EnvironmentalReverb:
      return std::make_unique<EnvironmentalReverb>(rate);
  }
  return nullptr;
}

EffectChain BuildEffectChain(int bits, int rate) {
  static constexpr std::pair<int, EffectKind> kOrder[] = {
      {kEffectChorus, EffectKind::Chorus},
      {kEffectEcho, EffectKind::Echo},
      {kEffectFlanger, EffectKind::Flanger},
      {kEffectGargle, EffectKind::Gargle},
      {kEffectEqualizer, EffectKind::Equalizer},
      {kEffectReverb, EffectKind::WavesReverb},
      {kEffectCompressor, EffectKind::Compressor},
      {kEffectEqualizer, EffectKind::Equalizer},
      {kEffectDistortion, EffectKind::Distortion},
      {kEffectEnvironmental, EffectKind::EnvironmentalReverb},
  };
  EffectChain chain;
  for (const auto& [bit, kind] : kOrder)
    if (bits & bit) chain.push_back(MakeEffect(kind, rate));
  return chain;
}

}  // namespace px
