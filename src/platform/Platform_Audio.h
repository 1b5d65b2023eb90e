// The audio output: a device that pulls stereo frames from one source. A
// desktop back end opens the sound card through SDL2 and pulls from its own
// thread; the null sink pulls on demand, paced by the platform's clock, so
// a headless run renders the same frames every time.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace px {

class Platform;

// Frames are interleaved stereo floats (left, right) at the device's rate.
class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Fills `frames` frames of out; may be called with 0 frames to take in
  // pending commands only. Runs on the device's thread.
  virtual void render(float* out, int frames) = 0;
};

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  virtual int sampleRate() const = 0;
  // Whether a sound card plays the frames (false for the null sink).
  virtual bool audible() const = 0;
  // Renders the frames due by the clock's present time (null sink); a
  // device with its own thread does nothing.
  virtual void pump() = 0;
  // The null sink keeps every frame rendered while keeping is on, so tests
  // can read them; other devices keep nothing.
  virtual void keepFrames(bool) {}
  virtual std::span<const float> keptFrames() const { return {}; }
  virtual void clearKeptFrames() {}
};

inline constexpr int kAudioRate = 44100;

// The null sink: renders into nothing as the clock moves, from the moment
// it is opened.
std::unique_ptr<AudioDevice> CreateNullAudioDevice(Platform& clock, AudioSource& source);

}  // namespace px
