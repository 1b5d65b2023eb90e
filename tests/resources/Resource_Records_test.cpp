// The resource chunks as a whole: every record written and read back, the
// failures a damaged record causes at start-up, and resilience to damage.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sstream>

#include "code/Code_Function.h"
#include "run/Runner_Form.h"
#include "run/Runner_Load.h"
#include "run/Runtime.h"
#include "support/TestSupport.h"

using namespace px;
using pxtest::RichGame;

namespace {

std::vector<std::uint8_t> Bytes(const std::function<void(CStream&)>& write) {
  CStream s;
  write(s);
  return s.release();
}

// The byte offset of the nth occurrence (from 0) of a stored int.
std::size_t FindInt(const std::vector<std::uint8_t>& bytes, std::int32_t value, int nth) {
  for (std::size_t at = 0; at + 4 <= bytes.size(); ++at) {
    std::int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    if (v == value && nth-- == 0) return at;
  }
  ADD_FAILURE() << "value " << value << " not found";
  return 0;
}

std::vector<std::uint8_t> WithInt(std::vector<std::uint8_t> bytes, std::size_t at, std::int32_t v) {
  std::memcpy(bytes.data() + at, &v, 4);
  return bytes;
}

// A named-resource chunk of one slot holding the given record bytes.
std::vector<std::uint8_t> OneSlotChunk(const std::vector<std::uint8_t>& record, bool named) {
  return Bytes([&](CStream& s) {
    StreamWriteInt(s, 800);
    StreamWriteInt(s, 1);
    CStream slot;
    StreamWriteBool(slot, true);
    if (named) StreamWriteString(slot, "item");
    slot.writeBytes(record.data(), record.size());
    StreamWriteCompressedBlock(s, slot.bytes());
  });
}

void NoFunction(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                const FunctionArgs&) {}

// The fixture's function actions name functions of their own: registering
// them keeps the failure under test the only message.
void RegisterActionFunctions(Runtime& rt, const GameResources& r) {
  auto registerEvent = [&rt](const CEvent& event) {
    for (const CAction& action : event.actions)
      if (action.exec_type == ExecType::Function && FindFunction(rt, action.function_name) < 0)
        RegisterFunction(rt, action.function_name, NoFunction, kAnyArgumentCount);
  };
  for (int i = 0; i < r.objects.count(); ++i)
    if (const CObject* object = r.objects.get(i))
      for (const auto& kind : object->events)
        for (const RNumberedEvent& stored : kind) registerEvent(stored.event);
  for (int i = 0; i < r.timeLines.count(); ++i)
    if (const CTimeLine* timeLine = r.timeLines.get(i))
      for (const CEvent& event : timeLine->events) registerEvent(event);
}

struct Loaded {
  bool ok;
  std::string messages;
};

// Runs the chunk walk over the game's chunks, with chunk `replaced` (an index
// into kChunkStages) replaced by the given bytes.
Loaded LoadWithChunk(const GameFile& game, int replaced, const std::vector<std::uint8_t>& chunk) {
  CStream main;
  StreamWriteInt(main, 0);
  StreamWriteInt(main, 0);
  StreamWriteInt(main, game.gameId);
  main.writeBytes(game.gameGuid.data(), game.gameGuid.size());
  for (int i = 0; i < static_cast<int>(kChunkStages.size()); ++i) {
    if (i == replaced)
      main.writeBytes(chunk.data(), chunk.size());
    else
      kChunkStages[i].write(main, game.resources);
  }
  CStream scrambled;
  WriteScrambledGameData(scrambled, main.bytes(), game.scramble);
  scrambled.seek(0);
  std::ostringstream out;
  auto platform = CreateHeadlessPlatform(out);
  Runtime rt(*platform);
  RegisterActionFunctions(rt, game.resources);
  bool ok = false;
  try {
    ok = LoadChunks(rt, scrambled);
  } catch (const StreamError&) {
    out << "stream error";
  }
  return {ok, out.str()};
}

// The stage of a chunk, found by its writer.
int StageOf(ChunkWriter writer) {
  for (std::size_t i = 0; i < kChunkStages.size(); ++i)
    if (kChunkStages[i].write == writer) return static_cast<int>(i);
  return -1;
}

}  // namespace

TEST(ResourceRecords, EveryRecordRoundTripsThroughAGameFile) {
  const GameFile game = RichGame();
  const GameFile back = ReadGameFile(WriteGameFile(game));
  const GameResources& a = game.resources;
  const GameResources& b = back.resources;
  // Kind by kind first, so that a failure names the kind.
  EXPECT_EQ(b.extensions, a.extensions);
  EXPECT_EQ(b.triggers, a.triggers);
  EXPECT_EQ(b.sounds, a.sounds);
  EXPECT_EQ(b.sprites, a.sprites);
  EXPECT_EQ(b.backgrounds, a.backgrounds);
  EXPECT_EQ(b.paths, a.paths);
  EXPECT_EQ(b.scripts, a.scripts);
  EXPECT_EQ(b.fonts, a.fonts);
  EXPECT_EQ(b.timeLines, a.timeLines);
  EXPECT_EQ(b.objects, a.objects);
  EXPECT_EQ(b.rooms, a.rooms);
  EXPECT_EQ(b.dataFiles, a.dataFiles);
  EXPECT_EQ(b, a);
}

