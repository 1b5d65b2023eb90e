// The part_system_*, part_particles_* and element functions: particle
// systems by number and their emitters, attractors, destroyers,
// deflectors and changers by number within the system. A missing system
// or element makes every function do nothing and the questions answer 0;
// making an element in a missing system gives -1.
#include "library/Function_Particles.h"
#include "library/Function_Support.h"
#include "particles/Particle_Main.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

#define PX_PS_FN(name)                                                                 \
  void name(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, \
            [[maybe_unused]] Args a)

ParticleSystem* SystemArg(Runtime& rt, const RValue& v) {
  return rt.particles.particles.System(IntArg(v));
}

template <class F>
void WithSystem(Runtime& rt, const RValue& id, F&& f) {
  if (ParticleSystem* s = SystemArg(rt, id)) f(*s);
}

// ---- Systems ----

PX_PS_FN(SystemCreate) {
  result.setReal(rt.particles.particles.CreateSystem());
}
PX_PS_FN(SystemDestroy) {
  (void)result;
  rt.particles.particles.DestroySystem(IntArg(a[0]));
}
PX_PS_FN(SystemExists) {
  result.setReal(Truth(SystemArg(rt, a[0]) != nullptr));
}
PX_PS_FN(SystemClear) {
  (void)result;
  rt.particles.particles.ClearSystem(IntArg(a[0]));
}
PX_PS_FN(SystemDrawOrder) {
  (void)result;
  WithSystem(rt, a[0], [&](ParticleSystem& s) { s.draw_old_to_new = FlagArg(a[1]); });
}
PX_PS_FN(SystemDepth) {
  (void)result;
  WithSystem(rt, a[0], [&](ParticleSystem& s) { s.depth = a[1].real; });
}
PX_PS_FN(SystemPosition) {
  (void)result;
  WithSystem(rt, a[0], [&](ParticleSystem& s) {
    s.x = a[1].real;
    s.y = a[2].real;
  });
}
PX_PS_FN(SystemAutomaticUpdate) {
  (void)result;
  WithSystem(rt, a[0], [&](ParticleSystem& s) { s.auto_update = FlagArg(a[1]); });
}
PX_PS_FN(SystemAutomaticDraw) {
  (void)result;
  WithSystem(rt, a[0], [&](ParticleSystem& s) { s.auto_draw = FlagArg(a[1]); });
}
PX_PS_FN(SystemUpdate) {
  (void)result;
  rt.particles.particles.Update(IntArg(a[0]));
}
PX_PS_FN(SystemDrawit) {
  (void)result;
  rt.particles.particles.Draw(IntArg(a[0]), rt.resources.sprites, rt.display.draw,
                              rt.display.device);
}

// ---- Particles ----

PX_PS_FN(ParticlesCreate) {
  (void)result;
  rt.particles.particles.CreateParticles(IntArg(a[0]), a[1].real, a[2].real, IntArg(a[3]),
                                         RealToCount(a[4].real));
}
PX_PS_FN(ParticlesCreateColor) {
  (void)result;
  rt.particles.particles.CreateParticlesColor(IntArg(a[0]), a[1].real, a[2].real, IntArg(a[3]),
                                              static_cast<std::uint32_t>(IntArg(a[4])) & 0xFFFFFF,
                                              RealToCount(a[5].real));
}
PX_PS_FN(ParticlesClear) {
  (void)result;
  WithSystem(rt, a[0], [](ParticleSystem& s) { s.particles.Clear(); });
}
PX_PS_FN(ParticlesCount) {
  if (const ParticleSystem* s = SystemArg(rt, a[0]))
    result.setReal(static_cast<double>(s->particles.count()));
}

// ---- Elements: the same five operations for every kind ----

template <class E>
using TableOf = ElementTable<E> ParticleSystem::*;

template <class E, TableOf<E> kTable>
struct ElementFns {
  static E* Get(Runtime& rt, Args a) {
    ParticleSystem* s = SystemArg(rt, a[0]);
    return s ? (s->*kTable).Get(IntArg(a[1])) : nullptr;
  }
  static PX_PS_FN(Create) {
    ParticleSystem* s = SystemArg(rt, a[0]);
    result.setReal(s ? (s->*kTable).Create() : -1);
  }
  static PX_PS_FN(Destroy) {
    (void)result;
    WithSystem(rt, a[0], [&](ParticleSystem& s) { (s.*kTable).Destroy(IntArg(a[1])); });
  }
  static PX_PS_FN(DestroyAll) {
    (void)result;
    WithSystem(rt, a[0], [](ParticleSystem& s) { (s.*kTable).DestroyAll(); });
  }
  static PX_PS_FN(Exists) { result.setReal(Truth(Get(rt, a) != nullptr)); }
  static PX_PS_FN(Clear) {
    (void)result;
    WithSystem(rt, a[0], [&](ParticleSystem& s) { (s.*kTable).Clear(IntArg(a[1])); });
  }
  // Runs `set` on the element named by the first two arguments.
  template <class F>
  static void With(Runtime& rt, Args a, F&& set) {
    if (E* e = Get(rt, a)) set(*e);
  }
};

