// Ready-made effects: explosions, rings, smoke, rain, snow and the others,
// made with one call in one of two systems the runner owns, one below and
// one above the instances, with types of their own set anew at each call.
#pragma once

#include <array>
#include <cstdint>

#include "particles/Particle_Main.h"

namespace px {

enum class EffectType : std::int32_t {
  Explosion = 0,
  Ring = 1,
  Ellipse = 2,
  Firework = 3,
  Smoke = 4,
  SmokeUp = 5,
  Star = 6,
  Spark = 7,
  Flare = 8,
  Cloud = 9,
  Rain = 10,
  Snow = 11,
};

// What an effect needs to know of the game: its speed, to look the same
// at any room speed, and the room's size for rain and snow.
struct EffectContext {
  double roomSpeed = 30;
  double fps = 30;
  double roomWidth = 0;
  double roomHeight = 0;
};

// Time-dependent values are scaled by this: 1 at 30 steps a second or
// less, else 30 over the room speed (or over the frame rate when the game
// falls behind).
double EffectSpeedFactor(const EffectContext& c);

class Effects {
 public:
  explicit Effects(Particles& particles) : particles_(particles) {}

  // An effect of the kind and size at (x, y) in the colour; kinds outside
  // 0..11 make nothing.
  void Create(bool above, std::int32_t kind, double x, double y, std::int32_t size,
              std::uint32_t color, const EffectContext& context);
  // Removes every particle of both effect systems.
  void Clear();
  // Destroys both systems (a room starts); they are made again on use.
  void DestroySystems();
  // Forgets the systems and types, which went with the particle tables.
  void Reset();

  std::int32_t system(bool above) const { return above ? above_ : below_; }

 private:
  std::int32_t System(bool above);
  void MakeTypes();

  Particles& particles_;
  std::int32_t below_ = -1;
  std::int32_t above_ = -1;
  bool typesMade_ = false;
  // Per size: the two explosion types and one each of the kinds with sizes.
  std::array<std::int32_t, 3> explosion1_{}, explosion2_{}, ring_{}, ellipse_{}, smoke_{},
      smokeUp_{}, star_{}, spark_{}, flare_{}, cloud_{};
  std::int32_t firework_ = -1, rain_ = -1, snow_ = -1;
};

}  // namespace px