TEST(ResourceRecords, StartUpLoadsEveryKindAndExtractsPackageFiles) {
  const GameFile game = RichGame();
  pxtest::HeadlessGame headless(game);
  Runtime& rt = headless.rt();
  ASSERT_TRUE(LoadAndRun(rt)) << headless.output();
  // The texture numbers are the device's, given while preparing the
  // graphics; they are not part of the game data.
  GameResources loaded = rt.resources;
  for (int i = 0; i < loaded.sprites.count(); ++i)
    if (CSprite* s = loaded.sprites.get(i)) s->textures.clear();
  for (int i = 0; i < loaded.backgrounds.count(); ++i)
    if (CBackground* b = loaded.backgrounds.get(i)) b->texture = -1;
  for (int i = 0; i < loaded.fonts.count(); ++i)
    if (CFont* f = loaded.fonts.get(i)) f->texture = -1;
  EXPECT_EQ(loaded, game.resources);
  const auto folder = std::filesystem::path(rt.tempDir.path()) / "helpers";
  EXPECT_EQ(pxtest::ReadBytes(folder / "helpers.so"),
            game.resources.extensions[0].files[0].contents);
  // Script files are parsed, not written; data-less files have nothing to write.
  EXPECT_FALSE(std::filesystem::exists(folder / "helpers.pxc"));
  EXPECT_FALSE(std::filesystem::exists(folder / "readme.txt"));
}

TEST(ResourceRecords, ABadVersionInAnyRecordFailsTheLoad) {
  const GameFile game = RichGame();
  const GameResources& r = game.resources;
  auto record = [](const auto& item) { return Bytes([&](CStream& s) { item.WriteToStream(s); }); };
  const CRoom& room = *r.rooms.get(0);
  const CObject& object = *r.objects.get(0);
  const CSprite& sprite = *r.sprites.get(0);
  struct Case {
    const char* what;
    ChunkWriter chunk;
    std::vector<std::uint8_t> record;
    std::int32_t version;
    int occurrence;  // which stored int equal to the version to change
    bool named = true;
  };
  const Case cases[] = {
      {"sound", WriteSounds, record(*r.sounds.get(0)), 800, 0},
      {"sprite", WriteSprites, record(sprite), 800, 0},
      {"sprite image", WriteSprites, record(sprite), 800, 1},
      {"sprite mask", WriteSprites, record(sprite), 800, 4},
      {"background", WriteBackgrounds, record(*r.backgrounds.get(0)), 710, 0},
      {"background image", WriteBackgrounds, record(*r.backgrounds.get(0)), 800, 0},
      {"path", WritePaths, record(*r.paths.get(0)), 530, 0},
      {"script", WriteScripts, record(*r.scripts.get(0)), 800, 0},
      {"font", WriteFonts, record(*r.fonts.get(1)), 800, 0},
      {"time line", WriteTimeLines, record(*r.timeLines.get(0)), 500, 0},
      {"time line event", WriteTimeLines, record(*r.timeLines.get(0)), 400, 0},
      {"object", WriteObjects, record(object), 430, 0},
      {"object event", WriteObjects, record(object), 400, 0},
      {"object action", WriteObjects, record(object), 440, 0},
      {"room", WriteRooms, record(room), 541, 0},
      {"trigger", WriteTriggers, record(*r.triggers.get(0)), 800, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int stage = StageOf(c.chunk);
    std::vector<std::uint8_t> chunk = OneSlotChunk(c.record, c.named);
    if (c.chunk == WriteRooms) chunk.resize(chunk.size() + 8, 0);  // the id tail
    ASSERT_TRUE(LoadWithChunk(game, stage, chunk).ok);
    const auto bad = WithInt(c.record, FindInt(c.record, c.version, c.occurrence), c.version + 1);
    std::vector<std::uint8_t> badChunk = OneSlotChunk(bad, c.named);
    if (c.chunk == WriteRooms) badChunk.resize(badChunk.size() + 8, 0);
    const Loaded loaded = LoadWithChunk(game, stage, badChunk);
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.messages, std::string(kMsgResourceData) + "\n");
  }
}

TEST(ResourceRecords, BadChunkVersionsAndCountsFail) {
  const GameFile game = RichGame();
  for (std::size_t i = 0; i < kChunkStages.size(); ++i) {
    SCOPED_TRACE(kChunkStages[i].text);
    const auto chunk = Bytes([&](CStream& s) { kChunkStages[i].write(s, game.resources); });
    std::int32_t version;
    std::memcpy(&version, chunk.data(), 4);
    const Loaded loaded = LoadWithChunk(game, static_cast<int>(i), WithInt(chunk, 0, version - 1));
    EXPECT_FALSE(loaded.ok);
    // The extension chunk says why before the general message.
    EXPECT_TRUE(loaded.messages.ends_with(std::string(kMsgResourceData) + "\n")) << loaded.messages;
  }
}

