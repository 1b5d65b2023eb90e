// The game's pseudo-random generator: one 32-bit seed behind every random
// draw of a run, so a fixed seed reproduces a game.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace px {

class CRandom {
 public:
  std::uint32_t seed = 0;

  // Advances the seed: seed × 134775813 + 1 (mod 2^32).
  std::uint32_t Advance() {
    seed = seed * 134775813u + 1u;
    return seed;
  }
  // A real in [0, 1): the advanced seed × 2^−32.
  double NextReal() { return Advance() * (1.0 / 4294967296.0); }
  // The upper 32 bits of seed × n: 0 … n − 1 for positive n, 0 for 0.
  std::uint32_t NextInt(std::uint32_t n) { return static_cast<std::uint32_t>(NextBelow(n)); }
  // NextInt for ranges up to 2^32 (a range of 2^32 gives the seed itself).
  std::uint64_t NextBelow(std::uint64_t n) {
    return (static_cast<std::uint64_t>(Advance()) * n) >> 32;
  }

  // Seeds from the low 32 bits of the platform's high-resolution counter
  // (the virtual clock when headless, so headless runs stay repeatable).
  void SeedFromClock(Platform& platform) {
    seed = static_cast<std::uint32_t>(platform.highResolutionCounter());
  }
};

}  // namespace px
