// Particle types and systems through the part_* functions: one update
// step against values worked out by hand (life, motion, gravity,
// attractors, deflectors, changers, destroyers, step and death particles,
// appearance), emitters, and what bad ids and counts do.
#include "particles/Particle_Main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "code/Function_TestSupport.h"
#include "graphics/Graphics_Color.h"

namespace {

using namespace px;

struct ParticleTest : testing::Test {
  pxtest::TestRun run;
  Runtime& rt = run.rt;
  std::int32_t ps = -1;

  void SetUp() override {
    rt.random.seed = 12345;
    ps = static_cast<std::int32_t>(Call("part_system_create", {}));
  }
  double Call(std::string_view name, std::initializer_list<double> args) {
    return pxtest::CallReal(run, name, args);
  }
  // A type that moves straight: speed, direction and life fixed.
  std::int32_t StraightType(double speed, double direction, double life) {
    const double t = Call("part_type_create", {});
    Call("part_type_speed", {t, speed, speed, 0, 0});
    Call("part_type_direction", {t, direction, direction, 0, 0});
    Call("part_type_life", {t, life, life});
    return static_cast<std::int32_t>(t);
  }
  void Create(double x, double y, std::int32_t type, double n = 1) {
    Call("part_particles_create", {double(ps), x, y, double(type), n});
  }
  void Update() { Call("part_system_update", {double(ps)}); }
  ParticleArrays& P() { return rt.particles.particles.System(ps)->particles; }
  std::size_t Count() {
    return static_cast<std::size_t>(Call("part_particles_count", {double(ps)}));
  }
};

TEST_F(ParticleTest, LifeMotionGravityAndAlphaStepByStep) {
  const std::int32_t t = StraightType(2, 0, 3);
  Call("part_type_gravity", {double(t), 1, 270});
  Call("part_type_alpha3", {double(t), 1, 0.5, 0});
  Create(10, 10, t);

  // Velocity (2, 0) plus gravity (0, 1) down the screen.
  Update();
  ASSERT_EQ(Count(), 1u);
  EXPECT_EQ(P().age[0], 1);
  EXPECT_NEAR(P().x[0], 12, 1e-9);
  EXPECT_NEAR(P().y[0], 11, 1e-9);
  EXPECT_NEAR(P().xprevious[0], 10, 1e-9);
  EXPECT_NEAR(P().speed[0], std::sqrt(5.0), 1e-9);
  EXPECT_NEAR(P().direction[0], 360 - std::atan2(1, 2) * 180 / M_PI, 1e-9);
  EXPECT_NEAR(P().alpha[0], 1.0 / 3 * 1 + 2.0 / 3 * 0.5, 1e-9);

  Update();
  EXPECT_NEAR(P().x[0], 14, 1e-9);
  EXPECT_NEAR(P().y[0], 13, 1e-9);
  EXPECT_NEAR(P().alpha[0], 2.0 / 3 * 0.5, 1e-9);

  Update();  // age 3 reaches the lifetime
  EXPECT_EQ(Count(), 0u);
}

TEST_F(ParticleTest, DeathAndStepParticlesAppearAtTheirParentsPlace) {
  const std::int32_t child = StraightType(0, 0, 100);
  const std::int32_t parent = StraightType(1, 0, 2);
  Call("part_type_step", {double(parent), 1, double(child)});
  Call("part_type_death", {double(parent), 3, double(child)});
  Create(0, 0, parent);

  // Step 1: the parent lives, makes one child at (0, 0), then moves.
  Update();
  ASSERT_EQ(Count(), 2u);
  EXPECT_EQ(P().type[0], parent);
  EXPECT_DOUBLE_EQ(P().x[0], 1);
  EXPECT_EQ(P().type[1], child);
  EXPECT_DOUBLE_EQ(P().x[1], 0);
  // Made in the life pass, the child is not aged in it.
  EXPECT_EQ(P().age[1], 0);

  // Step 2: the parent dies at x = 1 and makes three children there; the
  // first child ages; order is kept with the dead one gone.
  Update();
  ASSERT_EQ(Count(), 4u);
  EXPECT_EQ(P().type[0], child);
  EXPECT_EQ(P().age[0], 1);
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(P().type[i], child);
    EXPECT_DOUBLE_EQ(P().x[i], 1);
    EXPECT_EQ(P().age[i], 0);
  }
}

