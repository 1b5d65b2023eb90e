// The effects a sound's audio path can carry, their bits, parameter records
// with their defaults, and the ranges a parameter set must keep to be taken.
// Times are milliseconds, levels decibels, rates hertz, mixes percent.
#pragma once

#include <cstdint>
#include <variant>

namespace px {

enum class EffectKind : std::uint8_t {
  Chorus,
  Echo,
  Flanger,
  Gargle,
  Equalizer,
  WavesReverb,
  Compressor,
  Distortion,
  EnvironmentalReverb,
};

// The bits of a sound's effect set.
inline constexpr int kEffectChorus = 1;
inline constexpr int kEffectEcho = 2;
inline constexpr int kEffectFlanger = 4;
inline constexpr int kEffectGargle = 8;
inline constexpr int kEffectReverb = 16;
inline constexpr int kEffectCompressor = 32;
inline constexpr int kEffectEqualizer = 64;
inline constexpr int kEffectDistortion = 128;
inline constexpr int kEffectEnvironmental = 256;

struct ChorusParams {
  float wetDryMix = 50;    // 0..100
  float depth = 10;        // 0..100, percent of the delay swept
  float feedback = 25;     // -99..99
  float frequency = 1.1f;  // 0..10
  int waveform = 1;        // 0 triangle, 1 sine
  float delay = 16;        // 0..20
  int phase = 3;           // 0..4: right channel's sweep -180, -90, 0, 90, 180 degrees
};

struct EchoParams {
  float wetDryMix = 50;    // 0..100
  float feedback = 50;     // 0..100
  float leftDelay = 500;   // 1..2000
  float rightDelay = 500;  // 1..2000
  int panDelay = 0;        // 1: the echoes swap sides
};

struct FlangerParams {
  float wetDryMix = 50;
  float depth = 100;
  float feedback = -50;
  float frequency = 0.25f;
  int waveform = 1;
  float delay = 2;  // 0..4
  int phase = 2;
};

struct GargleParams {
  int rate = 20;      // 1..1000
  int waveShape = 0;  // 0 triangle, 1 square
};

struct ReverbParams {
  float inGain = 0;              // -96..0
  float reverbMix = 0;           // -96..0
  float reverbTime = 1000;       // 0.001..3000
  float highFreqRatio = 0.001f;  // 0.001..0.999
};

struct CompressorParams {
  float gain = 0;         // -60..60, make-up gain
  float attack = 10;      // 0.01..500
  float release = 200;    // 50..3000
  float threshold = -20;  // -60..0
  float ratio = 3;        // 1..100
  float predelay = 4;     // 0..4, look-ahead
};

struct EqualizerParams {
  float center = 8000;   // 80..16000
  float bandwidth = 12;  // 1..36 semitones
  float gain = 0;        // -15..15
};

struct DistortionParams {
  float gain = -18;               // -60..0
  float edge = 15;                // 0..100
  float postEqCenter = 2400;      // 100..8000
  float postEqBandwidth = 2400;   // 100..8000
  float preLowpassCutoff = 8000;  // 100..8000
};

// The environmental reverb; levels in hundredths of a decibel, times in
// seconds. The defaults are the "default" room.
struct EnvironmentalReverbParams {
  int room = -1000;
  int roomHF = -100;
  float decayTime = 1.49f;
  float decayHFRatio = 0.83f;
  int reflections = -2602;
  float reflectionsDelay = 0.007f;
  int reverb = 200;
  float reverbDelay = 0.011f;
};

using EffectParams = std::variant<ChorusParams, EchoParams, FlangerParams, GargleParams,
                                  ReverbParams, CompressorParams, EqualizerParams>;

// Whether every parameter lies in its range; a set that does not is
// refused whole.
bool ParamsValid(const EffectParams& params);
EffectKind KindOf(const EffectParams& params);

}  // namespace px
