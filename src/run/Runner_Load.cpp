#include "run/Runner_Load.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "run/Action_Class.h"
#include "run/Runner_Extensions.h"
#include "run/Runtime.h"

namespace px {

namespace fs = std::filesystem;

namespace {

// A chunk reader that fills the game's resources alone.
template <bool (*Read)(GameResources&, CStream&)>
bool IntoResources(Runtime& rt, CStream& s) {
  return Read(rt.resources, s);
}

bool LoadTimeLinesAndLocate(Runtime& rt, CStream& s) {
  if (!LoadTimeLines(rt.resources, s)) return false;
  LocateTimeLineActionFunctions(rt);
  return true;
}

bool LoadObjectsAndLocate(Runtime& rt, CStream& s) {
  if (!LoadObjects(rt.resources, s)) return false;
  LocateObjectActionFunctions(rt);
  return true;
}

}  // namespace

const std::array<ChunkStage, 16> kChunkStages{{
    {0, "Loading extension packages", LoadExtensionPackages, WriteExtensionPackages},
    {5, "Loading triggers", IntoResources<LoadTriggers>, WriteTriggers},
    {6, "Loading constants", IntoResources<LoadConstants>, WriteConstants},
    {7, "Loading sounds", IntoResources<LoadSounds>, WriteSounds},
    {10, "Loading sprites", IntoResources<LoadSprites>, WriteSprites},
    {23, "Loading backgrounds", IntoResources<LoadBackgrounds>, WriteBackgrounds},
    {30, "Loading paths", IntoResources<LoadPaths>, WritePaths},
    {32, "Loading scripts", IntoResources<LoadScripts>, WriteScripts},
    {34, "Loading fonts", IntoResources<LoadFonts>, WriteFonts},
    {36, "Loading time lines", LoadTimeLinesAndLocate, WriteTimeLines},
    {38, "Loading objects", LoadObjectsAndLocate, WriteObjects},
    {40, "Loading rooms", IntoResources<LoadRooms>, WriteRooms},
    {43, "Loading included files", IntoResources<LoadDataFiles>, WriteDataFiles},
    {45, "Loading help", IntoResources<LoadGameInformation>, WriteGameInformation},
    {47, "Loading library init code", IntoResources<LoadLibraryInitCode>, WriteLibraryInitCode},
    {49, "Loading room order", IntoResources<LoadRoomOrder>, WriteRoomOrder},
}};

static void ShowError(Runtime& rt, const char* text) {
  rt.platform.messageBox(text, rt.applicationTitle, Buttons::Ok, MessageIcon::Error);
}

static bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  in.seekg(0);
  out.resize(static_cast<std::size_t>(size));
  return static_cast<bool>(in.read(reinterpret_cast<char*>(out.data()), size));
}

std::int64_t FindGameDataOffset(const CStream& file) {
  for (std::size_t offset = kFirstProbe; offset + 4 <= file.size(); offset += kProbeStep) {
    std::int32_t magic;
    std::memcpy(&magic, file.data() + offset, 4);
    if (magic == kGameMagic) return static_cast<std::int64_t>(offset);
  }
  return -1;
}

bool FindGameData(Runtime& rt) {
  rt.applicationTitle = fs::path(rt.gameFile).stem().string();
  CStream file;
  if (!ReadWholeFile(rt.gameFile, file.bytes())) {
    ShowError(rt, kMsgCannotRead);
    return false;
  }
  return FindGameDataIn(rt, file);
}

bool FindGameDataIn(Runtime& rt, CStream& file) {
  for (std::size_t offset = kFirstProbe;; offset += kProbeStep) {
    if (offset > file.size()) {
      ShowError(rt, kMsgNotValid);
      return false;
    }
    file.seek(offset);
    if (StreamReadInt(file) == kGameMagic) return LoadGameHeader(rt, file);
  }
}

// The library's name comes from the game data: only its last path component
// is used, so it cannot point outside the temporary directory.
static std::string SafeFileName(const std::string& name) {
  std::string base = name.substr(name.find_last_of("/\\") + 1);
  if (base.empty() || base == "." || base == "..") return "D3DX8.dll";
  return base;
}

static bool WriteLibraryFile(Runtime& rt, const std::string& name, const CStream& bytes) {
  if (rt.tempDir.path().empty()) return false;
  const std::string path = rt.tempDir.path() + "/" + SafeFileName(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) return false;
  rt.d3dxLibraryPath = path;
  return true;
}

bool LoadGameHeader(Runtime& rt, CStream& s) {
  if (StreamReadInt(s) != kGameVersion) {
    ShowError(rt, kMsgWrongVersion);
    return false;
  }
  rt.flags.debugFlag = StreamReadBool(s);
  if (!ReadGameSettings(s, rt.settings)) {
    ShowError(rt, kMsgResourceData);
    return false;
  }
  rt.loadForm.ShowProgress(1, "Reading data");
  rt.loadForm.SetUp(rt.settings, rt.flags.debugFlag);

  // The graphics helper library is written where the game expects it; the
  // matrix and texture helpers themselves are the runner's own code, so the
  // file is never loaded.
  const std::string libraryName = StreamReadString(s);
  const CStream library = StreamReadCompressedBlock(s);
  if (!WriteLibraryFile(rt, libraryName, library)) {
    ShowError(rt, kMsgD3DX);
    return false;
  }
  return LoadChunks(rt, s);
}

