// The sixteen resource chunks of the game data: what each holds in memory,
// and one reader and one writer per chunk. Every reader takes the main
// stream at its chunk, replaces what it owns, consumes exactly its chunk and
// returns false for a bad version or a bad item; a short read throws
// StreamError.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/Support_Stream.h"
#include "resources/Background_Class.h"
#include "resources/DataFile_Class.h"
#include "resources/Extension_Class.h"
#include "resources/Font_Class.h"
#include "resources/Object_Class.h"
#include "resources/Path_Class.h"
#include "resources/Resource_List.h"
#include "resources/Room_Class.h"
#include "resources/Script_Class.h"
#include "resources/Sound_Class.h"
#include "resources/Sprite_Class.h"
#include "resources/TimeLine_Class.h"
#include "resources/Trigger_Class.h"

namespace px {

struct GameInformation {
  std::int32_t backgroundColor = 0xFFFFFF;
  bool showInGameWindow = false;
  std::string caption = "Game Information";
  std::int32_t left = -1;
  std::int32_t top = -1;
  std::int32_t width = 600;
  std::int32_t height = 400;
  bool showBorder = true;
  bool sizeable = true;
  bool stayOnTop = false;
  bool pauseGame = true;
  std::string text;  // Rich Text Format
  bool operator==(const GameInformation&) const = default;
};

struct GameResources {
  std::vector<CExtensionPackage> extensions;
  ResourceList<CTrigger> triggers;
  ResourceList<CSound> sounds;
  ResourceList<CSprite> sprites;
  ResourceList<CBackground> backgrounds;
  ResourceList<CPath> paths;
  ResourceList<CScript> scripts;
  ResourceList<CFont> fonts;
  ResourceList<CTimeLine> timeLines;
  ResourceList<CObject> objects;
  ResourceList<CRoom> rooms;
  std::vector<CDataFile> dataFiles;
  // Names and value texts, in stored order.
  std::vector<std::pair<std::string, std::string>> constants;
  GameInformation gameInformation;
  std::vector<std::string> libraryInitCode;
  std::vector<std::int32_t> roomOrder{0};
  std::int32_t lastInstanceId = 100000;
  std::int32_t lastTileId = 10000000;
  bool operator==(const GameResources&) const = default;
};

using ChunkWriter = void (*)(CStream&, const GameResources&);

bool LoadTriggers(GameResources& res, CStream& s);
bool LoadConstants(GameResources& res, CStream& s);
bool LoadSounds(GameResources& res, CStream& s);
bool LoadSprites(GameResources& res, CStream& s);
bool LoadBackgrounds(GameResources& res, CStream& s);
bool LoadPaths(GameResources& res, CStream& s);
bool LoadScripts(GameResources& res, CStream& s);
bool LoadFonts(GameResources& res, CStream& s);
bool LoadTimeLines(GameResources& res, CStream& s);
bool LoadObjects(GameResources& res, CStream& s);
bool LoadRooms(GameResources& res, CStream& s);
bool LoadDataFiles(GameResources& res, CStream& s);
bool LoadGameInformation(GameResources& res, CStream& s);
bool LoadLibraryInitCode(GameResources& res, CStream& s);
bool LoadRoomOrder(GameResources& res, CStream& s);

// The extension package chunk. A package that does not read leaves the
// packages read so far.
enum class ExtensionChunkRead { Ok, BadVersion, BadPackage };
ExtensionChunkRead ReadExtensionPackages(GameResources& res, CStream& s);

void WriteExtensionPackages(CStream& s, const GameResources& r);
void WriteTriggers(CStream& s, const GameResources& r);
void WriteConstants(CStream& s, const GameResources& r);
void WriteSounds(CStream& s, const GameResources& r);
void WriteSprites(CStream& s, const GameResources& r);
void WriteBackgrounds(CStream& s, const GameResources& r);
void WritePaths(CStream& s, const GameResources& r);
void WriteScripts(CStream& s, const GameResources& r);
void WriteFonts(CStream& s, const GameResources& r);
void WriteTimeLines(CStream& s, const GameResources& r);
void WriteObjects(CStream& s, const GameResources& r);
void WriteRooms(CStream& s, const GameResources& r);
void WriteDataFiles(CStream& s, const GameResources& r);
void WriteGameInformation(CStream& s, const GameResources& r);
void WriteLibraryInitCode(CStream& s, const GameResources& r);
void WriteRoomOrder(CStream& s, const GameResources& r);

}  // namespace px
