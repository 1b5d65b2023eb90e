#include "sound/Sound_Engine.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/Platform.h"

namespace px {
namespace {

int Round(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::nearbyint(std::clamp(v, -2e9, 2e9)));
}

std::optional<std::vector<std::uint8_t>> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

constexpr std::size_t kMaxPlayerName = 127;

// The entry of an existing sample; null for a free entry or a bad index.
template <class Samples>
auto* Existing(Samples& samples, int index) {
  auto* s = index >= 0 && static_cast<std::size_t>(index) < samples.size()
                ? &samples[static_cast<std::size_t>(index)]
                : nullptr;
  return s && s->exists ? s : nullptr;
}

std::int64_t FramesToMs(std::int64_t frames) {
  return (frames * 1000 + kAudioRate / 2) / kAudioRate;
}

}  // namespace

std::int64_t MediaClip::lengthMs() const {
  return pcm ? FramesToMs(static_cast<std::int64_t>(pcm->frames())) : 0;
}

MediaClip ReadMediaFile(const std::string& path) {
  MediaClip clip;
  const auto bytes = ReadAll(path);
  if (!bytes) return clip;
  if (IsMidiFile(*bytes)) {
    clip.midi = std::make_shared<const std::vector<std::uint8_t>>(*bytes);
  } else if (auto pcm = DecodeSampleFile(*bytes, kAudioRate)) {
    clip.pcm = std::make_shared<const Pcm>(std::move(*pcm));
  } else if (auto mp3 = DecodeMpeg(*bytes, kAudioRate)) {
    clip.pcm = std::make_shared<const Pcm>(std::move(*mp3));
  }
  return clip;
}

SoundSystem::SoundSystem() = default;
SoundSystem::~SoundSystem() {
  Close();
}

bool SoundSystem::Open(Platform& platform, std::string_view caption, bool wait) {
  if (mixer_) Close();
  samples_.clear();
  platform_ = &platform;
  caption_ = caption;
  midi_ = std::make_unique<MidiSynth>();
  mixer_ = std::make_unique<Mixer>(kAudioRate);
  device_ = platform.openAudio(*mixer_);
  engine_ = device_ != nullptr;
  if (!device_) {
    platform.messageBox(kMsgNoSoundDevice, caption, Buttons::Ok, MessageIcon::None);
    // The media player still runs, into nothing, paced by the clock.
    device_ = CreateNullAudioDevice(platform, *mixer_);
    return false;
  }
  if (wait) platform.waitMicros(200000);
  return true;
}

void SoundSystem::Close() {
  if (!mixer_) return;
  // The device goes first: it stops pulling from the mixer.
  device_.reset();
  mixer_.reset();
  midi_.reset();
  samples_.clear();
  playerFile_.clear();
  playerPlaying_ = false;
  players_ = {};
  engine_ = false;
}

void SoundSystem::Sync() {
  if (device_) device_->pump();
}

const RSoundSample* SoundSystem::sample(int index) const {
  return Existing(samples_, index);
}

RSoundSample* SoundSystem::Engine(int index) {
  RSoundSample* s = Existing(samples_, index);
  if (!s || s->kind == kSoundMultimedia || !mixer_) return nullptr;
  Sync();
  return s;
}

int SoundSystem::NewSample(int kind) {
  if (!engine_) kind = kSoundMultimedia;
  auto it = std::find_if(samples_.begin(), samples_.end(),
                         [](const RSoundSample& s) { return !s.exists; });
  if (it == samples_.end()) it = samples_.insert(samples_.end(), RSoundSample{});
  const int index = static_cast<int>(it - samples_.begin());
  *it = RSoundSample{};
  it->exists = true;
  it->kind = kind;
  if (kind != kSoundMultimedia && mixer_) {
    it->voices = std::make_shared<std::atomic<int>>(0);
    mixer_->send(mix::CreateBus{index, kind == kSound3D, it->voices});
  }
  return index;
}

