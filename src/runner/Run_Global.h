// Runtime: every piece of state of one run, reachable from one place, so a
// test can start a fresh game in the same process.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "code/Code_State.h"
#include "code/Support_Random.h"
#include "code/Variable_Main.h"
#include "datastructures/Support_DS_Tables.h"
#include "graphics/Graphics_Display.h"
#include "platform/Platform.h"
#include "resources/Resource_Chunks.h"
#include "runner/Option_Main.h"
#include "runner/Runner_LoadForm.h"
#include "runner/Runner_TempDir.h"
#include "sound/Sound_State.h"
#include "system/Support_File.h"
#include "world/Event_Main.h"
#include "world/Event_Name.h"
#include "world/IO_Main.h"
#include "world/Room_State.h"
#include "world/Run_Main.h"

namespace px {

// Pending changes carried out between steps.
inline constexpr std::int32_t kNoPendingChange = -1;
inline constexpr std::int32_t kPendingAbort = -400;

// The run flags read from the header and the main block.
struct RunFlags {
  bool debugFlag = false;
  std::int32_t gameId = 0;
  std::array<std::uint8_t, 16> gameGuid{};
};

struct Runtime {
  explicit Runtime(Platform& p) : platform(p), loadForm(p), display(p) {
    vars.instances = &world.instances;
    // Window messages change the input state wherever they are handled.
    platform.setInputSink([this](const InputEvent& e) { ApplyInputEvent(*this, e); });
  }
  ~Runtime() { platform.setInputSink(nullptr); }
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  Platform& platform;

  // The game file and the game's parameters: parameter 0 is the game file.
  std::string gameFile;
  std::vector<std::string> parameters;
  std::optional<std::int64_t> maxSteps;
  // Where the last frame is written as PNG when the game ends; empty: not.
  std::string screenshotFile;
  // The game file's name without folder and extension.
  std::string applicationTitle;

  TempDir tempDir;
  RunFlags flags;
  GameSettings settings;
  TLoadForm loadForm;
  // Where the graphics helper library from the game data was written.
  std::string d3dxLibraryPath;
  GameResources resources;
  // The scripting language's variables: names, globals, argument slots.
  Variables vars;
  // Functions, constants and the code-error state of the scripting language.
  CodeState code;
  // The event being executed.
  CurrentEvent event;
  // The current room's instances, the event object lists, the id counter.
  World world;
  // Whether a game is running, its steps and their rate.
  RunState run;
  // Keyboard, mouse and the input replayed from a file.
  InputState input;
  std::vector<ReplayEvent> replay;
  // The live rooms, the current room and what is carried between rooms.
  RoomState rooms;
  // A room change (a room index), end, restart, load or abort that waits
  // for the end of the step; kNoPendingChange when none.
  std::int32_t pendingChange = kNoPendingChange;
  // Set once the game asked the application to end.
  bool terminateRequested = false;
  // The generator behind every random draw of the game.
  CRandom random;
  // Texts game code sent with show_debug_message in debug mode, oldest
  // first, for the debug window's message list.
  std::vector<std::string> debugMessages;
  // The stacks, queues, lists, maps, priority queues and grids of game code.
  DataStructures ds;
  // Open files, the file search, the INI file and secure mode.
  FileState files;
  // The sound engine with its samples, and the CD audio device.
  SoundState sound;
  // The game window, the screen, the region, the ports and the device.
  Display display;
};

}  // namespace px
