// Phase 4 of compiling: the post-pass over the syntax tree.
#pragma once

#include "code/Code_Main.h"
#include "code/Code_Token.h"

namespace px {

// Walks the tree depth-first, children before their parent, and
//  - records the names of each `var` as locals: later plain uses of them
//    get the instance prefix `local`;
//  - turns a variable whose prefix is a constant and that has no array index
//    into a FixedVariable ("Left hand side must be a real value." for a
//    string prefix);
//  - folds unary and binary operations on constants, reporting an operator
//    error at the (right) operand.
// Trees deeper than kMaxNesting are refused.
bool PostProcess(const CompileContext& ctx, RToken& root);

// Folding leaves string results longer than this to run time, so that a
// compiled tree stays small whatever repeat counts the text holds.
inline constexpr std::size_t kMaxFoldedStringLength = 4096;

}  // namespace px