bool SoundSystem::DecodeInto(RSoundSample& s, std::span<const std::uint8_t> bytes) {
  if (IsMidiFile(bytes)) {
    s.midi = std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
    return true;
  }
  if (auto pcm = DecodeSampleFile(bytes, kAudioRate)) {
    s.pcm = std::make_shared<const Pcm>(std::move(*pcm));
    return true;
  }
  return false;
}

// An engine sample the engine could not load: its audio path goes.
void SoundSystem::MakeMultimedia(int index) {
  RSoundSample& s = samples_[static_cast<std::size_t>(index)];
  if (s.kind != kSoundMultimedia && mixer_) mixer_->send(mix::FreeBus{index});
  s.kind = kSoundMultimedia;
  s.voices.reset();
}

int SoundSystem::LoadSampleFromMemory(std::span<const std::uint8_t> bytes, int kind) {
  if (!engine_) return -1;
  Sync();
  const int index = NewSample(kind);
  RSoundSample& s = samples_[static_cast<std::size_t>(index)];
  if (s.kind != kSoundMultimedia && !DecodeInto(s, bytes)) MakeMultimedia(index);
  if (s.kind == kSoundMultimedia) {
    FreeSample(index);
    return -1;
  }
  return index;
}

int SoundSystem::LoadSampleFromFile(const std::string& path, int kind) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return -1;
  Sync();
  const int index = NewSample(kind);
  RSoundSample& s = samples_[static_cast<std::size_t>(index)];
  if (s.kind != kSoundMultimedia) {
    const auto bytes = ReadAll(path);
    if (!bytes || !DecodeInto(s, *bytes)) MakeMultimedia(index);
  }
  if (s.kind == kSoundMultimedia) s.file_name = path;
  return index;
}

void SoundSystem::FreeSample(int index) {
  RSoundSample* found = Existing(samples_, index);
  if (!found) return;
  Sync();
  RSoundSample& s = *found;
  if (s.kind != kSoundMultimedia && mixer_) {
    mixer_->send(mix::FreeBus{index});
  } else if (!s.file_name.empty() && s.file_name == playerFile_ && mixer_) {
    playerSeq_ = mixer_->send(mix::MediaStop{0});
    playerPlaying_ = false;
    playerFile_.clear();
  }
  s = RSoundSample{};
}

// The media player opens a file the first time it is played: any sample
// format, MPEG audio or MIDI. A file it cannot read plays nothing.
void SoundSystem::OpenMedia(RSoundSample& s) {
  if (s.mediaOpened) return;
  s.mediaOpened = true;
  s.media = ReadMediaFile(s.file_name);
}

void SoundSystem::PlaySample(int index, bool loop) {
  RSoundSample* found = Existing(samples_, index);
  if (!found || !mixer_) return;
  Sync();
  RSoundSample& s = *found;
  if (s.kind != kSoundMultimedia) {
    VoiceSource source;
    if (s.pcm) source.pcm = s.pcm;
    if (s.midi) {
      source.midi = midi_->start(s.midi, loop, 1.0, mixer_->rate());
      if (!source.midi) return;  // no SoundFont: the music stays silent
    }
    s.lastSeq = mixer_->send(mix::Play{index, std::move(source), loop, s.kind == kSoundBackground});
    s.lastPlaying = true;
    return;
  }
  if (s.file_name.size() >= kMaxPlayerName) {
    platform_->messageBox(kMsgFileNameTooLong, caption_, Buttons::Ok, MessageIcon::None);
    return;
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(s.file_name, ec)) return;
  OpenMedia(s);
  playerFile_ = s.file_name;
  VoiceSource source;
  std::int64_t loopFrames = 0;
  if (s.media.midi) {
    source.midi = midi_->start(s.media.midi, loop, 1.0, mixer_->rate());
  } else if (s.media.pcm) {
    // The player's timer rewinds after the media length, in whole milliseconds.
    if (loop) loopFrames = s.media.lengthMs() * kAudioRate / 1000;
    source.pcm = s.media.pcm;
  }
  const bool playable = source.pcm || source.midi;
  const bool rewinds = source.pcm && loopFrames > 0;
  playerSeq_ =
      mixer_->send(mix::MediaPlay{0, std::move(source), rewinds, 0, rewinds ? loopFrames : -1, 0});
  playerPlaying_ = playable;
}

