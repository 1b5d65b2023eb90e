// The ready-made effects (effect_create_below, effect_create_above,
// effect_clear, action_effect) and the particle actions, which share one
// system with 16 type slots and 16 emitter slots. Positions of the actions
// are relative to the calling instance when the running action has its
// relative option on.
#include "library/Function_Particles.h"
#include "library/Function_Support.h"
#include "particles/Particle_State.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"
#include "world/Instance_Class.h"

namespace px {

namespace {

using Args = const FunctionArgs&;

constexpr char kNoEmitter[] = "The particle emitter must first be created.";

#define PX_PA_FN(name)                                                                       \
  void name(Runtime& rt, [[maybe_unused]] CInstanceBase* self, CInstanceBase*, std::int32_t, \
            RValue&, [[maybe_unused]] Args a)

std::uint32_t Colour(const RValue& v) {
  return static_cast<std::uint32_t>(IntArg(v)) & 0xFFFFFF;
}

// A position moved by the instance's when the action is relative.
double RelX(const Runtime& rt, CInstanceBase* self, double x) {
  const CInstance* i = AsInstance(self);
  return rt.vars.argumentRelative && i ? i->x + x : x;
}
double RelY(const Runtime& rt, CInstanceBase* self, double y) {
  const CInstance* i = AsInstance(self);
  return rt.vars.argumentRelative && i ? i->y + y : y;
}

// ---- Effects ----

void CreateEffect(Runtime& rt, bool above, Args a, double x, double y) {
  rt.particles.effects.Create(above, IntArg(a[0]), x, y, IntArg(a[3]), Colour(a[4]),
                              CurrentEffectContext(rt));
}

PX_PA_FN(EffectCreateBelow) {
  CreateEffect(rt, false, a, a[1].real, a[2].real);
}
PX_PA_FN(EffectCreateAbove) {
  CreateEffect(rt, true, a, a[1].real, a[2].real);
}
PX_PA_FN(EffectClear) {
  rt.particles.effects.Clear();
}
PX_PA_FN(ActionEffect) {
  CreateEffect(rt, FlagArg(a[5]), a, RelX(rt, self, a[1].real), RelY(rt, self, a[2].real));
}

// ---- The particle actions ----

ActionParticles& Slots(Runtime& rt) {
  return rt.particles.actions;
}

// The actions' system, made (at depth 0) when there is none.
std::int32_t ActionSystem(Runtime& rt) {
  Particles& p = rt.particles.particles;
  std::int32_t& id = Slots(rt).system;
  if (!p.System(id)) {
    id = p.CreateSystem();
    // The emitters were the old system's.
    Slots(rt).emitters.fill(-1);
  }
  return id;
}

// The slot named by an argument, or -1 outside 0..15.
int SlotArg(const RValue& v) {
  const std::int32_t slot = IntArg(v);
  return slot >= 0 && slot < ActionParticles::kSlots ? slot : -1;
}

// The type in a slot, made on first use; null for a slot out of range.
ParticleType* SlotType(Runtime& rt, const RValue& v) {
  const int slot = SlotArg(v);
  if (slot < 0) return nullptr;
  Particles& p = rt.particles.particles;
  std::int32_t& id = Slots(rt).types[static_cast<std::size_t>(slot)];
  if (!p.Type(id)) id = p.CreateType();
  return p.Type(id);
}

// The type number a slot holds, -1 for none.
std::int32_t SlotTypeId(Runtime& rt, const RValue& v) {
  const int slot = SlotArg(v);
  return slot < 0 ? -1 : Slots(rt).types[static_cast<std::size_t>(slot)];
}

// Frees the types of the slots; the system goes or is cleared by the caller.
void ForgetSlots(Runtime& rt) {
  for (const std::int32_t t : Slots(rt).types) rt.particles.particles.DestroyType(t);
  Slots(rt).Forget();
}

PX_PA_FN(PartsystCreate) {
  const std::int32_t ps = ActionSystem(rt);
  rt.particles.particles.ClearSystem(ps);
  rt.particles.particles.System(ps)->depth = a[0].real;
  ForgetSlots(rt);
}
PX_PA_FN(PartsystDestroy) {
  rt.particles.particles.DestroySystem(Slots(rt).system);
  Slots(rt).system = -1;
  ForgetSlots(rt);
}
PX_PA_FN(PartsystClear) {
  if (ParticleSystem* s = rt.particles.particles.System(Slots(rt).system)) s->particles.Clear();
}

// Shape, or the sprite when it exists, and the size range and increase.
void SetLook(Runtime& rt, ParticleType& t, std::int32_t shape, std::int32_t sprite) {
  t.shape = shape;
  t.sprite = -1;
  if (rt.resources.sprites.exists(sprite)) {
    t.sprite = sprite;
    t.sprite_animate = true;
    t.sprite_stretch = false;
    t.sprite_random = false;
  }
}

// (slot, shape, sprite, size min, size max, size increase)
PX_PA_FN(ParttypeCreate) {
  if (ParticleType* t = SlotType(rt, a[0])) {
    SetLook(rt, *t, IntArg(a[1]), IntArg(a[2]));
    t->size_min = a[3].real;
    t->size_max = a[4].real;
    t->size_incr = a[5].real;
  }
}
// (slot, shape, size min, size max, colour start, colour end)
PX_PA_FN(ParttypeCreateOld) {
  if (ParticleType* t = SlotType(rt, a[0])) {
    SetLook(rt, *t, IntArg(a[1]), -1);
    t->size_min = a[2].real;
    t->size_max = a[3].real;
    t->color_mode = ColorMode::Two;
    t->color[0] = Colour(a[4]);
    t->color[1] = Colour(a[5]);
  }
}
// (slot, changing (1) or mixed (0), colour 1, colour 2, alpha start, alpha end)
PX_PA_FN(ParttypeColor) {
  if (ParticleType* t = SlotType(rt, a[0])) {
    t->color_mode = IntArg(a[1]) == 1 ? ColorMode::Two : ColorMode::Mix;
    t->color[0] = Colour(a[2]);
    t->color[1] = Colour(a[3]);
    t->alpha1 = a[4].real;
    t->alpha2 = (a[4].real + a[5].real) / 2;
    t->alpha3 = a[5].real;
  }
}
// (slot, life min, life max)
PX_PA_FN(ParttypeLife) {
  if (ParticleType* t = SlotType(rt, a[0])) {
    t->life_min = IntArg(a[1]);
    t->life_max = IntArg(a[2]);
  }
}
// (slot, speed min, speed max, direction min, direction max, friction)
PX_PA_FN(ParttypeSpeed) {
  if (ParticleType* t = SlotType(rt, a[0])) {
    t->speed_min = a[1].real;
    t->speed_max = a[2].real;
    t->dir_min = a[3].real;
    t->dir_max = a[4].real;
    t->speed_incr = -a[5].real;
  }
}
// (slot, amount, direction)
PX_PA_FN(ParttypeGravity) {
  if (ParticleType* t = SlotType(rt, a[0])) {
    t->grav_amount = a[1].real;
    t->grav_dir = a[2].real;
  }
}
// (slot, step type slot, step number, death type slot, death number)
PX_PA_FN(ParttypeSecondary) {
  if (ParticleType* t = SlotType(rt, a[0])) {
    t->step_type = SlotTypeId(rt, a[1]);
    t->step_number = IntArg(a[2]);
    t->death_type = SlotTypeId(rt, a[3]);
    t->death_number = IntArg(a[4]);
  }
}

// (slot, shape, xmin, xmax, ymin, ymax)
PX_PA_FN(PartemitCreate) {
  const int slot = SlotArg(a[0]);
  if (slot < 0) return;
  ParticleSystem& s = *rt.particles.particles.System(ActionSystem(rt));
  std::int32_t& id = Slots(rt).emitters[static_cast<std::size_t>(slot)];
  if (!s.emitters.Get(id)) id = s.emitters.Create();
  Emitter& e = *s.emitters.Get(id);
  e.shape = IntArg(a[1]);
  e.distribution = 0;
  e.xmin = RelX(rt, self, a[2].real);
  e.xmax = RelX(rt, self, a[3].real);
  e.ymin = RelY(rt, self, a[4].real);
  e.ymax = RelY(rt, self, a[5].real);
}
PX_PA_FN(PartemitDestroy) {
  const int slot = SlotArg(a[0]);
  if (slot < 0) return;
  std::int32_t& id = Slots(rt).emitters[static_cast<std::size_t>(slot)];
  if (ParticleSystem* s = rt.particles.particles.System(Slots(rt).system)) s->emitters.Destroy(id);
  id = -1;
}

// The emitter of a slot; reports a slot without one.
Emitter* SlotEmitter(Runtime& rt, const RValue& v) {
  const int slot = SlotArg(v);
  ParticleSystem* s = rt.particles.particles.System(Slots(rt).system);
  Emitter* e = s && slot >= 0 ? s->emitters.Get(Slots(rt).emitters[static_cast<std::size_t>(slot)])
                              : nullptr;
  if (!e) RuntimeError(rt, kNoEmitter);
  return e;
}

// (emitter slot, type slot, number)
PX_PA_FN(PartemitBurst) {
  if (!SlotEmitter(rt, a[0])) return;
  const auto slot = static_cast<std::size_t>(SlotArg(a[0]));
  rt.particles.particles.Burst(Slots(rt).system, Slots(rt).emitters[slot], SlotTypeId(rt, a[1]),
                               RealToCount(a[2].real));
}
PX_PA_FN(PartemitStream) {
  if (Emitter* e = SlotEmitter(rt, a[0])) {
    e->type = SlotTypeId(rt, a[1]);
    e->number = IntArg(a[2]);
  }
}

const FunctionDef kActionFunctions[] = {
    {"effect_create_below", EffectCreateBelow},
    {"effect_create_above", EffectCreateAbove},
    {"effect_clear", EffectClear},
    {"action_effect", ActionEffect},
    {"action_partsyst_create", PartsystCreate},
    {"action_partsyst_destroy", PartsystDestroy},
    {"action_partsyst_clear", PartsystClear},
    {"action_parttype_create_old", ParttypeCreateOld},
    {"action_parttype_create", ParttypeCreate},
    {"action_parttype_color", ParttypeColor},
    {"action_parttype_life", ParttypeLife},
    {"action_parttype_speed", ParttypeSpeed},
    {"action_parttype_gravity", ParttypeGravity},
    {"action_parttype_secondary", ParttypeSecondary},
    {"action_partemit_create", PartemitCreate},
    {"action_partemit_destroy", PartemitDestroy},
    {"action_partemit_burst", PartemitBurst},
    {"action_partemit_stream", PartemitStream},
};

}  // namespace

EffectContext CurrentEffectContext(const Runtime& rt) {
  EffectContext c;
  if (const CRoom* room = rt.rooms.current ? &rt.rooms.current->data : nullptr) {
    c.roomSpeed = room->speed;
    c.roomWidth = room->width;
    c.roomHeight = room->height;
  }
  // Before a second has passed nothing is measured: the game is taken to
  // keep up.
  c.fps = rt.run.fps > 0 ? rt.run.fps : c.roomSpeed;
  return c;
}

std::span<const FunctionDef> ParticleActionFunctions() {
  return kActionFunctions;
}

}  // namespace px
