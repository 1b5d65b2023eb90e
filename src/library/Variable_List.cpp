// The built-in variables of game code in registration order, and the
// getters and setters of those that belong to the game as a whole.
#include <array>
#include <filesystem>
#include <span>
#include <system_error>
#include <utility>

#include "code/Variable_BuiltIn.h"
#include "code/Variable_Main.h"
#include "library/Variable_IO.h"
#include "library/Variable_Instance.h"
#include "library/Variable_Room.h"
#include "run/Runtime.h"

namespace px {

namespace {

// ---- The argument slots ----

bool GetArgumentRelative(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.vars.argumentRelative ? 1.0 : 0.0);
  return true;
}

bool GetArgument(Runtime& rt, CInstanceBase&, std::int32_t flat, RValue& out) {
  out = rt.vars.arguments[ArraySlot(flat, static_cast<std::int32_t>(kArgumentSlots))];
  return true;
}

bool SetArgument(Runtime& rt, CInstanceBase&, std::int32_t flat, const RValue& value) {
  rt.vars.arguments[ArraySlot(flat, static_cast<std::int32_t>(kArgumentSlots))] = value;
  return true;
}

template <std::size_t N>
bool GetArgumentN(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out = rt.vars.arguments[N];
  return true;
}

template <std::size_t N>
bool SetArgumentN(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& value) {
  rt.vars.arguments[N] = value;
  return true;
}

// ---- The running event and the error report ----

template <std::int32_t CurrentEvent::*Field>
bool GetEventField(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.event.*Field);
  return true;
}

bool GetErrorOccurred(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.code.report.occurred ? 1.0 : 0.0);
  return true;
}

// True at 0.5 or more, without rounding.
bool SetErrorOccurred(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& value) {
  rt.code.report.occurred = value.real >= 0.5;
  return true;
}

bool GetErrorLast(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setString(rt.code.report.last);
  return true;
}

bool SetErrorLast(Runtime& rt, CInstanceBase&, std::int32_t, const RValue& value) {
  rt.code.report.last = value.str();
  return true;
}

// ---- The run ----

bool GetGameId(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.flags.gameId);
  return true;
}

bool GetWorkingDirectory(Runtime&, CInstanceBase&, std::int32_t, RValue& out) {
  std::error_code ec;
  const auto dir = std::filesystem::current_path(ec);
  out.setString(ec ? std::string() : dir.string());
  return true;
}

bool GetTempDirectory(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setString(rt.tempDir.path());
  return true;
}

// The folder of the game file, which is the runner's executable for a game
// bundled into it: the place where a game keeps the files it ships with.
bool GetProgramDirectory(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  std::string dir;
  if (!rt.gameFile.empty()) {
    std::error_code ec;
    const auto file = std::filesystem::absolute(rt.gameFile, ec);
    if (!ec) dir = file.parent_path().string();
    while (!dir.empty() && dir.back() == '/') dir.pop_back();
  }
  out.setString(std::move(dir));
  return true;
}

bool GetDebugMode(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.flags.debugFlag ? 1.0 : 0.0);
  return true;
}

bool GetSecureMode(Runtime& rt, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(rt.files.secureMode ? 1.0 : 0.0);
  return true;
}

bool GetVersion(Runtime&, CInstanceBase&, std::int32_t, RValue& out) {
  out.setReal(800.0);
  return true;
}

// ---- The table ----

constexpr bool kRW = true;
constexpr bool kRO = false;

// An entry whose owner (the instance, the room, the views, input, the clock,
// the error report...) is not built yet. Reading or writing it fails with
// VarStatus::NotConnected, so it neither makes up a value nor takes one it
// would lose; the owner's code replaces the entry with its getter and setter.
constexpr RBuiltinVariable Waiting(std::string_view name, bool writable) {
  return {name, nullptr, nullptr, writable};
}

template <std::size_t... N>
constexpr std::array<RBuiltinVariable, sizeof...(N)> ArgumentEntries(std::index_sequence<N...>) {
  constexpr std::array<std::string_view, kArgumentSlots> names = {
      "argument0",  "argument1",  "argument2",  "argument3", "argument4",  "argument5",
      "argument6",  "argument7",  "argument8",  "argument9", "argument10", "argument11",
      "argument12", "argument13", "argument14", "argument15"};
  return {RBuiltinVariable{names[N], GetArgumentN<N>, SetArgumentN<N>, kRW}...};
}

constexpr RBuiltinVariable kArgumentVariables[] = {
    {"argument_relative", GetArgumentRelative, nullptr, kRO},
    {"argument", GetArgument, SetArgument, kRW},
};
constexpr auto kNumberedArguments = ArgumentEntries(std::make_index_sequence<kArgumentSlots>{});

