// The built-in constants of game code, added to every new constant table.
#pragma once

#include <cstddef>

namespace px {

class CConstantTable;

inline constexpr std::size_t kBuiltinConstantCount = 289;

// Adds the built-in constants in their fixed order. A name may appear more
// than once with different values (the later entry is the one found).
void AddBuiltinConstants(CConstantTable& table);

}  // namespace px
