// The game's pseudo-random generator: one 32-bit seed behind every random
// draw of a run, so a fixed seed reproduces a game.
#pragma once

#include <cstdint>

namespace px {

class CRandom {
 public:
  std::uint32_t seed = 0;

  // Advances the seed: seed × 134775813 + 1 (mod 2^32).
  std::uint32_t Advance() {
    seed = seed * 134775813u + 1u;
    return seed;
  }
  // A real in [0, 1).
  double NextReal() { return Advance() * (1.0 / 4294967296.0); }
  // The upper 32 bits of seed × n: 0 … n − 1 for positive n.
  std::uint32_t NextInt(std::uint32_t n) {
    const std::uint64_t product = static_cast<std::uint64_t>(Advance()) * n;
    return static_cast<std::uint32_t>(product >> 32);
  }
};

}  // namespace px