TEST_F(ParticleTest, LifetimeOfOneDiesAtTheFirstUpdate) {
  const std::int32_t child = StraightType(0, 0, 100);
  const std::int32_t t = StraightType(5, 0, 1);
  Call("part_type_death", {double(t), 2, double(child)});
  Create(7, 8, t);
  Update();
  ASSERT_EQ(Count(), 2u);
  EXPECT_EQ(P().type[0], child);
  EXPECT_DOUBLE_EQ(P().x[0], 7);
}

TEST_F(ParticleTest, AttractorsPullByKindAndAdditivity) {
  const struct {
    double kind, additive, x, speed;
  } cases[] = {
      {0, 1, 11, 1},        // constant force joins the velocity
      {0, 0, 11, 0},        // a displacement only: the speed stays 0
      {1, 1, 10.9, 0.9},    // linear: force × (100 − 10) / 100
      {2, 1, 10.81, 0.81},  // quadratic
  };
  for (const auto& c : cases) {
    Call("part_system_clear", {double(ps)});
    const double a = Call("part_attractor_create", {double(ps)});
    Call("part_attractor_position", {double(ps), a, 20, 10});
    Call("part_attractor_force", {double(ps), a, 1, 100, c.kind, c.additive});
    Create(10, 10, StraightType(0, 0, 100));
    Update();
    EXPECT_NEAR(P().x[0], c.x, 1e-9) << "kind " << c.kind << " additive " << c.additive;
    EXPECT_NEAR(P().y[0], 10, 1e-9);
    EXPECT_NEAR(P().speed[0], c.speed, 1e-9);
  }
  // Out of reach the attractor does nothing.
  Call("part_system_clear", {double(ps)});
  const double a = Call("part_attractor_create", {double(ps)});
  Call("part_attractor_position", {double(ps), a, 20, 10});
  Call("part_attractor_force", {double(ps), a, 1, 5, 0, 1});
  Create(10, 10, StraightType(0, 0, 100));
  Update();
  EXPECT_DOUBLE_EQ(P().x[0], 10);
}

TEST_F(ParticleTest, DeflectorsBounceWithFriction) {
  const std::int32_t right = StraightType(2, 0, 100);
  const std::int32_t down = StraightType(2, 270, 100);
  const double d = Call("part_deflector_create", {double(ps)});
  Call("part_deflector_region", {double(ps), d, 11, 20, 11, 20});
  Call("part_deflector_friction", {double(ps), d, 0.5});

  Call("part_deflector_kind", {double(ps), d, 1});  // horizontal
  Create(10, 15, right);
  Update();
  EXPECT_NEAR(P().x[0], 8, 1e-9);
  EXPECT_NEAR(P().direction[0], 180, 1e-9);
  EXPECT_DOUBLE_EQ(P().speed[0], 1.5);

  Call("part_particles_clear", {double(ps)});
  Call("part_deflector_kind", {double(ps), d, 0});  // vertical
  Create(15, 10, down);
  Update();
  EXPECT_NEAR(P().y[0], 8, 1e-9);
  EXPECT_NEAR(P().direction[0], 90, 1e-9);

  // A box of no width deflects nothing.
  Call("part_particles_clear", {double(ps)});
  Call("part_deflector_region", {double(ps), d, 12, 12, 0, 100});
  Create(10, 15, right);
  Update();
  EXPECT_NEAR(P().x[0], 12, 1e-9);
}

