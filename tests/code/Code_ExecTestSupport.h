// A small world for running game code in tests: a self (object 0) and an
// other (object 1) instance in the room, a log that test functions write to, and helpers that
// compile and run a text.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "code/Code_TestSupport.h"
#include "code/Script_Main.h"
#include "run/Runner_Code.h"
#include "world/Instance_Class.h"

namespace pxtest {

// "3", "-0.5", "'text'".
std::string Show(const px::RValue& v);

struct Outcome {
  bool ok = false;
  px::RValue result;
  // The recorded message after a failure.
  std::string error;
};

class ExecWorld {
 public:
  ExecWorld();
  ~ExecWorld();
  ExecWorld(const ExecWorld&) = delete;
  ExecWorld& operator=(const ExecWorld&) = delete;

  // Adds a script (compiled by Compile()).
  void AddScript(const std::string& name, const std::string& text);
  // Compiles the scripts added so far.
  void CompileScripts();
  // Compiles and runs a program (or an expression) for self and other.
  Outcome Run(std::string_view text, bool expression = false);
  // A new instance at the end of the room, with the next id.
  px::CInstance& Spawn(std::int32_t object);

  TestRun run;
  px::Runtime& rt = run.rt;
  px::CInstance* self = nullptr;
  px::CInstance* other = nullptr;
  // What log(...) wrote, one entry per call: its arguments joined by spaces.
  std::vector<std::string> log;
};

}  // namespace pxtest
