#include "sound/Sound_Decode.h"

#include <mpg123.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace px {
namespace {

// libsndfile's virtual file over a byte span.
struct MemoryFile {
  std::span<const std::uint8_t> bytes;
  sf_count_t pos = 0;
};

sf_count_t MemLength(void* user) {
  return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}
sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  const auto size = static_cast<sf_count_t>(f->bytes.size());
  sf_count_t pos = offset;
  if (whence == SEEK_CUR) pos += f->pos;
  if (whence == SEEK_END) pos += size;
  f->pos = std::clamp<sf_count_t>(pos, 0, size);
  return f->pos;
}
sf_count_t MemRead(void* out, sf_count_t count, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  const sf_count_t n =
      std::clamp<sf_count_t>(count, 0, static_cast<sf_count_t>(f->bytes.size()) - f->pos);
  if (n > 0) std::memcpy(out, f->bytes.data() + f->pos, static_cast<std::size_t>(n));
  f->pos += n;
  return n;
}
sf_count_t MemWrite(const void*, sf_count_t, void*) {
  return 0;
}
sf_count_t MemTell(void* user) {
  return static_cast<MemoryFile*>(user)->pos;
}

struct SndfileCloser {
  void operator()(SNDFILE* f) const { sf_close(f); }
};
struct Mpg123Closer {
  void operator()(mpg123_handle* h) const {
    mpg123_close(h);
    mpg123_delete(h);
  }
};

constexpr int kMaxSeconds = 60 * 30;  // refuses absurd lengths instead of exhausting memory

}  // namespace

Pcm ToMixFormat(std::span<const float> in, int channels, int from, int to) {
  Pcm out;
  if (channels <= 0 || from <= 0) return out;
  const std::size_t frames = in.size() / static_cast<std::size_t>(channels);
  const auto at = [&](std::size_t frame, int ch) {
    return in[frame * static_cast<std::size_t>(channels) +
              static_cast<std::size_t>(std::min(ch, channels - 1))];
  };
  if (from == to) {
    out.samples.resize(frames * 2);
    for (std::size_t i = 0; i < frames; ++i)
      out.samples[2 * i] = at(i, 0), out.samples[2 * i + 1] = at(i, 1);
    return out;
  }
  const std::size_t count = frames * static_cast<std::size_t>(to) / static_cast<std::size_t>(from);
  out.samples.resize(count * 2);
  const double step = static_cast<double>(from) / to;
  for (std::size_t i = 0; i < count; ++i) {
    const double x = static_cast<double>(i) * step;
    const auto j = static_cast<std::size_t>(x);
    const auto f = static_cast<float>(x - static_cast<double>(j));
    const std::size_t k = std::min(j + 1, frames - 1);
    for (int ch = 0; ch < 2; ++ch)
      out.samples[2 * i + static_cast<std::size_t>(ch)] = at(j, ch) + (at(k, ch) - at(j, ch)) * f;
  }
  return out;
}

std::optional<Pcm> DecodeSampleFile(std::span<const std::uint8_t> bytes, int rate) {
  if (bytes.empty()) return std::nullopt;
  MemoryFile file{bytes};
  SF_VIRTUAL_IO io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
  SF_INFO info{};
  std::unique_ptr<SNDFILE, SndfileCloser> sf(sf_open_virtual(&io, SFM_READ, &info, &file));
  if (!sf || info.channels <= 0 || info.samplerate <= 0) return std::nullopt;
  // MPEG audio is the media player's, as for a machine without that codec
  // in its audio engine.
  if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG) return std::nullopt;
  if (info.frames > static_cast<sf_count_t>(info.samplerate) * kMaxSeconds) return std::nullopt;
  std::vector<float> raw(static_cast<std::size_t>(info.frames) *
                         static_cast<std::size_t>(info.channels));
  const sf_count_t got = sf_readf_float(sf.get(), raw.data(), info.frames);
  if (got <= 0) return std::nullopt;
  raw.resize(static_cast<std::size_t>(got) * static_cast<std::size_t>(info.channels));
  return ToMixFormat(raw, info.channels, info.samplerate, rate);
}

std::optional<Pcm> DecodeMpeg(std::span<const std::uint8_t> bytes, int rate) {
  if (bytes.empty()) return std::nullopt;
  int err = MPG123_OK;
  std::unique_ptr<mpg123_handle, Mpg123Closer> mh(mpg123_new(nullptr, &err));
  if (!mh) return std::nullopt;
  mpg123_param(mh.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  mpg123_format_none(mh.get());
  const long* rates = nullptr;
  std::size_t nrates = 0;
  mpg123_rates(&rates, &nrates);
  for (std::size_t i = 0; i < nrates; ++i)
    mpg123_format(mh.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
  if (mpg123_open_feed(mh.get()) != MPG123_OK) return std::nullopt;
  if (mpg123_feed(mh.get(), bytes.data(), bytes.size()) != MPG123_OK) return std::nullopt;
  long srcRate = 0;
  int channels = 0, encoding = 0;
  std::vector<float> raw;
  unsigned char buf[16384];
  for (;;) {
    std::size_t done = 0;
    const int r = mpg123_read(mh.get(), buf, sizeof buf, &done);
    if (r == MPG123_NEW_FORMAT) {
      mpg123_getformat(mh.get(), &srcRate, &channels, &encoding);
      continue;
    }
    if (done > 0) {
      const std::size_t n = done / sizeof(float);
      const std::size_t old = raw.size();
      raw.resize(old + n);
      std::memcpy(raw.data() + old, buf, n * sizeof(float));
      if (srcRate > 0 && raw.size() > static_cast<std::size_t>(srcRate) * 2 * kMaxSeconds)
        return std::nullopt;
    }
    if (r != MPG123_OK) break;  // fed data used up, or an error
  }
  if (raw.empty() || channels <= 0 || srcRate <= 0) return std::nullopt;
  return ToMixFormat(raw, channels, static_cast<int>(srcRate), rate);
}

bool IsMidiFile(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 22 || std::memcmp(bytes.data(), "MThd", 4) != 0) return false;
  const std::uint32_t headerLength = (std::uint32_t{bytes[4]} << 24) |
                                     (std::uint32_t{bytes[5]} << 16) |
                                     (std::uint32_t{bytes[6]} << 8) | bytes[7];
  if (headerLength < 6 || headerLength > bytes.size() - 8) return false;
  const std::size_t track = 8 + headerLength;
  return bytes.size() >= track + 8 && std::memcmp(bytes.data() + track, "MTrk", 4) == 0;
}

}  // namespace px