TEST(ResourceRecords, ABadExtensionPackageIsReportedAsSuch) {
  const GameFile game = RichGame();
  auto chunk = Bytes([&](CStream& s) { WriteExtensionPackages(s, game.resources); });
  // The package record's version follows the chunk's version and count.
  const Loaded loaded = LoadWithChunk(game, 0, WithInt(chunk, 8, 701));
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.messages,
            "Error in loading extension packages.\n" + std::string(kMsgResourceData) + "\n");
}

TEST(ResourceRecords, ShortReadsRaiseTheStreamErrorAndDamageNeverCrashes) {
  // Every cut of every chunk either fails or raises the stream error; a
  // chunk cut short is never accepted.
  const GameFile game = RichGame();
  for (std::size_t i = 0; i < kChunkStages.size(); ++i) {
    SCOPED_TRACE(kChunkStages[i].text);
    const auto chunk = Bytes([&](CStream& s) { kChunkStages[i].write(s, game.resources); });
    for (std::size_t cut = 0; cut < chunk.size(); cut += 1 + cut / 64) {
      std::ostringstream out;
      auto platform = CreateHeadlessPlatform(out);
      Runtime rt(*platform);
      CStream s(std::vector<std::uint8_t>(chunk.begin(), chunk.begin() + cut));
      bool ok = false;
      EXPECT_THROW(ok = kChunkStages[i].read(rt, s), StreamError) << cut << " ok=" << ok;
    }
  }
}

TEST(ResourceRecords, DamagedRecordsNeverCrashTheReader) {
  // Flipping bytes and cutting plain records (not protected by zlib's check)
  // must only ever give an answer or a stream error.
  const GameResources r = RichGame().resources;
  auto record = [](const auto& item) { return Bytes([&](CStream& s) { item.WriteToStream(s); }); };
  const std::pair<std::vector<std::uint8_t>, std::function<void(CStream&)>> kinds[] = {
      {record(*r.sprites.get(2)), [](CStream& s) { CSprite().LoadFromStream(s); }},
      {record(*r.fonts.get(1)), [](CStream& s) { CFont().LoadFromStream(s); }},
      {record(*r.objects.get(0)), [](CStream& s) { CObject().LoadFromStream(s); }},
      {record(*r.rooms.get(0)), [](CStream& s) { CRoom().LoadFromStream(s); }},
      {record(*r.paths.get(2)), [](CStream& s) { CPath().LoadFromStream(s); }},
      {record(r.extensions[0]), [](CStream& s) { CExtensionPackage().LoadFromStream(s); }},
  };
  const std::uint8_t patterns[] = {0xFF, 0x7F, 0x01};
  for (const auto& [bytes, load] : kinds) {
    for (std::size_t at = 0; at < bytes.size(); ++at) {
      for (std::uint8_t p : patterns) {
        std::vector<std::uint8_t> damaged = bytes;
        damaged[at] = p;
        CStream s(std::move(damaged));
        try {
          load(s);
        } catch (const StreamError&) {
        }
      }
    }
  }
}

TEST(ResourceRecords, ARecordEndingEarlyIsAShortRead) {
  // Cut anywhere, every record raises the stream error. Images inside
  // sprites and backgrounds are no exception: only a pixel block shorter
  // than its image is forgiven, not a record that runs out of data.
  const GameResources r = RichGame().resources;
  auto record = [](const auto& item) { return Bytes([&](CStream& s) { item.WriteToStream(s); }); };
  auto reader = [](auto item) {
    return std::function<void(CStream&)>([item](CStream& s) mutable { item.LoadFromStream(s); });
  };
  const std::tuple<const char*, std::vector<std::uint8_t>, std::function<void(CStream&)>> kinds[] =
      {
          {"background", record(*r.backgrounds.get(0)), reader(CBackground{})},
          {"sprite", record(*r.sprites.get(0)), reader(CSprite{})},
          {"separate masks", record(*r.sprites.get(2)), reader(CSprite{})},
          {"sound", record(*r.sounds.get(0)), reader(CSound{})},
          {"path", record(*r.paths.get(2)), reader(CPath{})},
          {"font", record(*r.fonts.get(1)), reader(CFont{})},
          {"script", record(*r.scripts.get(0)), reader(CScript{})},
          {"time line", record(*r.timeLines.get(0)), reader(CTimeLine{})},
          {"object", record(*r.objects.get(0)), reader(CObject{})},
          {"room", record(*r.rooms.get(0)), reader(CRoom{})},
          {"trigger", record(*r.triggers.get(0)), reader(CTrigger{})},
          {"included file", record(r.dataFiles[0]), reader(CDataFile{})},
          {"extension package", record(r.extensions[0]), reader(CExtensionPackage{})},
      };
  for (const auto& [what, bytes, load] : kinds) {
    SCOPED_TRACE(what);
    for (std::size_t cut = 0; cut < bytes.size(); cut += 1 + cut / 64) {
      CStream s(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + cut));
      EXPECT_THROW(load(s), StreamError) << "cut at " << cut << " of " << bytes.size();
    }
  }
}