using EmitterFns = ElementFns<Emitter, &ParticleSystem::emitters>;
using AttractorFns = ElementFns<Attractor, &ParticleSystem::attractors>;
using DestroyerFns = ElementFns<Destroyer, &ParticleSystem::destroyers>;
using DeflectorFns = ElementFns<Deflector, &ParticleSystem::deflectors>;
using ChangerFns = ElementFns<Changer, &ParticleSystem::changers>;

// The box of arguments 2 to 5.
template <class E>
void SetBox(E& e, Args a) {
  e.xmin = a[2].real;
  e.xmax = a[3].real;
  e.ymin = a[4].real;
  e.ymax = a[5].real;
}

PX_PS_FN(EmitterRegion) {
  (void)result;
  EmitterFns::With(rt, a, [&](Emitter& e) {
    SetBox(e, a);
    e.shape = IntArg(a[6]);
    e.distribution = IntArg(a[7]);
  });
}
PX_PS_FN(EmitterBurst) {
  (void)result;
  rt.particles.particles.Burst(IntArg(a[0]), IntArg(a[1]), IntArg(a[2]), RealToCount(a[3].real));
}
PX_PS_FN(EmitterStream) {
  (void)result;
  EmitterFns::With(rt, a, [&](Emitter& e) {
    e.type = IntArg(a[2]);
    e.number = IntArg(a[3]);
  });
}
PX_PS_FN(AttractorPosition) {
  (void)result;
  AttractorFns::With(rt, a, [&](Attractor& e) {
    e.x = a[2].real;
    e.y = a[3].real;
  });
}
PX_PS_FN(AttractorForce) {
  (void)result;
  AttractorFns::With(rt, a, [&](Attractor& e) {
    e.force = a[2].real;
    e.dist = a[3].real;
    e.kind = IntArg(a[4]);
    e.additive = FlagArg(a[5]);
  });
}
PX_PS_FN(DestroyerRegion) {
  (void)result;
  DestroyerFns::With(rt, a, [&](Destroyer& e) {
    SetBox(e, a);
    e.shape = IntArg(a[6]);
  });
}
PX_PS_FN(DeflectorRegion) {
  (void)result;
  DeflectorFns::With(rt, a, [&](Deflector& e) { SetBox(e, a); });
}
PX_PS_FN(DeflectorKind) {
  (void)result;
  DeflectorFns::With(rt, a, [&](Deflector& e) { e.kind = IntArg(a[2]); });
}
PX_PS_FN(DeflectorFriction) {
  (void)result;
  DeflectorFns::With(rt, a, [&](Deflector& e) { e.friction = a[2].real; });
}
PX_PS_FN(ChangerRegion) {
  (void)result;
  ChangerFns::With(rt, a, [&](Changer& e) {
    SetBox(e, a);
    e.shape = IntArg(a[6]);
  });
}
PX_PS_FN(ChangerTypes) {
  (void)result;
  ChangerFns::With(rt, a, [&](Changer& e) {
    e.type1 = IntArg(a[2]);
    e.type2 = IntArg(a[3]);
  });
}
PX_PS_FN(ChangerKind) {
  (void)result;
  ChangerFns::With(rt, a, [&](Changer& e) { e.kind = IntArg(a[2]); });
}

#define PX_ELEMENT_DEFS(prefix, Fns)                                               \
  {prefix "_create", Fns::Create}, {prefix "_destroy", Fns::Destroy},              \
      {prefix "_destroy_all", Fns::DestroyAll}, {prefix "_exists", Fns::Exists}, { \
    prefix "_clear", Fns::Clear                                                    \
  }

const FunctionDef kSystemFunctions[] = {
    {"part_system_create", SystemCreate},
    {"part_system_destroy", SystemDestroy},
    {"part_system_exists", SystemExists},
    {"part_system_clear", SystemClear},
    {"part_system_draw_order", SystemDrawOrder},
    {"part_system_depth", SystemDepth},
    {"part_system_position", SystemPosition},
    {"part_system_automatic_update", SystemAutomaticUpdate},
    {"part_system_automatic_draw", SystemAutomaticDraw},
    {"part_system_update", SystemUpdate},
    {"part_system_drawit", SystemDrawit},
    {"part_particles_create", ParticlesCreate},
    {"part_particles_create_color", ParticlesCreateColor},
    {"part_particles_clear", ParticlesClear},
    {"part_particles_count", ParticlesCount},
    PX_ELEMENT_DEFS("part_emitter", EmitterFns),
    {"part_emitter_region", EmitterRegion},
    {"part_emitter_burst", EmitterBurst},
    {"part_emitter_stream", EmitterStream},
    PX_ELEMENT_DEFS("part_attractor", AttractorFns),
    {"part_attractor_position", AttractorPosition},
    {"part_attractor_force", AttractorForce},
    PX_ELEMENT_DEFS("part_destroyer", DestroyerFns),
    {"part_destroyer_region", DestroyerRegion},
    PX_ELEMENT_DEFS("part_deflector", DeflectorFns),
    {"part_deflector_region", DeflectorRegion},
    {"part_deflector_kind", DeflectorKind},
    {"part_deflector_friction", DeflectorFriction},
    PX_ELEMENT_DEFS("part_changer", ChangerFns),
    {"part_changer_region", ChangerRegion},
    {"part_changer_types", ChangerTypes},
    {"part_changer_kind", ChangerKind},
};

}  // namespace

std::span<const FunctionDef> ParticleSystemFunctions() {
  return kSystemFunctions;
}

}  // namespace px
