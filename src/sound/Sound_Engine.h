// The sample table and the playback engine behind the sound functions: one
// entry per loaded sound, played either by the mixer's engine (waves and
// MIDI, on an audio path of the entry's own) or by the one media player
// (everything else). Every call comes from the game's thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform_Audio.h"
#include "sound/Sound_Decode.h"
#include "sound/Sound_EffectParams.h"
#include "sound/Sound_Midi.h"
#include "sound/Sound_Mixer.h"

namespace px {

class Platform;

inline constexpr int kSoundNormal = 0;
inline constexpr int kSoundBackground = 1;
inline constexpr int kSound3D = 2;
inline constexpr int kSoundMultimedia = 3;

inline constexpr const char* kMsgNoSoundDevice = "No sound device detected. Sounds might not play.";
inline constexpr const char* kMsgFileNameTooLong = "Music file name too long for player.";

// A file as a media player holds it: decoded frames or a MIDI file, or
// neither when the file cannot be read.
struct MediaClip {
  std::shared_ptr<const Pcm> pcm;
  MidiBytes midi;
  bool playable() const { return pcm || midi; }
  // In whole milliseconds, rounded; 0 for MIDI, whose length is not known
  // before it is played.
  std::int64_t lengthMs() const;
};
// Any sample format, MPEG audio or MIDI.
MediaClip ReadMediaFile(const std::string& path);

struct RSoundSample {
  bool exists = false;
  int kind = kSoundNormal;
  // Engine samples: the decoded frames, or the MIDI file.
  std::shared_ptr<const Pcm> pcm;
  MidiBytes midi;
  // How many voices play on the sample's audio path, as the mixer counts.
  std::shared_ptr<std::atomic<int>> voices;
  Sound3D s3d;
  // Multimedia samples: the file, and what the player made of it.
  std::string file_name;
  bool mediaOpened = false;
  MediaClip media;
  // The last play or stop sent and whether it started the sample.
  std::uint64_t lastSeq = 0;
  bool lastPlaying = false;
};

class SoundSystem {
 public:
  SoundSystem();
  ~SoundSystem();
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;

  // Opens the audio output and the engine. Without a sound device the
  // message is shown, the engine stays closed (every sample becomes a
  // multimedia one) and the result is false; the game goes on.
  bool Open(Platform& platform, std::string_view caption, bool wait);
  void Close();
  bool opened() const { return mixer_ != nullptr; }
  bool engine() const { return engine_; }

  int NewSample(int kind);
  int LoadSampleFromMemory(std::span<const std::uint8_t> bytes, int kind);
  int LoadSampleFromFile(const std::string& path, int kind);
  void FreeSample(int index);
  void PlaySample(int index, bool loop);
  void StopSample(int index);
  bool SampleIsPlaying(int index);
  void StopAllSamples();
  void SetSampleVolume(int index, double value, int timeMs);
  void SetSamplePan(int index, double value);
  void SetSampleEffects(int index, int bits);
  void SetEffectParams(int index, const EffectParams& params);
  void Set3DPosition(int index, double x, double y, double z);
  void Set3DVelocity(int index, double x, double y, double z);
  void Set3DDistance(int index, double minDistance, double maxDistance);
  void Set3DCone(int index, double x, double y, double z, double insideAngle, double outsideAngle,
                 double outsideVolume);
  void SetMasterVolume(double value);
  void SetMasterTempo(double value);
  void SetSearchDirectory(std::string dir) { searchDirectory_ = std::move(dir); }
  const std::string& searchDirectory() const { return searchDirectory_; }

  // The media players 1 .. kMediaPlayers - 1, which command strings drive
  // (player 0 is the multimedia sounds'). A player plays from `startMs` to
  // `endMs` (-1: the end), and with `repeat` rewinds to `loopMs` there.
  struct PlayRange {
    std::int64_t startMs = 0;
    std::int64_t loopMs = 0;
    std::int64_t endMs = -1;
    bool repeat = false;
  };
  void PlayerPlay(int player, const MediaClip& clip, const PlayRange& range);
  // Stops where it is; closing stops and goes back to the start.
  void PlayerStop(int player);
  void PlayerClose(int player);
  void PlayerPause(int player, bool paused);
  MediaMode PlayerMode(int player);
  std::int64_t PlayerPositionMs(int player);

  const RSoundSample* sample(int index) const;
  // The audio output (null before opening), e.g. to read what the null
  // sink rendered.
  AudioDevice* device() { return device_.get(); }
  // Renders what the clock has made due (null sink).
  void Sync();

 private:
  RSoundSample* Engine(int index);
  bool DecodeInto(RSoundSample& s, std::span<const std::uint8_t> bytes);
  void OpenMedia(RSoundSample& s);
  void MakeMultimedia(int index);

  Platform* platform_ = nullptr;
  std::string caption_;
  std::vector<RSoundSample> samples_;
  std::string searchDirectory_;
  bool engine_ = false;
  std::unique_ptr<MidiSynth> midi_;
  std::unique_ptr<Mixer> mixer_;
  std::unique_ptr<AudioDevice> device_;
  // The media player of the multimedia sounds: the file it holds and the
  // last command sent to it.
  std::string playerFile_;
  std::uint64_t playerSeq_ = 0;
  bool playerPlaying_ = false;
  // The command-string players: what the last command sent to each should
  // have made of it, until the mixer has taken that command.
  struct PlayerExpect {
    std::uint64_t seq = 0;
    MediaMode mode = MediaMode::Stopped;
    std::int64_t frame = 0;
  };
  std::array<PlayerExpect, kMediaPlayers> players_{};
  PlayerExpect* Player(int player);
};

}  // namespace px
