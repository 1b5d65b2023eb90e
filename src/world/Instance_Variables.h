// The built-in variables of instances (x … timeline_loop, in registration
// order) and the room's instance_count and instance_id.
#pragma once

#include <span>

#include "code/Variable_BuiltIn.h"

namespace px {

std::span<const RBuiltinVariable> InstanceVariableEntries();

bool GetInstanceCount(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out);
bool GetInstanceId(Runtime& rt, CInstanceBase&, std::int32_t flat, RValue& out);

}  // namespace px