constexpr RBuiltinVariable kGameVariables[] = {
    Waiting("room", kRW),
    Waiting("room_first", kRO),
    Waiting("room_last", kRO),
    Waiting("transition_kind", kRW),
    Waiting("transition_steps", kRW),
    {"score", GetScore, SetScore, kRW},
    {"lives", GetLives, SetLives, kRW},
    {"health", GetHealth, SetHealth, kRW},
    {"game_id", GetGameId, nullptr, kRO},
    {"working_directory", GetWorkingDirectory, nullptr, kRO},
    {"temp_directory", GetTempDirectory, nullptr, kRO},
    {"program_directory", GetProgramDirectory, nullptr, kRO},
    {"instance_count", GetInstanceCount, nullptr, kRO},
    {"instance_id", GetInstanceId, nullptr, kRO},
    Waiting("room_width", kRO),
    Waiting("room_height", kRO),
    Waiting("room_caption", kRW),
    Waiting("room_speed", kRW),
    Waiting("room_persistent", kRW),
    Waiting("background_color", kRW),
    Waiting("background_showcolor", kRW),
    Waiting("background_visible", kRW),
    Waiting("background_foreground", kRW),
    Waiting("background_index", kRW),
    Waiting("background_x", kRW),
    Waiting("background_y", kRW),
    Waiting("background_width", kRO),
    Waiting("background_height", kRO),
    Waiting("background_htiled", kRW),
    Waiting("background_vtiled", kRW),
    Waiting("background_xscale", kRW),
    Waiting("background_yscale", kRW),
    Waiting("background_hspeed", kRW),
    Waiting("background_vspeed", kRW),
    Waiting("background_blend", kRW),
    Waiting("background_alpha", kRW),
    Waiting("view_enabled", kRW),
    Waiting("view_current", kRO),
    Waiting("view_visible", kRW),
    Waiting("view_xview", kRW),
    Waiting("view_yview", kRW),
    Waiting("view_wview", kRW),
    Waiting("view_hview", kRW),
    Waiting("view_xport", kRW),
    Waiting("view_yport", kRW),
    Waiting("view_wport", kRW),
    Waiting("view_hport", kRW),
    Waiting("view_angle", kRW),
    Waiting("view_hborder", kRW),
    Waiting("view_vborder", kRW),
    Waiting("view_hspeed", kRW),
    Waiting("view_vspeed", kRW),
    Waiting("view_object", kRW),
    Waiting("mouse_x", kRO),
    Waiting("mouse_y", kRO),
    Waiting("mouse_button", kRW),
    Waiting("mouse_lastbutton", kRW),
    Waiting("keyboard_key", kRW),
    Waiting("keyboard_lastkey", kRW),
    Waiting("keyboard_lastchar", kRW),
    Waiting("keyboard_string", kRW),
    Waiting("cursor_sprite", kRW),
    Waiting("show_score", kRW),
    Waiting("show_lives", kRW),
    Waiting("show_health", kRW),
    Waiting("caption_score", kRW),
    Waiting("caption_lives", kRW),
    Waiting("caption_health", kRW),
    Waiting("current_time", kRO),
    Waiting("current_year", kRO),
    Waiting("current_month", kRO),
    Waiting("current_day", kRO),
    Waiting("current_weekday", kRO),
    Waiting("current_hour", kRO),
    Waiting("current_minute", kRO),
    Waiting("current_second", kRO),
    {"event_type", GetEventField<&CurrentEvent::type>, nullptr, kRO},
    {"event_number", GetEventField<&CurrentEvent::number>, nullptr, kRO},
    {"event_object", GetEventField<&CurrentEvent::object>, nullptr, kRO},
    {"event_action", GetEventField<&CurrentEvent::action>, nullptr, kRO},
    {"secure_mode", GetSecureMode, nullptr, kRO},
    {"debug_mode", GetDebugMode, nullptr, kRO},
    {"error_occurred", GetErrorOccurred, SetErrorOccurred, kRW},
    {"error_last", GetErrorLast, SetErrorLast, kRW},
    {"plexamo_version", GetVersion, nullptr, kRO},
    // Steps counted in the last whole second (connected by the step loop).
    Waiting("fps", kRO),
};

CBuiltinTable MakeTable() {
  CBuiltinTable table;
  auto add = [&table](std::span<const RBuiltinVariable> entries) {
    for (const RBuiltinVariable& e : entries) table.Register(e.name, e.get, e.set, e.writable);
  };
  add(InstanceVariableEntries());
  add(kArgumentVariables);
  add(kNumberedArguments);
  add(kGameVariables);
  for (const RBuiltinVariable& e : RoomVariableEntries()) table.Connect(e);
  for (const RBuiltinVariable& e : IOVariableEntries()) table.Connect(e);
  return table;
}

}  // namespace

const CBuiltinTable& BuiltinVariables() {
  static const CBuiltinTable table = MakeTable();
  return table;
}

}  // namespace px
