// Decoding sound files held in memory into the mixer's format: interleaved
// stereo floats at the mixing rate.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace px {

struct Pcm {
  std::vector<float> samples;  // left, right, left, right, ...
  std::size_t frames() const { return samples.size() / 2; }
};

// Waves and the other sample formats libsndfile reads (not MPEG audio).
std::optional<Pcm> DecodeSampleFile(std::span<const std::uint8_t> bytes, int rate);
// MPEG audio layers 1 to 3.
std::optional<Pcm> DecodeMpeg(std::span<const std::uint8_t> bytes, int rate);
// A standard MIDI file: a header chunk followed by at least one track.
bool IsMidiFile(std::span<const std::uint8_t> bytes);

// Converts interleaved frames of `channels` channels at `from` hertz to
// stereo at `to` hertz (mono is doubled, channels past two are dropped,
// linear interpolation between frames).
Pcm ToMixFormat(std::span<const float> in, int channels, int from, int to);

}  // namespace px