MainBlockHeader ReadMainBlockHeader(CStream& main) {
  MainBlockHeader header;
  header.fillerCount = StreamReadInt(main);
  if (header.fillerCount > 0) main.skip(static_cast<std::size_t>(header.fillerCount) * 4);
  header.unnamed = StreamReadInt(main);
  header.gameId = StreamReadInt(main);
  main.readBytes(header.gameGuid.data(), header.gameGuid.size());
  return header;
}

bool LoadChunks(Runtime& rt, CStream& s) {
  // Nothing after the main block is read, so it is decoded where it lies.
  CStream main = UnscrambleGameDataInPlace(std::move(s));
  const MainBlockHeader header = ReadMainBlockHeader(main);
  rt.flags.gameId = header.gameId;
  rt.flags.gameGuid = header.gameGuid;
  for (const ChunkStage& stage : kChunkStages) {
    rt.loadForm.ShowProgress(stage.percent, stage.text);
    if (!stage.read(rt, main)) {
      ShowError(rt, kMsgResourceData);
      return false;
    }
  }
  return true;
}

// --- writer ----------------------------------------------------------------

std::vector<std::uint8_t> WriteGameData(const GameFile& game) {
  CStream out;
  StreamWriteInt(out, kGameMagic);
  StreamWriteInt(out, game.version);
  StreamWriteBool(out, game.debug);
  WriteGameSettings(out, game.settings, game.settingsVersion);
  StreamWriteString(out, game.d3dxName);
  StreamWriteCompressedBlock(out, game.d3dxLibrary);

  WriteScrambledGameData(out, WriteMainBlock(game), game.scramble);
  return out.release();
}

std::vector<std::uint8_t> WriteMainBlock(const GameFile& game) {
  CStream main;
  StreamWriteInt(main, game.fillerCount);
  for (std::int32_t i = 0; i < game.fillerCount; ++i) StreamWriteInt(main, 0x1F2E3D4C + i);
  StreamWriteInt(main, game.unnamed);
  StreamWriteInt(main, game.gameId);
  main.writeBytes(game.gameGuid.data(), game.gameGuid.size());
  for (const ChunkStage& stage : kChunkStages) stage.write(main, game.resources);
  return main.release();
}

std::size_t GameDataOffsetAfter(std::size_t prefixSize, int extraProbes) {
  std::size_t offset = kFirstProbe;
  if (prefixSize > offset)
    offset += (prefixSize - offset + kProbeStep - 1) / kProbeStep * kProbeStep;
  return offset + static_cast<std::size_t>(std::max(0, extraProbes)) * kProbeStep;
}

std::vector<std::uint8_t> WriteGameFile(const GameFile& game, std::span<const std::uint8_t> prefix,
                                        int extraProbes) {
  std::vector<std::uint8_t> file(prefix.begin(), prefix.end());
  file.resize(GameDataOffsetAfter(prefix.size(), extraProbes), 0);
  const std::vector<std::uint8_t> data = WriteGameData(game);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

}  // namespace px

namespace px {

GameFile ReadGameFile(std::span<const std::uint8_t> bytes, std::size_t* dataOffset) {
  CStream s(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  const std::int64_t offset = FindGameDataOffset(s);
  if (offset < 0) throw std::runtime_error(kMsgNotValid);
  if (dataOffset) *dataOffset = static_cast<std::size_t>(offset);
  s.seek(static_cast<std::size_t>(offset) + 4);

  GameFile game;
  game.version = StreamReadInt(s);
  if (game.version != kGameVersion) throw std::runtime_error(kMsgWrongVersion);
  game.debug = StreamReadBool(s);
  if (!ReadGameSettings(s, game.settings)) throw std::runtime_error(kMsgResourceData);
  game.d3dxName = StreamReadString(s);
  game.d3dxLibrary = StreamReadCompressedBlock(s).release();

  // The scrambling layout, read ahead of the unscrambling itself.
  const std::size_t blockStart = s.position();
  game.scramble.skip1 = StreamReadInt(s);
  game.scramble.skip2 = StreamReadInt(s);
  if (game.scramble.skip1 > 0) s.skip(static_cast<std::size_t>(game.scramble.skip1) * 4);
  s.readBytes(game.scramble.table.data(), game.scramble.table.size());
  s.seek(blockStart);
  CStream main = UnscrambleGameData(s);

  const MainBlockHeader header = ReadMainBlockHeader(main);
  game.fillerCount = header.fillerCount;
  game.unnamed = header.unnamed;
  game.gameId = header.gameId;
  game.gameGuid = header.gameGuid;

  // Reading for inspection runs nothing: what loading would report in
  // message boxes (actions whose function is unknown, say) is left out.
  std::ostringstream discarded;
  auto platform = CreateHeadlessPlatform(discarded);
  Runtime scratch(*platform);
  for (const ChunkStage& stage : kChunkStages)
    if (!stage.read(scratch, main)) throw std::runtime_error(kMsgResourceData);
  game.resources = std::move(scratch.resources);
  return game;
}

}  // namespace px