void SoundSystem::StopSample(int index) {
  RSoundSample* found = Existing(samples_, index);
  if (!found || !mixer_) return;
  Sync();
  RSoundSample& s = *found;
  if (s.kind != kSoundMultimedia) {
    s.lastSeq = mixer_->send(mix::Stop{index});
    s.lastPlaying = false;
  } else if (s.file_name == playerFile_) {
    playerSeq_ = mixer_->send(mix::MediaStop{0});
    playerPlaying_ = false;
  }
}

bool SoundSystem::SampleIsPlaying(int index) {
  const RSoundSample* s = sample(index);
  if (!s || !mixer_) return false;
  Sync();
  if (s->kind == kSoundMultimedia) {
    if (s->file_name.empty() || s->file_name != playerFile_) return false;
    return mixer_->applied() < playerSeq_ ? playerPlaying_ : mixer_->mediaPlaying();
  }
  if (mixer_->applied() < s->lastSeq) return s->lastPlaying;
  return s->voices && s->voices->load(std::memory_order_relaxed) > 0;
}

// The player's record, brought up to what the mixer reports once it has
// taken the last command sent.
SoundSystem::PlayerExpect* SoundSystem::Player(int player) {
  if (player < 1 || player >= kMediaPlayers || !mixer_) return nullptr;
  Sync();
  PlayerExpect& p = players_[static_cast<std::size_t>(player)];
  if (mixer_->applied() >= p.seq) {
    p.mode = mixer_->mediaMode(player);
    p.frame = mixer_->mediaPosition(player);
  }
  return &p;
}

namespace {
std::int64_t MsToFrames(std::int64_t ms) {
  return ms * kAudioRate / 1000;
}
}  // namespace

void SoundSystem::PlayerPlay(int player, const MediaClip& clip, const PlayRange& range) {
  PlayerExpect* p = Player(player);
  if (!p) return;
  VoiceSource source;
  if (clip.midi) source.midi = midi_->start(clip.midi, range.repeat, 1.0, mixer_->rate());
  if (clip.pcm) source.pcm = clip.pcm;
  const std::int64_t start = source.midi ? 0 : MsToFrames(std::max<std::int64_t>(range.startMs, 0));
  p->mode = source.pcm || source.midi ? MediaMode::Playing : MediaMode::Stopped;
  p->frame = start;
  p->seq = mixer_->send(mix::MediaPlay{player, std::move(source), range.repeat,
                                       MsToFrames(std::max<std::int64_t>(range.loopMs, 0)),
                                       range.endMs < 0 ? -1 : MsToFrames(range.endMs), start});
}

void SoundSystem::PlayerClose(int player) {
  PlayerPlay(player, MediaClip{}, PlayRange{});
}

void SoundSystem::PlayerStop(int player) {
  PlayerExpect* p = Player(player);
  if (!p) return;
  p->mode = MediaMode::Stopped;
  p->seq = mixer_->send(mix::MediaStop{player});
}

void SoundSystem::PlayerPause(int player, bool paused) {
  PlayerExpect* p = Player(player);
  if (!p) return;
  if (p->mode != MediaMode::Stopped) p->mode = paused ? MediaMode::Paused : MediaMode::Playing;
  p->seq = mixer_->send(mix::MediaPause{player, paused});
}

