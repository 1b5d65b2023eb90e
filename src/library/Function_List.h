// The built-in functions game code can call: their names and argument
// counts in registration order, and the handler tables each function family
// provides. Registration joins the two, so a function is registered only
// once a family implements it, and always at its place in the order.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "code/Code_Function.h"

namespace px {

struct FunctionSignature {
  std::string_view name;
  std::int32_t argCount;  // kAnyArgumentCount: 0 to 16 arguments
};

// A family's implementation of one function of the signature list.
struct FunctionDef {
  std::string_view name;
  BuiltinHandler handler;
};

// All 1,252 signatures, in registration order.
std::span<const FunctionSignature> BuiltinFunctionSignatures();

// The handler table of every family that implements functions.
std::span<const std::span<const FunctionDef>> BuiltinFunctionFamilies();

}  // namespace px
