// The ready-made effects: each kind and size makes its particles in its
// types and numbers on the right system, lives and speeds follow the room
// speed, rain ignores the place, and a room start takes the effects away.
#include "particles/Particle_Effect.h"

#include <gtest/gtest.h>

#include <set>

#include "code/Function_TestSupport.h"

namespace {

using namespace px;

struct EffectTest : testing::Test {
  pxtest::TestRun run;
  Runtime& rt = run.rt;
  EffectContext context{30, 30, 640, 480};

  void SetUp() override { rt.random.seed = 99; }
  ParticleSystem* System(bool above) {
    return rt.particles.particles.System(rt.particles.effects.system(above));
  }
  // The particles of one effect made alone in the below system.
  const ParticleArrays& Make(int kind, int size, bool above = false) {
    rt.particles.effects.Clear();
    rt.particles.effects.Create(above, kind, 100, 50, size, 0x00FF00, context);
    return System(above)->particles;
  }
  const ParticleType& TypeOf(const ParticleArrays& p, std::size_t i) {
    return *rt.particles.particles.Type(p.type[i]);
  }
};

TEST_F(EffectTest, EveryKindAndSizeMakesItsParticles) {
  const struct {
    EffectType kind;
    std::size_t counts[3];
    std::int32_t shape;
  } cases[] = {
      {EffectType::Explosion, {21, 21, 21}, 10}, {EffectType::Ring, {1, 1, 1}, 6},
      {EffectType::Ellipse, {1, 1, 1}, 6},       {EffectType::Firework, {75, 150, 250}, 8},
      {EffectType::Smoke, {6, 11, 16}, 10},      {EffectType::SmokeUp, {6, 11, 16}, 10},
      {EffectType::Star, {1, 1, 1}, 4},          {EffectType::Spark, {1, 1, 1}, 9},
      {EffectType::Flare, {1, 1, 1}, 8},         {EffectType::Cloud, {1, 1, 1}, 10},
      {EffectType::Rain, {2, 5, 9}, 3},          {EffectType::Snow, {1, 3, 7}, 13},
  };
  for (const auto& c : cases) {
    const int kind = static_cast<int>(c.kind);
    std::set<std::int32_t> typesBySize[3];
    for (int size = 0; size < 3; ++size) {
      const ParticleArrays& p = Make(kind, size);
      ASSERT_EQ(p.count(), c.counts[size]) << "kind " << kind << " size " << size;
      EXPECT_EQ(TypeOf(p, 0).shape, c.shape) << "kind " << kind;
      for (std::size_t i = 0; i < p.count(); ++i) typesBySize[size].insert(p.type[i]);
    }
    const bool shared =
        c.kind == EffectType::Firework || c.kind == EffectType::Rain || c.kind == EffectType::Snow;
    EXPECT_EQ(typesBySize[0] == typesBySize[2], shared) << "kind " << kind;
  }
  // Other sizes count as medium.
  EXPECT_EQ(Make(3, 7).count(), 150u);
}

TEST_F(EffectTest, ExplosionsEndWithOneBlackParticleAndTakeTheCallColourOtherwise) {
  const ParticleArrays& p = Make(0, 1);
  for (std::size_t i = 0; i < 20; ++i) EXPECT_EQ(p.color[i], 0x00FF00u);
  EXPECT_EQ(p.color[20], 0u);
  EXPECT_NE(p.type[20], p.type[0]);
  EXPECT_DOUBLE_EQ(TypeOf(p, 0).size_min, 0.3);
  EXPECT_DOUBLE_EQ(TypeOf(p, 0).speed_incr, -0.18);
  EXPECT_EQ(TypeOf(p, 20).life_min, 17);
}

TEST_F(EffectTest, AboveAndBelowUseTheirOwnSystems) {
  rt.particles.effects.Create(true, 1, 0, 0, 1, 0, context);
  rt.particles.effects.Create(false, 1, 0, 0, 1, 0, context);
  EXPECT_DOUBLE_EQ(System(true)->depth, -100000);
  EXPECT_DOUBLE_EQ(System(false)->depth, 100000);
  EXPECT_EQ(System(true)->particles.count(), 1u);
  // A kind above 11 or below 0 makes nothing.
  rt.particles.effects.Create(true, 12, 0, 0, 1, 0, context);
  rt.particles.effects.Create(true, -1, 0, 0, 1, 0, context);
  EXPECT_EQ(System(true)->particles.count(), 1u);
  rt.particles.effects.Clear();
  EXPECT_EQ(System(true)->particles.count(), 0u);
}

TEST_F(EffectTest, RoomSpeedScalesLivesAndSpeeds) {
  const struct {
    double roomSpeed, fps, factor;
  } factors[] = {{30, 30, 1}, {60, 60, 0.5}, {60, 20, 1}, {60, 40, 0.75}, {60, 55, 0.5}};
  for (const auto& f : factors)
    EXPECT_DOUBLE_EQ(EffectSpeedFactor({f.roomSpeed, f.fps, 0, 0}), f.factor)
        << f.roomSpeed << " " << f.fps;

  const ParticleType slow = TypeOf(Make(0, 2), 0);
  context.roomSpeed = context.fps = 60;
  const ParticleType fast = TypeOf(Make(0, 2), 0);
  EXPECT_EQ(fast.life_min, 2 * slow.life_min);
  EXPECT_EQ(fast.life_max, 2 * slow.life_max);
  EXPECT_DOUBLE_EQ(fast.speed_min, slow.speed_min / 2);
  EXPECT_DOUBLE_EQ(fast.size_incr, slow.size_incr / 2);
}

TEST_F(EffectTest, RainIgnoresThePlaceAndFallsFromAboveTheRoom) {
  const ParticleArrays& p = Make(10, 2);
  for (std::size_t i = 0; i < p.count(); ++i) {
    EXPECT_GE(p.x[i], 0);
    EXPECT_LT(p.x[i], 1.2 * 640);
    EXPECT_GE(p.y[i], -30);
    EXPECT_LT(p.y[i], -10);
  }
  EXPECT_EQ(TypeOf(p, 0).life_min, 96);  // 480 × 0.2
  EXPECT_TRUE(TypeOf(p, 0).ang_relative);
}

TEST_F(EffectTest, SmallStarsTakeTheLowerBoundOfTheirReversedSizeRange) {
  const ParticleArrays& p = Make(6, 0);
  EXPECT_DOUBLE_EQ(p.size[0], 0.4);
}

TEST_F(EffectTest, EffectFunctionsReachTheSystemsAndARoomStartEndsThem) {
  pxtest::CallReal(run, "effect_create_above", {3, 10, 10, 0, 255});
  EXPECT_EQ(System(true)->particles.count(), 75u);
  pxtest::CallReal(run, "effect_clear", {});
  EXPECT_EQ(System(true)->particles.count(), 0u);
  pxtest::CallReal(run, "effect_create_below", {1, 10, 10, 1, 255});
  const std::int32_t below = rt.particles.effects.system(false);
  rt.particles.effects.DestroySystems();
  EXPECT_EQ(rt.particles.particles.System(below), nullptr);
  // A system the game destroyed is made again on the next use.
  pxtest::CallReal(run, "effect_create_below", {1, 10, 10, 1, 255});
  pxtest::CallReal(run, "part_system_destroy", {double(rt.particles.effects.system(false))});
  pxtest::CallReal(run, "effect_create_below", {1, 10, 10, 1, 255});
  EXPECT_EQ(System(false)->particles.count(), 1u);
}

}  // namespace
