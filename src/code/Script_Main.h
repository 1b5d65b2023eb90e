// Scripts: their compiled code by position, look-ups by name, and the
// script functions of game code.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "code/Code_Main.h"
#include "code/Function_List.h"

namespace px {

struct Runtime;

inline constexpr const char* kMsgNoSuchScript = "Trying to execute non-existing script.";

// The compiled code of every script, by position; null where the position
// holds no script.
struct ScriptCodeTable {
  std::vector<std::unique_ptr<CCode>> code;
};

// Compiles every script of the game's script list in order. The first
// failure is a fatal report, "COMPILATION ERROR in Script: " + name + CR +
// the compile message, and gives false.
bool CompileScripts(Runtime& rt);
// The compiled code at a position, or null.
const CCode* ScriptCode(const Runtime& rt, std::int32_t position);
// The position of the script with exactly this name, or −1; empty entries
// never match.
std::int32_t FindScript(const Runtime& rt, std::string_view name);
// The name at a position, or "<undefined>".
std::string ScriptName(const Runtime& rt, std::int32_t position);

// script_exists, script_get_name, script_name, script_get_text, script_execute.
std::span<const FunctionDef> ScriptFunctions();

}  // namespace px
