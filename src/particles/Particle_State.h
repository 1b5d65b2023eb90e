// The particle state of a run: the type and system tables, the effects'
// systems and types, and the system and slots the particle actions share.
#pragma once

#include <array>
#include <cstdint>

#include "particles/Particle_Effect.h"
#include "particles/Particle_Main.h"

namespace px {

// The one system of the particle actions, with 16 type slots and 16
// emitter slots; -1 where nothing was made.
struct ActionParticles {
  static constexpr int kSlots = 16;
  std::int32_t system = -1;
  std::array<std::int32_t, kSlots> types{};
  std::array<std::int32_t, kSlots> emitters{};
  ActionParticles() { Forget(); }
  void Forget() {
    types.fill(-1);
    emitters.fill(-1);
  }
};

struct ParticleState {
  ParticleState(CRandom& random, TextureTable& textures)
      : particles(random, textures), effects(particles) {}

  // A new game: no types, systems or effects.
  void Reset() {
    particles.Reset();
    effects.Reset();
    actions = ActionParticles();
  }

  Particles particles;
  Effects effects;
  ActionParticles actions;
};

}  // namespace px
