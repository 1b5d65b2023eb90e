// The operators of game code, shared by the executor and by constant
// folding in the compiler. Each returns null on success or the error
// message; on success the result has replaced the (left) value.
#pragma once

#include "code/Code_Token.h"
#include "code/Code_Value.h"

namespace px {

// Not, Minus, Plus or BitNot on a real.
const char* UnaryOperation(TokenKind op, RValue& value);
// A binary operator code (Equal … ShiftRight, And, Or, Xor; Assign compares
// like Equal). The left value becomes the result.
const char* BinaryOperation(TokenKind op, RValue& left, const RValue& right);

}  // namespace px
