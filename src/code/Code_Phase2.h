// Phase 2 of compiling: resolving names and literals.
#pragma once

#include <string_view>
#include <vector>

#include "code/Code_Main.h"
#include "code/Code_Token.h"

namespace px {

// An identifier followed by "(" becomes a function token with its function
// index ("Unknown function or script: " + name when there is none); any other
// identifier a constant token when it names a constant or resource, else a
// variable token with its variable index (new names are registered).
// Numbers and strings become constant tokens; the rest keep their kind.
bool ResolveTokens(const CompileContext& ctx, const std::vector<RToken1>& tokens,
                   std::vector<RToken2>& resolved);

// The value of a number token's characters: digits, any number of points
// (only the first one counts), or "$" and hexadecimal digits.
double NumberValue(std::string_view digits);

}  // namespace px