TEST_F(ParticleTest, ChangersTurnTypesByKind) {
  const std::int32_t from = StraightType(1, 0, 100);
  const std::int32_t to = StraightType(3, 90, 50);
  Call("part_type_color1", {double(to), 0x0000FF});
  Call("part_type_size", {double(to), 2, 2, 0, 0});
  const double c = Call("part_changer_create", {double(ps)});
  Call("part_changer_region", {double(ps), c, 0, 20, 0, 20, 0});
  Call("part_changer_types", {double(ps), c, double(from), double(to)});
  const struct {
    double kind;
    std::int32_t lifetime;
    double speed;
    std::uint32_t color;
    double size;
  } cases[] = {
      {0, 50, 3, 0x0000FF, 2},   // all: the new particle, age 0
      {1, 100, 1, 0x0000FF, 2},  // shape: looks only
      {2, 100, 3, 0xFFFFFF, 1},  // motion: speed and direction only
  };
  for (const auto& k : cases) {
    Call("part_particles_clear", {double(ps)});
    Call("part_changer_kind", {double(ps), c, k.kind});
    Create(5, 5, from);
    Update();
    ASSERT_EQ(Count(), 1u);
    EXPECT_EQ(P().type[0], to) << "kind " << k.kind;
    EXPECT_EQ(P().lifetime[0], k.lifetime) << "kind " << k.kind;
    EXPECT_DOUBLE_EQ(P().speed[0], k.speed) << "kind " << k.kind;
    EXPECT_EQ(P().color[0], k.color) << "kind " << k.kind;
    EXPECT_DOUBLE_EQ(P().size[0], k.size) << "kind " << k.kind;
  }
}

TEST_F(ParticleTest, DestroyersRemoveByShape) {
  const std::int32_t still = StraightType(0, 0, 100);
  const double d = Call("part_destroyer_create", {double(ps)});
  const struct {
    double shape;
    std::size_t left;
  } cases[] = {{0, 0}, {1, 4}, {2, 4}, {3, 5}};
  for (const auto& c : cases) {
    Call("part_particles_clear", {double(ps)});
    Call("part_destroyer_region", {double(ps), d, 0, 100, 0, 100, c.shape});
    // The centre and the four corners of the box.
    for (const auto& [x, y] : {std::pair{50.0, 50.0}, {1, 1}, {99, 1}, {1, 99}, {99, 99}})
      Create(x, y, still);
    Update();
    EXPECT_EQ(Count(), c.left) << "shape " << c.shape;
  }
}

TEST_F(ParticleTest, ColourOverLifeAndAlphaFade) {
  const std::int32_t t = StraightType(0, 0, 4);
  Call("part_type_color2", {double(t), 0x0000FF, 0xFF0000});
  Call("part_type_alpha2", {double(t), 1, 0});
  Create(0, 0, t);
  EXPECT_EQ(P().color[0], 0x0000FFu);
  Update();
  Update();  // half its life
  EXPECT_EQ(P().color[0], MergeColor(0x0000FF, 0xFF0000, 0.5));
  EXPECT_DOUBLE_EQ(P().alpha[0], 0.5);
  Update();
  EXPECT_DOUBLE_EQ(P().alpha[0], 0.25);

  const std::int32_t three = StraightType(0, 0, 4);
  Call("part_type_color3", {double(three), 0x0000FF, 0x00FF00, 0xFF0000});
  Call("part_particles_clear", {double(ps)});
  Create(0, 0, three);
  Update();  // a quarter: halfway from the first colour to the second
  EXPECT_EQ(P().color[0], MergeColor(0x0000FF, 0x00FF00, 0.5));
  Update();
  Update();  // three quarters: halfway from the second to the third
  EXPECT_EQ(P().color[0], MergeColor(0x00FF00, 0xFF0000, 0.5));
}

