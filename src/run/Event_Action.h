// Running an event's action list: blocks, else, repeat, exit, questions,
// applies-to and relative; and the library initialization code.
#pragma once

#include "world/Instance_Class.h"

namespace px {

struct Runtime;
class CEvent;
class CAction;
class CCode;

// Runs the list from its first action until its end, an exit or a pending
// change. Actions that were never prepared run nothing.
void RunActions(Runtime& rt, CInstance* self, CInstance* other, const CEvent& event);

// Compiles and runs each text of the library initialization code for a
// temporary instance. False after a compile error (reported as fatal).
bool RunLibraryInitCode(Runtime& rt);

}  // namespace px
