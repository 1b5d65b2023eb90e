// The part_type_* functions: particle types by number. A missing type
// makes every function do nothing and the questions answer 0; there are
// no messages.
#include "library/Function_Particles.h"

#include "library/Function_Support.h"
#include "particles/Particle_Main.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

#define PX_TYPE_FN(name)                                                               \
  void name(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, \
            [[maybe_unused]] Args a)

// Runs `set` on the type named by the first argument when it exists.
template <class F>
void WithType(Runtime& rt, const RValue& id, F&& set) {
  if (ParticleType* t = rt.particles.particles.Type(IntArg(id))) set(*t);
}

#define PX_TYPE_SETTER(name, body)                                    \
  PX_TYPE_FN(name) {                                                  \
    (void)result;                                                     \
    WithType(rt, a[0], [&a]([[maybe_unused]] ParticleType & t) body); \
  }

PX_TYPE_FN(TypeCreate) {
  result.setReal(rt.particles.particles.CreateType());
}
PX_TYPE_FN(TypeDestroy) {
  (void)result;
  rt.particles.particles.DestroyType(IntArg(a[0]));
}
PX_TYPE_FN(TypeExists) {
  result.setReal(Truth(rt.particles.particles.Type(IntArg(a[0])) != nullptr));
}
PX_TYPE_FN(TypeClear) {
  (void)result;
  rt.particles.particles.ClearType(IntArg(a[0]));
}

PX_TYPE_SETTER(TypeShape, {
  t.shape = IntArg(a[1]);
  t.sprite = -1;
})
PX_TYPE_SETTER(TypeSprite, {
  t.sprite = IntArg(a[1]);
  t.sprite_animate = FlagArg(a[2]);
  t.sprite_stretch = FlagArg(a[3]);
  t.sprite_random = FlagArg(a[4]);
})
PX_TYPE_SETTER(TypeSize, {
  t.size_min = a[1].real;
  t.size_max = a[2].real;
  t.size_incr = a[3].real;
  t.size_wiggle = a[4].real;
})
PX_TYPE_SETTER(TypeScale, {
  t.xscale = a[1].real;
  t.yscale = a[2].real;
})
PX_TYPE_SETTER(TypeLife, {
  t.life_min = IntArg(a[1]);
  t.life_max = IntArg(a[2]);
})
PX_TYPE_SETTER(TypeStep, {
  t.step_number = IntArg(a[1]);
  t.step_type = IntArg(a[2]);
})
PX_TYPE_SETTER(TypeDeath, {
  t.death_number = IntArg(a[1]);
  t.death_type = IntArg(a[2]);
})
PX_TYPE_SETTER(TypeSpeed, {
  t.speed_min = a[1].real;
  t.speed_max = a[2].real;
  t.speed_incr = a[3].real;
  t.speed_wiggle = a[4].real;
})
PX_TYPE_SETTER(TypeDirection, {
  t.dir_min = a[1].real;
  t.dir_max = a[2].real;
  t.dir_incr = a[3].real;
  t.dir_wiggle = a[4].real;
})
PX_TYPE_SETTER(TypeOrientation, {
  t.ang_min = a[1].real;
  t.ang_max = a[2].real;
  t.ang_incr = a[3].real;
  t.ang_wiggle = a[4].real;
  t.ang_relative = FlagArg(a[5]);
})
PX_TYPE_SETTER(TypeGravity, {
  t.grav_amount = a[1].real;
  t.grav_dir = a[2].real;
})

// Sets the colour mode and its first `count` values, rounded.
void SetColors(ParticleType& t, ColorMode mode, Args a, int count) {
  t.color_mode = mode;
  for (int k = 0; k < count; ++k)
    t.color[static_cast<std::size_t>(k)] = IntArg(a[static_cast<std::size_t>(k + 1)]);
}
PX_TYPE_SETTER(TypeColor1, { SetColors(t, ColorMode::One, a, 1); })
PX_TYPE_SETTER(TypeColor2, { SetColors(t, ColorMode::Two, a, 2); })
PX_TYPE_SETTER(TypeColor3, { SetColors(t, ColorMode::Three, a, 3); })
PX_TYPE_SETTER(TypeColorMix, { SetColors(t, ColorMode::Mix, a, 2); })
PX_TYPE_SETTER(TypeColorRgb, { SetColors(t, ColorMode::Rgb, a, 6); })
PX_TYPE_SETTER(TypeColorHsv, { SetColors(t, ColorMode::Hsv, a, 6); })

PX_TYPE_SETTER(TypeAlpha1, { t.alpha1 = t.alpha2 = t.alpha3 = a[1].real; })
PX_TYPE_SETTER(TypeAlpha2, {
  t.alpha1 = a[1].real;
  t.alpha2 = (a[1].real + a[2].real) / 2;
  t.alpha3 = a[2].real;
})
PX_TYPE_SETTER(TypeAlpha3, {
  t.alpha1 = a[1].real;
  t.alpha2 = a[2].real;
  t.alpha3 = a[3].real;
})
PX_TYPE_SETTER(TypeBlend, { t.additive = FlagArg(a[1]); })

const FunctionDef kTypeFunctions[] = {
    {"part_type_create", TypeCreate},       {"part_type_destroy", TypeDestroy},
    {"part_type_exists", TypeExists},       {"part_type_clear", TypeClear},
    {"part_type_shape", TypeShape},         {"part_type_sprite", TypeSprite},
    {"part_type_size", TypeSize},           {"part_type_scale", TypeScale},
    {"part_type_life", TypeLife},           {"part_type_step", TypeStep},
    {"part_type_death", TypeDeath},         {"part_type_speed", TypeSpeed},
    {"part_type_direction", TypeDirection}, {"part_type_orientation", TypeOrientation},
    {"part_type_gravity", TypeGravity},     {"part_type_color_mix", TypeColorMix},
    {"part_type_color_rgb", TypeColorRgb},  {"part_type_color_hsv", TypeColorHsv},
    {"part_type_color1", TypeColor1},       {"part_type_color2", TypeColor2},
    {"part_type_color3", TypeColor3},       {"part_type_color", TypeColor3},
    {"part_type_alpha1", TypeAlpha1},       {"part_type_alpha2", TypeAlpha2},
    {"part_type_alpha3", TypeAlpha3},       {"part_type_alpha", TypeAlpha3},
    {"part_type_blend", TypeBlend},
};

}  // namespace

std::span<const FunctionDef> ParticleTypeFunctions() {
  return kTypeFunctions;
}

}  // namespace px