TEST_F(ParticleTest, StreamsBurstEveryStepAndLinesLieOnTheDiagonal) {
  const std::int32_t t = StraightType(0, 0, 100);
  const double e = Call("part_emitter_create", {double(ps)});
  Call("part_emitter_region", {double(ps), e, 10, 30, 100, 140, 3, 0});
  Call("part_emitter_burst", {double(ps), e, double(t), 20});
  ASSERT_EQ(Count(), 20u);
  for (std::size_t i = 0; i < 20; ++i)
    EXPECT_NEAR((P().x[i] - 10) / 20, (P().y[i] - 100) / 40, 1e-12);

  Call("part_emitter_stream", {double(ps), e, double(t), 3});
  Update();
  Update();
  EXPECT_EQ(Count(), 26u);
  // An emitter of no size puts every particle on its corner.
  Call("part_emitter_region", {double(ps), e, 5, 5, 6, 6, 1, 1});
  Call("part_particles_clear", {double(ps)});
  Call("part_emitter_burst", {double(ps), e, double(t), 4});
  for (std::size_t i = 0; i < Count(); ++i) {
    EXPECT_DOUBLE_EQ(P().x[i], 5);
    EXPECT_DOUBLE_EQ(P().y[i], 6);
  }
}

TEST_F(ParticleTest, NegativeStepNumberMakesOneNowAndThen) {
  const std::int32_t child = StraightType(0, 0, 1000);
  const std::int32_t parent = StraightType(0, 0, 1000);
  Call("part_type_step", {double(parent), -10, double(child)});
  Create(0, 0, parent, 1000);
  Update();
  const std::size_t made = Count() - 1000;
  EXPECT_GT(made, 60u);
  EXPECT_LT(made, 140u);
}

TEST_F(ParticleTest, BadIdsCountsAndLivesDoNothingHarmful) {
  const std::int32_t t = StraightType(0, 0, 10);
  Create(0, 0, t, -5);
  EXPECT_EQ(Count(), 0u);
  Create(0, 0, 999);
  EXPECT_EQ(Count(), 0u);
  EXPECT_EQ(Call("part_particles_count", {99}), 0);
  EXPECT_EQ(Call("part_emitter_create", {99}), -1);
  EXPECT_EQ(Call("part_emitter_exists", {double(ps), 3}), 0);

  // A reversed life range gives its lower bound; a life of 0 dies at once.
  Call("part_type_life", {double(t), 30, 20});
  Create(0, 0, t);
  EXPECT_EQ(P().lifetime[0], 30);
  Call("part_type_life", {double(t), 0, 0});
  Create(0, 0, t);
  Update();
  EXPECT_EQ(Count(), 1u);

  // A destroyed type frees its number for the next one.
  Call("part_type_destroy", {double(t)});
  EXPECT_EQ(Call("part_type_exists", {double(t)}), 0);
  Call("part_type_size", {double(t), 5, 5, 0, 0});
  EXPECT_EQ(Call("part_type_create", {}), t);
  EXPECT_EQ(rt.particles.particles.Type(t)->size_min, 1);
}

TEST_F(ParticleTest, ATypeThatMakesItselfOnDeathStopsAtTheSystemLimit) {
  const std::int32_t t = StraightType(0, 0, 1);
  Call("part_type_death", {double(t), 10, double(t)});
  Create(0, 0, t);
  std::size_t most = 0;
  for (int k = 0; k < 8; ++k) {
    Update();
    EXPECT_LE(Count(), kMaxParticlesPerSystem);
    most = std::max(most, Count());
  }
  EXPECT_GT(Count(), 0u);
  EXPECT_GT(most, kMaxParticlesPerSystem / 2);
}

TEST_F(ParticleTest, SystemsAndTypesReuseTheLowestFreeNumber) {
  const double second = Call("part_system_create", {});
  Call("part_system_destroy", {double(ps)});
  EXPECT_EQ(Call("part_system_exists", {double(ps)}), 0);
  EXPECT_EQ(Call("part_system_create", {}), ps);
  EXPECT_EQ(second, ps + 1);
}

}  // namespace
