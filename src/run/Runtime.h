// Runtime: every piece of state of one run, reachable from one place, so a
// test can start a fresh game in the same process.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "datastructures/Support_DS_Tables.h"
#include "graphics/Graphics_Display.h"
#include "motion/Motion_Planning.h"
#include "particles/Particle_State.h"
#include "platform/Platform.h"
#include "resources/Option_Main.h"
#include "resources/Resource_Chunks.h"
#include "run/Event_Main.h"
#include "run/Event_Name.h"
#include "run/IO_Main.h"
#include "run/Run_Main.h"
#include "run/Run_Pending.h"
#include "run/Runner_LoadForm.h"
#include "run/Runner_TempDir.h"
#include "sound/Sound_State.h"
#include "system/Support_File.h"
#include "world/World_Core.h"

namespace px {

// Subsystems whose state is owned by the run but whose types are complete
// only in their own files, so that adding to them rebuilds only those files.
struct DialogState;
struct ExternalState;
struct MultiplayerState;
struct DebugState;

// Owns a subsystem's state through a deleter chosen where the type is
// complete; empty until the subsystem is first used.
template <class T>
using OwnedState = std::unique_ptr<T, void (*)(T*)>;

template <class T, class... Args>
OwnedState<T> MakeOwnedState(Args&&... args) {
  return OwnedState<T>(std::make_unique<T>(std::forward<Args>(args)...).release(),
                       [](T* p) { std::default_delete<T>()(p); });
}

// The run flags read from the header and the main block.
struct RunFlags {
  bool debugFlag = false;
  std::int32_t gameId = 0;
  std::array<std::uint8_t, 16> gameGuid{};
};

// An object's event tables taken out of play by game code (events added or
// cleared, the object deleted) while their actions may still be running:
// kept until a later step, so a running event finishes on the actions it
// started with.
struct RetiredEvents {
  std::int64_t step = 0;
  std::array<std::vector<RNumberedEvent>, CObject::kEventKinds> events;
};

// One run of a game. Its bases are the parts lower layers work on: the
// script core (settings, resources, variables, code tables) and around it
// the world core (the world, the live rooms, the random generator); a
// subsystem function takes the Runtime as the core of its own layer.
struct Runtime : WorldCore {
  explicit Runtime(Platform& p) : WorldCore(*this), platform(p), loadForm(p), display(p) {
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
  // Full screen or a window as the player asked on the command line,
  // whatever the game's settings say; empty: as the game says.
  std::optional<bool> fullScreenOverride;

  TempDir tempDir;
  RunFlags flags;
  TLoadForm loadForm;
  // Where the graphics helper library from the game data was written.
  std::string d3dxLibraryPath;
  // The event being executed.
  CurrentEvent event;
  std::vector<RetiredEvents> retiredEvents;
  // Whether a game is running, its steps and their rate.
  RunState run;
  // Keyboard, mouse and the input replayed from a file.
  InputState input;
  std::vector<ReplayEvent> replay;
  // A room change, end, restart, load or abort that waits for the end of
  // the step; kNoPendingChange when none.
  PendingChange pendingChange;
  // Set once the game asked the application to end.
  bool terminateRequested = false;
  // Texts game code sent with show_debug_message in debug mode, oldest
  // first, for the debug window's message list.
  std::vector<std::string> debugMessages;
  // The stacks, queues, lists, maps, priority queues and grids of game code.
  DataStructures ds;
  // The potential-field settings and the grids of motion planning.
  MotionPlanning planning;
  // Open files, the file search, the INI file and secure mode.
  FileState files;
  // The sound engine with its samples, and the CD audio device.
  SoundState sound;
  // The game window, the screen, the region, the ports and the device.
  Display display;
  // Particle types and systems, the effects and the particle actions' system.
  ParticleState particles{random, display.textures};
  // Messages, questions, menus, the highscore table, splashes and the
  // game information.
  OwnedState<DialogState> dialogs{nullptr, nullptr};
  // Functions of native libraries and of extension packages.
  OwnedState<ExternalState> externals{nullptr, nullptr};
  // The multiplayer connection, session, players, messages and shared data.
  OwnedState<MultiplayerState> multiplayer{nullptr, nullptr};
  // The debug window, its watches and its commands.
  OwnedState<DebugState> debug{nullptr, nullptr};
};

}  // namespace px
