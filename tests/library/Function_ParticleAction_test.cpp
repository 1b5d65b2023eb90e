// The particle actions on their shared system and slots, and the effect
// action above or below the instances at a place relative to the caller.
#include <gtest/gtest.h>

#include "graphics/Graphics_TestSupport.h"
#include "world/Instance_Class.h"

namespace {

using namespace px;
using pxtest::TestRun;

struct ParticleActions : testing::Test {
  TestRun run;
  Runtime& rt = run.rt;
  CInstance self{rt.resources, 100001, 0, 50, 60};

  void SetUp() override { rt.settings.showErrors = false; }
  double Act(std::string_view name, std::vector<double> args, bool relative = false) {
    rt.vars.argumentRelative = relative;
    const double result = pxtest::CallFor(run, &self, name, args).real;
    rt.vars.argumentRelative = false;
    return result;
  }
  ParticleSystem* System() { return rt.particles.particles.System(rt.particles.actions.system); }
  std::string TakeReport() {
    std::string last = rt.code.report.last;
    rt.code.report.last.clear();
    return last;
  }
};

TEST_F(ParticleActions, EmittersBurstAndStreamTheTypesOfTheirSlots) {
  Act("action_partsyst_create", {-5});
  ASSERT_NE(System(), nullptr);
  EXPECT_DOUBLE_EQ(System()->depth, -5);
  Act("action_parttype_create", {2, 2, -1, 0.5, 0.5, 0});
  Act("action_parttype_life", {2, 40, 40});
  Act("action_partemit_create", {3, 0, 0, 10, 0, 20}, true);
  const Emitter& e = System()->emitters.items[0];
  EXPECT_DOUBLE_EQ(e.xmin, 50);
  EXPECT_DOUBLE_EQ(e.xmax, 60);
  EXPECT_DOUBLE_EQ(e.ymax, 80);

  Act("action_partemit_burst", {3, 2, 12});
  ASSERT_EQ(System()->particles.count(), 12u);
  EXPECT_EQ(System()->particles.lifetime[0], 40);
  Act("action_partemit_stream", {3, 2, 2});
  rt.particles.particles.Update(rt.particles.actions.system);
  EXPECT_EQ(System()->particles.count(), 14u);
  EXPECT_EQ(TakeReport(), "");
}

TEST_F(ParticleActions, AnEmptyEmitterSlotIsReported) {
  Act("action_partemit_burst", {4, 0, 5});
  EXPECT_NE(TakeReport().find("The particle emitter must first be created."), std::string::npos);
  Act("action_partemit_create", {4, 0, 0, 10, 0, 10});
  Act("action_partemit_destroy", {4});
  Act("action_partemit_stream", {4, 0, 5});
  EXPECT_NE(TakeReport().find("The particle emitter must first be created."), std::string::npos);
}

TEST_F(ParticleActions, MakingTheSystemAgainFreesTheSlotTypes) {
  Act("action_parttype_create", {0, 1, -1, 1, 1, 0});
  Act("action_parttype_secondary", {1, 0, 2, 0, 3});
  const std::int32_t first = rt.particles.actions.types[0];
  const ParticleType& t = *rt.particles.particles.Type(rt.particles.actions.types[1]);
  EXPECT_EQ(t.step_type, first);
  EXPECT_EQ(t.death_number, 3);
  Act("action_partsyst_create", {0});
  EXPECT_EQ(rt.particles.actions.types[0], -1);
  EXPECT_EQ(rt.particles.particles.Type(first), nullptr);
  // Slots out of range do nothing.
  Act("action_parttype_life", {16, 1, 1});
  Act("action_partemit_create", {-1, 0, 0, 1, 0, 1});
  EXPECT_EQ(TakeReport(), "");
}

TEST_F(ParticleActions, EffectActionPlacesRelativeAboveOrBelow) {
  Act("action_effect", {1, 5, 6, 1, 0xFF, 1}, true);
  const ParticleSystem* above = rt.particles.particles.System(rt.particles.effects.system(true));
  ASSERT_NE(above, nullptr);
  ASSERT_EQ(above->particles.count(), 1u);
  EXPECT_DOUBLE_EQ(above->particles.x[0], 55);
  EXPECT_DOUBLE_EQ(above->particles.y[0], 66);
  Act("action_effect", {1, 5, 6, 1, 0xFF, 0});
  const ParticleSystem* below = rt.particles.particles.System(rt.particles.effects.system(false));
  ASSERT_NE(below, nullptr);
  EXPECT_DOUBLE_EQ(below->particles.x[0], 5);
}

}  // namespace
