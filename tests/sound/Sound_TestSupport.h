// Helpers for the sound tests: sound files made in memory (16-bit waves, a
// one-note MIDI file) and a headless run whose mixer output is kept.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "code/Function_TestSupport.h"
#include "platform/Platform_Audio.h"
#include "resources/Sound_Class.h"
#include "run/Runner_Sound.h"
#include "run/Runtime.h"

namespace pxtest {

inline void PutLE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A 16-bit PCM wave of interleaved samples in -1..1.
inline std::vector<std::uint8_t> MakeWav(const std::vector<float>& samples, int channels = 1,
                                         int rate = px::kAudioRate) {
  std::vector<std::uint8_t> out;
  const auto data = static_cast<std::uint32_t>(samples.size() * 2);
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  PutLE(out, 36 + data, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);
  PutLE(out, static_cast<std::uint32_t>(channels), 2);
  PutLE(out, static_cast<std::uint32_t>(rate), 4);
  PutLE(out, static_cast<std::uint32_t>(rate * channels * 2), 4);
  PutLE(out, static_cast<std::uint32_t>(channels * 2), 2);
  PutLE(out, 16, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  PutLE(out, data, 4);
  for (const float s : samples)
    PutLE(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(std::lround(s * 32767.0f))), 2);
  return out;
}

// A mono wave holding one level for `seconds`.
inline std::vector<std::uint8_t> ConstantWav(float level, double seconds) {
  return MakeWav(std::vector<float>(static_cast<std::size_t>(seconds * px::kAudioRate), level));
}

// A MIDI file of one track: piano middle C held for half a second.
inline std::vector<std::uint8_t> OneNoteMidi() {
  return {'M',  'T',  'h',  'd', 0, 0, 0, 6,  0, 0, 0, 1, 0, 96,  // format 0, 96 ticks a beat
          'M',  'T',  'r',  'k', 0, 0, 0, 12,                     //
          0x00, 0x90, 60,   100,                                  // note on
          0x60, 0x80, 60,   0,                                    // a beat later: note off
          0x00, 0xFF, 0x2F, 0x00};                                // end of track
}

// A headless run with the sound system open and the null sink keeping
// every frame it renders.
struct SoundRun {
  TestRun run;
  px::Runtime& rt = run.rt;

  SoundRun() {
    px::EnsureSoundOpen(rt);
    rt.sound.engine.device()->keepFrames(true);
  }

  // Adds a sound resource holding `bytes`, not prepared yet.
  int Add(int kind, std::vector<std::uint8_t> bytes, std::string type = ".wav") {
    px::CSound snd;
    snd.kind = kind;
    snd.file_type = std::move(type);
    snd.data = std::move(bytes);
    return rt.resources.sounds.add("snd" + std::to_string(rt.resources.sounds.count()),
                                   std::move(snd));
  }

  void Wait(double seconds) { run.platform->waitMicros(static_cast<std::int64_t>(seconds * 1e6)); }

  // Everything rendered so far (interleaved stereo).
  std::span<const float> Frames() {
    rt.sound.engine.Sync();
    return rt.sound.engine.device()->keptFrames();
  }
  float Left(double seconds) { return Frames()[2 * Index(seconds)]; }
  float Right(double seconds) { return Frames()[2 * Index(seconds) + 1]; }
  static std::size_t Index(double seconds) {
    return static_cast<std::size_t>(std::llround(seconds * px::kAudioRate));
  }

  double Call(std::string_view name, std::initializer_list<double> args) {
    return CallReal(run, name, args);
  }
};

}  // namespace pxtest
