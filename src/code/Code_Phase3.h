// Phase 3 of compiling: parsing the resolved tokens into a syntax tree.
#pragma once

#include <vector>

#include "code/Code_Main.h"
#include "code/Code_Token.h"

namespace px {

// Parses a program (statements) or one expression. The token list ends
// with the end token. Every node takes the position of its first token;
// statement nodes that start with a keyword take that of the token after it.
bool ParseCode(const CompileContext& ctx, const std::vector<RToken2>& tokens, bool program,
               RToken& root);

}  // namespace px
