// Saved games: the file that holds the game-wide values that change while
// playing, the global variables and every room in play with its instances,
// deactivated instances, tiles, layers and views. Its writer and reader sit
// side by side; saving writes a whole new file or nothing, and loading
// reads the whole file before it touches the running game.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Support_Stream.h"
#include "code/Variable_Class.h"
#include "world/Room_State.h"

namespace px {

struct Runtime;
struct GameResources;

inline constexpr std::int32_t kSavedGameVersion = 540;
inline constexpr std::int32_t kSavedRoomVersion = 540;

// A saved game read whole, not yet put into play.
struct SavedGame {
  std::int32_t gameId = 0;
  std::int32_t room = -1;
  std::int32_t transitionKind = 0;
  std::int32_t score = 0;
  std::int32_t lives = -1;
  double health = 100;
  std::int32_t cursorSprite = -1;
  std::int32_t stepCounter = 0;
  bool automaticDraw = true;
  // False when the globals record had another version: the running game
  // keeps its globals then.
  bool hasGlobals = false;
  CVariableList globals;
  std::vector<std::uint8_t> globalVarFlags;
  // The table of rooms in play; a room's instances, active and deactivated,
  // wait in its keptInstances.
  std::vector<std::unique_ptr<LiveRoom>> rooms;
  std::int32_t lastInstanceId = 0;
  std::int32_t lastTileId = 0;
};

enum class SavedGameRead : std::uint8_t {
  Ok,
  OtherVersion,
  OtherGame,
  // Cut short, or holding what no saved game holds (a current room that is
  // not in play, a negative count, more than 8 layers or views).
  Damaged,
};

// The file image of the running game.
CStream WriteSavedGame(const Runtime& rt);
// Reads a whole file image of the game with this id; `out` is complete only
// when the result is Ok.
SavedGameRead ReadSavedGame(const GameResources& res, std::int32_t gameId, CStream& s,
                            SavedGame& out);
// Replaces the game-wide values, the globals (when the file held them), the
// rooms in play and the id counters; no event runs, and everything else
// stays as it is.
void ApplySavedGame(Runtime& rt, SavedGame&& game);

// Reads an image and puts it into play when it is whole and of this game;
// otherwise reports why, names the file `name` in the report, and leaves
// the running game unchanged. True when loaded.
bool LoadSavedGameImage(Runtime& rt, CStream& image, const std::string& name);

// game_save: writes the file at once, in full or not at all.
void SaveGame(Runtime& rt, const std::string& name);
// Loads a saved game now. A missing file does nothing.
void LoadGame(Runtime& rt, const std::string& name);
// game_load: remembers the file and asks for a load between steps.
void RequestGameLoad(Runtime& rt, const std::string& name);
// The file of the save and load keys: "_save" + game id + ".sav".
std::string KeySaveFileName(const Runtime& rt);

}  // namespace px