MediaMode SoundSystem::PlayerMode(int player) {
  const PlayerExpect* p = Player(player);
  return p ? p->mode : MediaMode::Stopped;
}

std::int64_t SoundSystem::PlayerPositionMs(int player) {
  const PlayerExpect* p = Player(player);
  return p ? p->frame * 1000 / kAudioRate : 0;
}

void SoundSystem::StopAllSamples() {
  for (std::size_t i = 0; i < samples_.size(); ++i)
    if (samples_[i].exists) StopSample(static_cast<int>(i));
}

void SoundSystem::SetSampleVolume(int index, double value, int timeMs) {
  if (!Engine(index)) return;
  // Hundredths of a decibel: 1 is full volume, 0 is -96 dB.
  const int mb = std::clamp(Round(value * 9600) - 9600, -9600, 0);
  mixer_->send(mix::Volume{index, mb, std::max(timeMs, 0)});
}

void SoundSystem::SetSamplePan(int index, double value) {
  if (!Engine(index)) return;
  mixer_->send(mix::Pan{index, std::clamp(Round(value * 10000), -10000, 10000)});
}

void SoundSystem::SetSampleEffects(int index, int bits) {
  if (!Engine(index)) return;
  mixer_->send(mix::Effects{index, BuildEffectChain(bits, mixer_->rate())});
}

void SoundSystem::SetEffectParams(int index, const EffectParams& params) {
  if (!Engine(index) || !ParamsValid(params)) return;
  mixer_->send(mix::Params{index, params});
}

namespace {
Vec3 ToVec(double x, double y, double z) {
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}
}  // namespace

void SoundSystem::Set3DPosition(int index, double x, double y, double z) {
  RSoundSample* s = Engine(index);
  if (!s || s->kind != kSound3D) return;
  s->s3d.position = ToVec(x, y, z);
  mixer_->send(mix::Set3D{index, s->s3d});
}

void SoundSystem::Set3DVelocity(int index, double x, double y, double z) {
  RSoundSample* s = Engine(index);
  if (!s || s->kind != kSound3D) return;
  s->s3d.velocity = ToVec(x, y, z);
  mixer_->send(mix::Set3D{index, s->s3d});
}

void SoundSystem::Set3DDistance(int index, double minDistance, double maxDistance) {
  RSoundSample* s = Engine(index);
  if (!s || s->kind != kSound3D) return;
  s->s3d.minDistance = static_cast<float>(std::max(minDistance, 0.0));
  s->s3d.maxDistance = static_cast<float>(maxDistance);
  mixer_->send(mix::Set3D{index, s->s3d});
}

void SoundSystem::Set3DCone(int index, double x, double y, double z, double insideAngle,
                            double outsideAngle, double outsideVolume) {
  RSoundSample* s = Engine(index);
  if (!s || s->kind != kSound3D) return;
  s->s3d.coneOrientation = ToVec(x, y, z);
  const int in = Round(insideAngle), out = Round(outsideAngle);
  // Angles outside 0..360, or an inner cone wider than the outer one, are
  // refused and the cone keeps its angles.
  if (in >= 0 && out <= 360 && in <= out) {
    s->s3d.insideAngle = in;
    s->s3d.outsideAngle = out;
  }
  s->s3d.outsideVolume = std::clamp(Round(outsideVolume * 10000 - 10000), -10000, 0);
  mixer_->send(mix::Set3D{index, s->s3d});
}

void SoundSystem::SetMasterVolume(double value) {
  if (!engine_) return;
  Sync();
  mixer_->send(mix::MasterVolume{std::clamp(Round(value * 11000 - 10000), -10000, 1000)});
}

void SoundSystem::SetMasterTempo(double value) {
  if (!engine_) return;
  Sync();
  float factor = static_cast<float>(value);
  if (std::isnan(factor)) factor = 1;
  mixer_->send(mix::MasterTempo{std::clamp(factor, 0.01f, 100.0f)});
}

}  // namespace px
