// A compact text form of compiled trees, so tests can state a whole tree in
// one line: constants as numbers or "quoted", variables as name@prefix
// (fixed) or (var name prefix indices...), calls as name(args), operators
// and statements as (op children...).
#pragma once

#include <string>

#include "code/Code_Main.h"
#include "run/Runtime.h"

namespace pxtest {

std::string TreeText(const px::Runtime& rt, const px::RToken& node);

// Compiles a unit in a run, returning its tree text, or "error: " and the
// recorded message.
std::string CompileText(px::Runtime& rt, const std::string& source, bool expression = false);

}  // namespace pxtest
