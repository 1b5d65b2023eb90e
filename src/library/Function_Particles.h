// Built-in functions of particles: types, systems and their elements, the
// ready-made effects, and the particle actions.
#pragma once

#include <span>

#include "library/Function_List.h"

namespace px {

struct Runtime;
struct EffectContext;

std::span<const FunctionDef> ParticleTypeFunctions();
std::span<const FunctionDef> ParticleSystemFunctions();
std::span<const FunctionDef> ParticleActionFunctions();

// The room speed, measured frame rate and room size effects scale by.
EffectContext CurrentEffectContext(const Runtime& rt);

}  // namespace px
