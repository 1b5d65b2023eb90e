// The built-in variables of instances (x … timeline_loop, in registration
// order) and the room's instance_count and instance_id.
#pragma once

#include <span>

#include "code/Variable_BuiltIn.h"

namespace px {

std::span<const RBuiltinVariable> InstanceVariableEntries();

// score, lives and health; lives and health falling to 0 or below raise
// their events for every instance.
bool GetScore(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out);
bool SetScore(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v);
bool GetLives(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out);
bool SetLives(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v);
bool GetHealth(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out);
bool SetHealth(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& v);
// Setting them from actions and functions, with the same events.
void SetGameLives(Runtime& rt, std::int32_t lives);
void SetGameHealth(Runtime& rt, double health);

bool GetInstanceCount(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out);
bool GetInstanceId(Runtime& rt, CInstanceBase&, std::int32_t flat, RValue& out);

}  // namespace px
