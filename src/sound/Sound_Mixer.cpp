#include "sound/Sound_Mixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace px {
namespace {

constexpr int kChunk = 256;              // frames mixed at a time
constexpr int kVoices = 256;             // voices playing at once, all buses together
constexpr float kSpeedOfSound = 343.0f;  // distance units per second
constexpr int kMasterUnity = 1000;       // the start-up master volume plays at unity

float Length(const Vec3& v) {
  return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
float Dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace

float MillibelsToGain(float mb) {
  return std::pow(10.0f, mb / 2000.0f);
}

struct Mixer::Bus {
  bool is3D = false;
  std::shared_ptr<std::atomic<int>> voices;
  int active = 0;
  // Volume in hundredths of a decibel, moving towards its target by `step`
  // per frame for `fadeLeft` frames.
  float volume = 0, target = 0, step = 0;
  std::int64_t fadeLeft = 0;
  int pan = 0;
  EffectChain chain;
  std::int64_t tail = 0;  // frames the effects still run after the last voice
  Sound3D s3d;
  // Worked out per chunk.
  float gainL = 1, gainR = 1, rate = 1;
  float buf[2 * kChunk];
};

struct Mixer::Voice {
  bool on = false;
  int bus = -1;
  bool loop = false;
  bool primary = false;
  std::shared_ptr<const Pcm> pcm;
  std::unique_ptr<MidiRenderer> midi;
  double pos = 0;
};

struct Mixer::Media {
  VoiceSource source;
  bool playing = false;
  bool paused = false;
  bool loop = false;
  std::int64_t from = 0;
  std::int64_t to = -1;
  std::int64_t pos = 0;

  void stop() {
    playing = paused = false;
    source = {};
  }
  MediaMode mode() const {
    if (!playing) return MediaMode::Stopped;
    return paused ? MediaMode::Paused : MediaMode::Playing;
  }
};

Mixer::Mixer(int rate)
    : rate_(rate), voices_(kVoices), media_(kMediaPlayers), scratch_(2 * kChunk) {
  queue_.reserve(64);
  taking_.reserve(64);
  buses_.reserve(256);
  masterGain_ = 1;
}

Mixer::~Mixer() = default;

std::uint64_t Mixer::send(mix::Command command) {
  std::lock_guard lock(queueLock_);
  queue_.push_back(std::move(command));
  return ++sent_;
}

Mixer::Media* Mixer::media(int player) {
  if (player < 0 || player >= kMediaPlayers) return nullptr;
  return &media_[static_cast<std::size_t>(player)];
}

MediaMode Mixer::mediaMode(int player) const {
  if (player < 0 || player >= kMediaPlayers) return MediaMode::Stopped;
  return mediaModes_[static_cast<std::size_t>(player)].load(std::memory_order_acquire);
}

std::int64_t Mixer::mediaPosition(int player) const {
  if (player < 0 || player >= kMediaPlayers) return 0;
  return mediaPositions_[static_cast<std::size_t>(player)].load(std::memory_order_acquire);
}

void Mixer::publishMedia(std::memory_order order) {
  for (std::size_t i = 0; i < media_.size(); ++i) {
    mediaModes_[i].store(media_[i].mode(), order);
    mediaPositions_[i].store(media_[i].pos, order);
  }
}

Mixer::Bus* Mixer::bus(int id) {
  if (id < 0 || static_cast<std::size_t>(id) >= buses_.size()) return nullptr;
  return buses_[static_cast<std::size_t>(id)].get();
}

void Mixer::stopVoice(Voice& v) {
  if (!v.on) return;
  v.on = false;
  v.pcm.reset();
  v.midi.reset();
  if (Bus* b = bus(v.bus)) {
    --b->active;
    b->voices->fetch_sub(1, std::memory_order_relaxed);
    if (b->active == 0 && !b->chain.empty()) b->tail = 2 * rate_;  // let echoes and reverb ring out
  }
}

void Mixer::apply(mix::Command& command) {
  struct Visitor {
    Mixer& m;
    void operator()(mix::CreateBus& c) {
      if (c.bus < 0) return;
      if (static_cast<std::size_t>(c.bus) >= m.buses_.size())
        m.buses_.resize(static_cast<std::size_t>(c.bus) + 1);
      auto b = std::make_unique<Bus>();
      b->is3D = c.is3D;
      b->voices = std::move(c.voices);
      m.buses_[static_cast<std::size_t>(c.bus)] = std::move(b);
    }
    void operator()(mix::FreeBus& c) {
      for (Voice& v : m.voices_)
        if (v.on && v.bus == c.bus) m.stopVoice(v);
      if (m.bus(c.bus)) m.buses_[static_cast<std::size_t>(c.bus)].reset();
    }
    void operator()(mix::Play& c) {
      Bus* b = m.bus(c.bus);
      if (!b) return;
      if (c.primary)  // a new background music replaces the one playing
        for (Voice& v : m.voices_)
          if (v.on && v.primary) m.stopVoice(v);
      for (Voice& v : m.voices_) {
        if (v.on) continue;
        v.on = true;
        v.bus = c.bus;
        v.loop = c.loop;
        v.primary = c.primary;
        v.pcm = std::move(c.source.pcm);
        v.midi = std::move(c.source.midi);
        if (v.midi) v.midi->setTempo(m.tempo_);
        v.pos = 0;
        ++b->active;
        b->voices->fetch_add(1, std::memory_order_relaxed);
        b->tail = 0;
        return;
      }
    }
    void operator()(mix::Stop& c) {
      for (Voice& v : m.voices_)
        if (v.on && v.bus == c.bus) m.stopVoice(v);
    }
    void operator()(mix::StopAll&) {
      for (Voice& v : m.voices_) m.stopVoice(v);
      for (Media& media : m.media_) media.stop();
    }
    void operator()(mix::Volume& c) {
      Bus* b = m.bus(c.bus);
      if (!b) return;
      b->target = static_cast<float>(c.millibels);
      b->fadeLeft = static_cast<std::int64_t>(c.fadeMs) * m.rate_ / 1000;
      if (b->fadeLeft <= 0) {
        b->volume = b->target, b->fadeLeft = 0;
      } else {
        b->step = (b->target - b->volume) / static_cast<float>(b->fadeLeft);
      }
    }
    void operator()(mix::Pan& c) {
      if (Bus* b = m.bus(c.bus)) b->pan = c.value;
    }
    void operator()(mix::Effects& c) {
      if (Bus* b = m.bus(c.bus)) std::swap(b->chain, c.chain);
    }
    void operator()(mix::Params& c) {
      Bus* b = m.bus(c.bus);
      if (!b) return;
      const EffectKind kind = KindOf(c.params);
      for (auto& e : b->chain)
        if (e->kind() == kind) {  // only the first stage of a kind is reached
          e->setParams(c.params);
          return;
        }
    }
    void operator()(mix::Set3D& c) {
      if (Bus* b = m.bus(c.bus)) b->s3d = c.state;
    }
    void operator()(mix::MasterVolume& c) {
      m.masterGain_ = MillibelsToGain(static_cast<float>(c.millibels - kMasterUnity));
    }
    void operator()(mix::MasterTempo& c) {
      m.tempo_ = c.factor;
      for (Voice& v : m.voices_)
        if (v.on && v.midi) v.midi->setTempo(c.factor);
    }
    void operator()(mix::MediaPlay& c) {
      Media* media = m.media(c.player);
      if (!media) return;
      media->source = std::move(c.source);
      media->loop = c.loop;
      const bool midi = media->source.midi != nullptr;
      media->from = midi ? 0 : std::max<std::int64_t>(c.from, 0);
      media->to = midi ? -1 : c.to;
      media->pos = midi ? 0 : std::max<std::int64_t>(c.start, 0);
      media->paused = false;
      media->playing = media->source.pcm || media->source.midi;
    }
    void operator()(mix::MediaStop& c) {
      if (Media* media = m.media(c.player)) media->stop();
    }
    void operator()(mix::MediaPause& c) {
      if (Media* media = m.media(c.player)) media->paused = media->playing && c.paused;
    }
  };
  std::visit(Visitor{*this}, command);
}

void Mixer::render(float* out, int frames) {
  {
    std::lock_guard lock(queueLock_);
    taking_.swap(queue_);
    taken_ = sent_;
  }
  for (mix::Command& c : taking_) apply(c);
  taking_.clear();
  publishMedia(std::memory_order_relaxed);
  applied_.store(taken_, std::memory_order_release);
  for (int done = 0; done < frames;) {
    const int n = std::min(kChunk, frames - done);
    renderChunk(out + 2 * done, n);
    done += n;
  }
  publishMedia(std::memory_order_release);
}

void Mixer::renderChunk(float* out, int n) {
  std::fill(out, out + 2 * n, 0.0f);
  // Each live bus: gains and pitch for this chunk, an empty buffer.
  for (auto& owned : buses_) {
    Bus* b = owned.get();
    if (!b || (b->active == 0 && b->tail <= 0)) continue;
    std::fill(b->buf, b->buf + 2 * n, 0.0f);
    float l = b->pan > 0 ? MillibelsToGain(static_cast<float>(-b->pan)) : 1.0f;
    float r = b->pan < 0 ? MillibelsToGain(static_cast<float>(b->pan)) : 1.0f;
    b->rate = 1;
    if (b->is3D) {
      const Sound3D& s = b->s3d;
      const float d = Length(s.position);
      float gain = 1;
      if (d > s.minDistance)
        gain = s.minDistance / std::min(d, std::max(s.maxDistance, s.minDistance));
      if (d > 0 && (s.insideAngle < 360 || s.outsideAngle < 360)) {
        // The angle between the cone's axis and the way to the listener.
        const Vec3 toListener{-s.position.x, -s.position.y, -s.position.z};
        const float axis = Length(s.coneOrientation);
        const float c = axis > 0 ? Dot(s.coneOrientation, toListener) / (axis * d) : 1.0f;
        const float angle = std::acos(std::clamp(c, -1.0f, 1.0f)) * 180 / std::numbers::pi_v<float>;
        const float in = static_cast<float>(s.insideAngle) / 2;
        const float outer = std::max(in, static_cast<float>(s.outsideAngle) / 2);
        float mb = 0;
        if (angle >= outer)
          mb = static_cast<float>(s.outsideVolume);
        else if (angle > in)
          mb = static_cast<float>(s.outsideVolume) * (angle - in) / (outer - in);
        gain *= MillibelsToGain(mb);
      }
      const float side = d > 0 ? s.position.x / d : 0;
      l *= gain * (side > 0 ? 1 - side : 1);
      r *= gain * (side < 0 ? 1 + side : 1);
      if (d > 0) {
        const float away = Dot(s.velocity, s.position) / d;
        b->rate = std::clamp(kSpeedOfSound / std::max(kSpeedOfSound + away, 1.0f), 0.5f, 2.0f);
      }
    }
    b->gainL = l, b->gainR = r;
  }
  // Voices into their buses.
  for (Voice& v : voices_) {
    if (!v.on) continue;
    Bus& b = *buses_[static_cast<std::size_t>(v.bus)];
    float* dst = b.buf;
    if (v.midi) {
      const bool more = v.midi->render(scratch_.data(), n);
      for (int i = 0; i < 2 * n; ++i) dst[i] += scratch_[static_cast<std::size_t>(i)];
      if (!more) stopVoice(v);
      continue;
    }
    const float* s = v.pcm->samples.data();
    const auto frames = static_cast<std::int64_t>(v.pcm->frames());
    if (frames == 0) {
      stopVoice(v);
      continue;
    }
    if (b.rate == 1.0f && v.pos == std::floor(v.pos)) {
      auto i = static_cast<std::int64_t>(v.pos);
      for (int k = 0; k < n; ++k, ++i) {
        if (i >= frames) {
          if (!v.loop) {
            stopVoice(v);
            break;
          }
          i = 0;
        }
        dst[2 * k] += s[2 * i];
        dst[2 * k + 1] += s[2 * i + 1];
      }
      v.pos = static_cast<double>(i);
    } else {
      const auto len = static_cast<double>(frames);
      for (int k = 0; k < n; ++k, v.pos += b.rate) {
        if (v.pos >= len) {
          if (!v.loop) {
            stopVoice(v);
            break;
          }
          v.pos -= len;
        }
        const auto j = static_cast<std::int64_t>(v.pos);
        const std::int64_t next = j + 1 < frames ? j + 1 : (v.loop ? 0 : j);
        const auto f = static_cast<float>(v.pos - static_cast<double>(j));
        dst[2 * k] += s[2 * j] + (s[2 * next] - s[2 * j]) * f;
        dst[2 * k + 1] += s[2 * j + 1] + (s[2 * next + 1] - s[2 * j + 1]) * f;
      }
    }
  }
  // Buses through their effects and gains onto the master bus.
  for (auto& owned : buses_) {
    Bus* b = owned.get();
    if (!b || (b->active == 0 && b->tail <= 0)) continue;
    for (auto& e : b->chain) e->process(b->buf, n);
    const float g0 = MillibelsToGain(b->volume);
    if (b->fadeLeft > 0) {
      const std::int64_t k = std::min<std::int64_t>(b->fadeLeft, n);
      b->volume += b->step * static_cast<float>(k);
      b->fadeLeft -= k;
      if (b->fadeLeft == 0) b->volume = b->target;
    }
    const float g1 = MillibelsToGain(b->volume);
    const float dg = (g1 - g0) / static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
      const float g = g0 + dg * static_cast<float>(i + 1);
      out[2 * i] += b->buf[2 * i] * g * b->gainL;
      out[2 * i + 1] += b->buf[2 * i + 1] * g * b->gainR;
    }
    if (b->active == 0) b->tail -= n;
  }
  for (int i = 0; i < 2 * n; ++i) out[i] *= masterGain_;
  // The media players, at their own level.
  for (Media& media : media_)
    if (media.playing && !media.paused) renderMedia(media, out, n);
  for (int i = 0; i < 2 * n; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void Mixer::renderMedia(Media& media, float* out, int n) {
  if (media.source.midi) {
    const bool more = media.source.midi->render(scratch_.data(), n);
    for (int i = 0; i < 2 * n; ++i) out[i] += scratch_[static_cast<std::size_t>(i)];
    media.pos += n;
    if (!more) media.stop();
    return;
  }
  const Pcm& pcm = *media.source.pcm;
  const auto frames = static_cast<std::int64_t>(pcm.frames());
  const std::int64_t end = media.to >= 0 ? media.to : frames;
  for (int k = 0; k < n; ++k, ++media.pos) {
    if (media.pos >= end) {
      // Looping rewinds at the end point (a multimedia sound's: its length
      // in whole milliseconds, as the player's timer would).
      if (!media.loop || end <= media.from) {
        media.stop();
        return;
      }
      media.pos = media.from;
    }
    if (media.pos >= frames) continue;  // past the data, before the rewind
    out[2 * k] += pcm.samples[static_cast<std::size_t>(2 * media.pos)];
    out[2 * k + 1] += pcm.samples[static_cast<std::size_t>(2 * media.pos + 1)];
  }
}

}  // namespace px
