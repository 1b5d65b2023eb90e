// ScriptCore: the state game code runs on, and nothing more: the game's
// settings and resources (its scripts, constants and extension functions),
// the variables, and the code tables (functions, constants, the error
// record, the executor's shared state, the compiled scripts).
//
// The compiler and the executor take a ScriptCore. A run's Runtime is a
// ScriptCore with everything else around it; built-in functions and
// variables are handed that Runtime, which the core holds as its host.
#pragma once

#include "code/Code_State.h"
#include "code/Variable_Main.h"
#include "resources/Option_Main.h"
#include "resources/Resource_Chunks.h"

namespace px {

struct Runtime;

struct ScriptCore {
  explicit ScriptCore(Runtime& host) : host_(host) {}
  ScriptCore(const ScriptCore&) = delete;
  ScriptCore& operator=(const ScriptCore&) = delete;

  // The run this core belongs to, as built-in functions and variables get
  // it.
  Runtime& host() const { return host_; }

  GameSettings settings;
  GameResources resources;
  // The scripting language's variables: names, globals, argument slots.
  Variables vars;
  // Functions, constants and the code-error state of the scripting language.
  CodeState code;

 private:
  Runtime& host_;
};

}  // namespace px
