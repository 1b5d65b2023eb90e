// MIDI synthesis with FluidSynth and the General MIDI SoundFont. The
// SoundFont is loaded once, when the first MIDI sound plays, and shared by
// every MIDI voice; each voice has a synthesizer and a player of its own so
// that its channels and programs stay apart from the others'.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;
struct _fluid_sfont_t;

namespace px {

using MidiBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// One MIDI file being played: rendered on demand, with the player's clock
// driven by the frames rendered, so the same file gives the same frames.
class MidiRenderer {
 public:
  ~MidiRenderer();
  MidiRenderer(const MidiRenderer&) = delete;
  MidiRenderer& operator=(const MidiRenderer&) = delete;
  // Writes n interleaved stereo frames; false once the file has ended and
  // its last notes have died away.
  bool render(float* out, int n);
  // Tempo factor over the file's own tempo.
  void setTempo(double factor);

 private:
  friend class MidiSynth;
  MidiRenderer() = default;
  _fluid_hashtable_t* settings_ = nullptr;
  _fluid_synth_t* synth_ = nullptr;
  _fluid_player_t* player_ = nullptr;
  _fluid_sfont_t* sfont_ = nullptr;
  MidiBytes file_;
  int tail_ = 0;  // frames still rendered after the player finished
};

class MidiSynth {
 public:
  explicit MidiSynth(std::string soundFont = DefaultSoundFont());
  ~MidiSynth();
  MidiSynth(const MidiSynth&) = delete;
  MidiSynth& operator=(const MidiSynth&) = delete;

  static std::string DefaultSoundFont();
  // Starts playing the file; null when the SoundFont or the file cannot be
  // loaded.
  std::unique_ptr<MidiRenderer> start(const MidiBytes& file, bool loop, double tempo, int rate);

 private:
  bool load(int rate);
  std::string path_;
  bool tried_ = false;
  _fluid_hashtable_t* settings_ = nullptr;
  _fluid_synth_t* owner_ = nullptr;  // holds the SoundFont
  _fluid_sfont_t* sfont_ = nullptr;
};

}  // namespace px
