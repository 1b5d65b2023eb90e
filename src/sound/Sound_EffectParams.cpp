#include "sound/Sound_EffectParams.h"

namespace px {
namespace {

bool In(float v, float lo, float hi) {
  return v >= lo && v <= hi;  // NaN is refused too
}
bool InInt(int v, int lo, int hi) {
  return v >= lo && v <= hi;
}

struct Validate {
  bool operator()(const ChorusParams& p) const {
    return In(p.wetDryMix, 0, 100) && In(p.depth, 0, 100) && In(p.feedback, -99, 99) &&
           In(p.frequency, 0, 10) && InInt(p.waveform, 0, 1) && In(p.delay, 0, 20) &&
           InInt(p.phase, 0, 4);
  }
  bool operator()(const EchoParams& p) const {
    return In(p.wetDryMix, 0, 100) && In(p.feedback, 0, 100) && In(p.leftDelay, 1, 2000) &&
           In(p.rightDelay, 1, 2000) && InInt(p.panDelay, 0, 1);
  }
  bool operator()(const FlangerParams& p) const {
    return In(p.wetDryMix, 0, 100) && In(p.depth, 0, 100) && In(p.feedback, -99, 99) &&
           In(p.frequency, 0, 10) && InInt(p.waveform, 0, 1) && In(p.delay, 0, 4) &&
           InInt(p.phase, 0, 4);
  }
  bool operator()(const GargleParams& p) const {
    return InInt(p.rate, 1, 1000) && InInt(p.waveShape, 0, 1);
  }
  bool operator()(const ReverbParams& p) const {
    return In(p.inGain, -96, 0) && In(p.reverbMix, -96, 0) && In(p.reverbTime, 0.001f, 3000) &&
           In(p.highFreqRatio, 0.001f, 0.999f);
  }
  bool operator()(const CompressorParams& p) const {
    return In(p.gain, -60, 60) && In(p.attack, 0.01f, 500) && In(p.release, 50, 3000) &&
           In(p.threshold, -60, 0) && In(p.ratio, 1, 100) && In(p.predelay, 0, 4);
  }
  bool operator()(const EqualizerParams& p) const {
    return In(p.center, 80, 16000) && In(p.bandwidth, 1, 36) && In(p.gain, -15, 15);
  }
};

struct Kind {
  EffectKind operator()(const ChorusParams&) const { return EffectKind::Chorus; }
  EffectKind operator()(const EchoParams&) const { return EffectKind::Echo; }
  EffectKind operator()(const FlangerParams&) const { return EffectKind::Flanger; }
  EffectKind operator()(const GargleParams&) const { return EffectKind::Gargle; }
  EffectKind operator()(const ReverbParams&) const { return EffectKind::WavesReverb; }
  EffectKind operator()(const CompressorParams&) const { return EffectKind::Compressor; }
  EffectKind operator()(const EqualizerParams&) const { return EffectKind::Equalizer; }
};

}  // namespace

bool ParamsValid(const EffectParams& params) {
  return std::visit(Validate{}, params);
}

EffectKind KindOf(const EffectParams& params) {
  return std::visit(Kind{}, params);
}

}  // namespace px
