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

namespace px {

struct ScriptCore;

inline constexpr const char* kMsgNoSuchScript = "Trying to execute non-existing script.";

// The compiled code of every script, by position; null where the position
// holds no script.
struct ScriptCodeTable {
  std::vector<std::unique_ptr<CCode>> code;
};

// The compiled code at a position, or null.
const CCode* ScriptCode(const ScriptCore& rt, std::int32_t position);
// The position of the script with exactly this name, or −1; empty entries
// never match.
std::int32_t FindScript(const ScriptCore& rt, std::string_view name);
// The name at a position, or "<undefined>".
std::string ScriptName(const ScriptCore& rt, std::int32_t position);

}  // namespace px
