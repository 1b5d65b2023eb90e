// The mixer: what the audio device pulls from. Each engine sample has an
// audio path here (a bus): its voices are summed, pass the path's effects,
// then its volume, pan and 3D position, and go to the master bus, which has
// the master volume. Background music is the one primary voice; multimedia
// sounds go through the one media player, outside the master volume.
//
// The game thread never waits on mixing: it queues commands (a short lock
// to append), and the device's thread takes the whole queue at the start of
// each render. What the game reads back (whether a sample plays) comes from
// atomics the mixing thread updates, corrected for commands not yet taken.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <variant>
#include <vector>

#include "platform/Platform_Audio.h"
#include "sound/Sound_Decode.h"
#include "sound/Sound_Effects.h"
#include "sound/Sound_Midi.h"

namespace px {

// What a voice plays: decoded frames, or a MIDI file with its renderer.
struct VoiceSource {
  std::shared_ptr<const Pcm> pcm;
  std::unique_ptr<MidiRenderer> midi;
};

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

// The 3D state of a bus, with the listener at the origin facing +z.
struct Sound3D {
  Vec3 position;
  Vec3 velocity;
  float minDistance = 1;
  float maxDistance = 1e9f;
  Vec3 coneOrientation{0, 0, 1};
  int insideAngle = 360;
  int outsideAngle = 360;
  int outsideVolume = 0;  // hundredths of a decibel
};

// The media players: player 0 plays the multimedia sounds, the others the
// devices that command strings open.
inline constexpr int kMediaPlayers = 9;
enum class MediaMode { Stopped, Playing, Paused };

namespace mix {
struct CreateBus {
  int bus;
  bool is3D;
  std::shared_ptr<std::atomic<int>> voices;
};
struct FreeBus {
  int bus;
};
struct Play {
  int bus;
  VoiceSource source;
  bool loop;
  bool primary;
};
struct Stop {
  int bus;
};
struct StopAll {};
struct Volume {
  int bus;
  int millibels;
  int fadeMs;
};
struct Pan {
  int bus;
  int value;
};
struct Effects {
  int bus;
  EffectChain chain;
};
struct Params {
  int bus;
  EffectParams params;
};
struct Set3D {
  int bus;
  Sound3D state;
};
struct MasterVolume {
  int millibels;
};
struct MasterTempo {
  float factor;
};
// Plays on a media player from frame `start` up to frame `to` (-1: the
// end of the source); a looping one rewinds to `from` on reaching `to`,
// playing silence past the source's end. A MIDI source plays from its
// start to its end and loops by itself. Without a source the player stops
// at `start`.
struct MediaPlay {
  int player;
  VoiceSource source;
  bool loop;
  std::int64_t from;
  std::int64_t to;
  std::int64_t start;
};
// Stops a player; its position stays where it stopped.
struct MediaStop {
  int player;
};
// Holds a playing player where it is, or lets it go on.
struct MediaPause {
  int player;
  bool paused;
};
using Command = std::variant<CreateBus, FreeBus, Play, Stop, StopAll, Volume, Pan, Effects, Params,
                             Set3D, MasterVolume, MasterTempo, MediaPlay, MediaStop, MediaPause>;
}  // namespace mix

class Mixer final : public AudioSource {
 public:
  explicit Mixer(int rate);
  ~Mixer() override;

  int rate() const { return rate_; }
  // Queues a command; returns its sequence number.
  std::uint64_t send(mix::Command command);
  // The sequence number of the last command the mixing thread has taken.
  std::uint64_t applied() const { return applied_.load(std::memory_order_acquire); }
  MediaMode mediaMode(int player) const;
  bool mediaPlaying(int player = 0) const { return mediaMode(player) != MediaMode::Stopped; }
  // The frame a media player has reached (the frames rendered, for MIDI).
  std::int64_t mediaPosition(int player) const;

  void render(float* out, int frames) override;

 private:
  struct Bus;
  struct Voice;
  struct Media;
  void apply(mix::Command& command);
  void renderChunk(float* out, int n);
  void stopVoice(Voice& v);
  Bus* bus(int id);
  Media* media(int player);
  void renderMedia(Media& media, float* out, int n);
  void publishMedia(std::memory_order order);

  int rate_;
  std::mutex queueLock_;
  std::vector<mix::Command> queue_;
  std::uint64_t sent_ = 0;
  // Owned by the mixing thread.
  std::vector<mix::Command> taking_;
  std::uint64_t taken_ = 0;
  std::vector<std::unique_ptr<Bus>> buses_;
  std::vector<Voice> voices_;
  std::vector<Media> media_;
  float masterGain_ = 1;
  float tempo_ = 1;
  std::vector<float> scratch_;
  std::atomic<std::uint64_t> applied_{0};
  // What the mixing thread last published of each media player.
  std::array<std::atomic<MediaMode>, kMediaPlayers> mediaModes_{};
  std::array<std::atomic<std::int64_t>, kMediaPlayers> mediaPositions_{};
};

// Hundredths of a decibel to a gain factor.
float MillibelsToGain(float mb);

}  // namespace px
