// The clipboard's text and process-level controls for game code.
#include "library/Function_Misc.h"

#include <iostream>

#include "code/Support_Format.h"
#include "library/Function_Support.h"
#include "run/Runtime.h"

namespace px {

int ProgramPriorityLevel(double argument) {
  const std::int64_t level = RealToCount(argument);
  return level >= -3 && level <= 3 ? static_cast<int>(level) : 0;
}

namespace {

// ---- Clipboard ----

void ClipboardHasText(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                      const FunctionArgs&) {
  result.setReal(Truth(rt.platform.hasClipboardText()));
}

void ClipboardSetText(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                      const FunctionArgs& args) {
  rt.platform.setClipboardText(args[0].str());
}

void ClipboardGetText(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                      const FunctionArgs&) {
  result.setString(rt.platform.clipboardText());
}

// ---- Process ----

// Kept for the debug window's message list; nothing outside debug mode. A
// real is written as an integer when whole, else with two decimals.
void ShowDebugMessage(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                      const FunctionArgs& args) {
  if (!rt.flags.debugFlag) return;
  rt.debugMessages.push_back(args[0].isString() ? args[0].str() : RealToText(args[0].real));
  // Until the debug window exists, the messages go to standard error.
  std::cerr << rt.debugMessages.back() << '\n';
}

void SetProgramPriority(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                        const FunctionArgs& args) {
  rt.platform.setProgramPriority(ProgramPriorityLevel(args[0].real));
}

// The title message boxes and the task bar show; a real leaves it alone.
void SetApplicationTitle(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                         const FunctionArgs& args) {
  if (args[0].isString()) rt.applicationTitle = args[0].str();
}

// The window system's id of the game window; 0 without one.
void WindowHandle(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs&) {
  const GameWindow* window = rt.display.window();
  result.setReal(window ? static_cast<double>(window->nativeId()) : 0.0);
}

constexpr FunctionDef kProcessFunctions[] = {
    {"window_handle", WindowHandle},
    {"show_debug_message", ShowDebugMessage},
    {"set_program_priority", SetProgramPriority},
    {"set_application_title", SetApplicationTitle},
    {"clipboard_has_text", ClipboardHasText},
    {"clipboard_set_text", ClipboardSetText},
    {"clipboard_get_text", ClipboardGetText},
};

}  // namespace

std::span<const FunctionDef> ProcessFunctions() {
  return kProcessFunctions;
}

}  // namespace px
