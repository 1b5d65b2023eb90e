// The instance and event function families of the scripting language.
#pragma once

#include <cstdint>
#include <span>

#include "library/Function_List.h"

namespace px {

struct Runtime;
class CInstanceBase;

std::span<const FunctionDef> InstanceFunctions();
std::span<const FunctionDef> EventFunctions();
std::span<const FunctionDef> ActionFunctions();

// instance_number: self and other count themselves, all every instance, an
// id its instance, an object its family.
double CountInstances(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t obj);
// position_destroy: destroys every instance whose mask holds the point.
void DestroyAtPoint(Runtime& rt, double x, double y);

}  // namespace px
