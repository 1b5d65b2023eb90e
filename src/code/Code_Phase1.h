// Phase 1 of compiling: cutting the text into tokens.
#pragma once

#include <string_view>
#include <vector>

#include "code/Code_Main.h"
#include "code/Code_Token.h"

namespace px {

// Lexes the whole text (ending in the look-ahead padding) into tokens that
// point into it, closed by an end token. An invalid character is the
// compile error "Unexpected symbol." at its position.
bool LexCode(const CompileContext& ctx, std::string_view text, std::vector<RToken1>& tokens);

}  // namespace px
