// Finding the game data in a file, reading its header and walking the
// resource chunks; and the writer that builds such files.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Support_Stream.h"
#include "resources/Option_Main.h"
#include "resources/Resource_Chunks.h"
#include "resources/Resource_Scramble.h"

namespace px {

struct Runtime;

inline constexpr std::int32_t kGameMagic = 1234321;
inline constexpr std::int32_t kGameVersion = 800;
inline constexpr std::size_t kFirstProbe = 2'000'000;
inline constexpr std::size_t kProbeStep = 10'000;

inline constexpr const char* kMsgCannotRead = "Error: Cannot read the game file.";
inline constexpr const char* kMsgNotValid = "Error: Not a valid game file.";
inline constexpr const char* kMsgWrongVersion = "Error: Wrong version number.";
inline constexpr const char* kMsgResourceData = "Error: Error in resource data.";
inline constexpr const char* kMsgD3DX = "Error: Failed to initialize D3DX.";
inline constexpr const char* kMsgCorrupted = "Failed to load the game data. File seems corrupted.";

// The first probe offset at which magic 1234321 stands, or -1.
std::int64_t FindGameDataOffset(const CStream& file);

// Loads rt.gameFile, finds the header and reads everything after it.
// False once a failure message has been shown; stream errors propagate.
bool FindGameData(Runtime& rt);
// The same on a file already in memory: probes for the magic and reads on.
// The file image is used up (its buffer holds the decoded main block).
bool FindGameDataIn(Runtime& rt, CStream& file);
bool LoadGameHeader(Runtime& rt, CStream& s);
// What the plain main block holds before its chunks.
struct MainBlockHeader {
  std::int32_t fillerCount = 0;  // filler ints skipped (none when negative)
  std::int32_t unnamed = 0;
  std::int32_t gameId = 0;
  std::array<std::uint8_t, 16> gameGuid{};
};
MainBlockHeader ReadMainBlockHeader(CStream& main);

// Takes the stream's buffer for the decoded main block: s is empty afterwards.
bool LoadChunks(Runtime& rt, CStream& s);

// Reads one chunk of the main block into the run.
using ChunkReader = bool (*)(Runtime&, CStream&);

struct ChunkStage {
  int percent;
  const char* text;
  ChunkReader read;
  ChunkWriter write;
};
// The sixteen chunks in the order they are stored and read.
extern const std::array<ChunkStage, 16> kChunkStages;

// Everything a game file holds, for writing one.
struct GameFile {
  std::int32_t version = kGameVersion;
  bool debug = false;
  std::int32_t settingsVersion = kSettingsVersion;
  GameSettings settings;
  std::string d3dxName = "D3DX8.dll";
  std::vector<std::uint8_t> d3dxLibrary;
  ScrambleLayout scramble{MakePermutationTable(1), 3, 2};
  std::int32_t fillerCount = 4;  // filler ints at the start of the main block
  std::int32_t unnamed = 0;
  std::int32_t gameId = 0;
  std::array<std::uint8_t, 16> gameGuid{};
  GameResources resources;
};

// The game data alone (from the magic on).
std::vector<std::uint8_t> WriteGameData(const GameFile& game);
// The main block before scrambling: filler, ids and the sixteen chunks.
std::vector<std::uint8_t> WriteMainBlock(const GameFile& game);
// A whole file: prefix, zero filler up to the data's offset, the data. The
// offset is the first probe offset at or after the prefix's end, moved on by
// extraProbes steps.
std::vector<std::uint8_t> WriteGameFile(const GameFile& game,
                                        std::span<const std::uint8_t> prefix = {},
                                        int extraProbes = 0);
std::size_t GameDataOffsetAfter(std::size_t prefixSize, int extraProbes = 0);

}  // namespace px

namespace px {
// Reads a whole game file back into its parts, layout included, without
// running anything (for inspection and round trips). Throws StreamError on
// a damaged file and std::runtime_error with the start-up message otherwise.
GameFile ReadGameFile(std::span<const std::uint8_t> file, std::size_t* dataOffset = nullptr);
}  // namespace px
