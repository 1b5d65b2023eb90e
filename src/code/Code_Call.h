// Calls of compiled code with arguments, and the executor's way to the
// extension functions: it knows them only by id, and the run that prepared
// the packages carries the calls out.
#pragma once

#include <cstdint>

#include "code/Code_Function.h"

namespace px {

struct ScriptCore;
class CCode;
class CInstanceBase;

// Runs code the way a script call does: the first `count` arguments go into
// the argument slots (the others read real 0) and the caller's slots come
// back afterwards; the result starts as real 0. False after a run-time
// error, whose message is recorded in rt.code.error.
bool CallCodeWithArguments(ScriptCore& rt, const CCode& code, CInstanceBase* self,
                           CInstanceBase* other, RValue& result, const FunctionArgs& args,
                           std::int32_t count);

// Calls the extension function with that id. False after a failure, whose
// message is then recorded in rt.code.error. Defined by the run.
bool CallExtensionFunction(ScriptCore& rt, std::int32_t id, CInstanceBase* self,
                           CInstanceBase* other, RValue& result, const FunctionArgs& args,
                           std::int32_t count);

}  // namespace px
