#include "resources/Resource_Chunks.h"

namespace px {

namespace {
constexpr std::int32_t kConstantsVersion = 800;
}  // namespace

// --- constants -------------------------------------------------------------

bool LoadConstants(GameResources& res, CStream& s) {
  auto& constants = res.constants;
  constants.clear();
  if (StreamReadInt(s) != kConstantsVersion) return false;
  const std::size_t n = ReadCount(s, 8);
  for (std::size_t i = 0; i < n; ++i) {
    std::string name = StreamReadString(s);
    constants.emplace_back(std::move(name), StreamReadString(s));
  }
  return true;
}

void WriteConstants(CStream& s, const GameResources& r) {
  StreamWriteInt(s, kConstantsVersion);
  StreamWriteInt(s, static_cast<std::int32_t>(r.constants.size()));
  for (const auto& [name, value] : r.constants) {
    StreamWriteString(s, name);
    StreamWriteString(s, value);
  }
}

// --- game information ------------------------------------------------------

constexpr std::int32_t kGameInformationVersion = 800;

namespace {
template <class Io, class Info>
void VisitGameInformation(Io& io, Info& g) {
  io.number(g.backgroundColor);
  io.flag(g.showInGameWindow);
  io.text(g.caption);
  io.number(g.left);
  io.number(g.top);
  io.number(g.width);
  io.number(g.height);
  io.flag(g.showBorder);
  io.flag(g.sizeable);
  io.flag(g.stayOnTop);
  io.flag(g.pauseGame);
  io.block(g.text);
}

struct InfoReader {
  CStream& s;
  void number(std::int32_t& v) { v = StreamReadInt(s); }
  void flag(bool& v) { v = StreamReadBool(s); }
  void text(std::string& v) { v = StreamReadString(s); }
  void block(std::string& v) {
    const std::int32_t n = StreamReadInt(s);
    const auto bytes = s.take(n > 0 ? static_cast<std::size_t>(n) : 0);
    v.assign(bytes.begin(), bytes.end());
  }
};

struct InfoWriter {
  CStream& s;
  void number(const std::int32_t& v) { StreamWriteInt(s, v); }
  void flag(const bool& v) { StreamWriteBool(s, v); }
  void text(const std::string& v) { StreamWriteString(s, v); }
  void block(const std::string& v) {
    StreamWriteBlock(s, {reinterpret_cast<const std::uint8_t*>(v.data()), v.size()});
  }
};
}  // namespace

bool LoadGameInformation(GameResources& res, CStream& s) {
  res.gameInformation = GameInformation{};
  if (StreamReadInt(s) != kGameInformationVersion) return false;
  CStream block = StreamReadCompressedBlock(s);
  InfoReader reader{block};
  VisitGameInformation(reader, res.gameInformation);
  return true;
}

void WriteGameInformation(CStream& s, const GameResources& r) {
  StreamWriteInt(s, kGameInformationVersion);
  CStream block;
  InfoWriter writer{block};
  VisitGameInformation(writer, r.gameInformation);
  StreamWriteCompressedBlock(s, block.bytes());
}

// --- library init code -----------------------------------------------------

constexpr std::int32_t kLibraryInitVersion = 500;

bool LoadLibraryInitCode(GameResources& res, CStream& s) {
  auto& code = res.libraryInitCode;
  code.clear();
  if (StreamReadInt(s) != kLibraryInitVersion) return false;
  const std::int32_t n = StreamReadInt(s);
  for (std::int32_t i = 0; i < n; ++i) code.push_back(StreamReadString(s));
  return true;
}

void WriteLibraryInitCode(CStream& s, const GameResources& r) {
  StreamWriteInt(s, kLibraryInitVersion);
  StreamWriteInt(s, static_cast<std::int32_t>(r.libraryInitCode.size()));
  for (const auto& text : r.libraryInitCode) StreamWriteString(s, text);
}

// --- room order ------------------------------------------------------------

constexpr std::int32_t kRoomOrderVersion = 700;

bool LoadRoomOrder(GameResources& res, CStream& s) {
  auto& order = res.roomOrder;
  order.clear();
  if (StreamReadInt(s) != kRoomOrderVersion) return false;
  const std::int32_t n = StreamReadInt(s);
  if (n <= 0) return false;
  for (std::int32_t i = 0; i < n; ++i) order.push_back(StreamReadInt(s));
  return true;
}

void WriteRoomOrder(CStream& s, const GameResources& r) {
  StreamWriteInt(s, kRoomOrderVersion);
  StreamWriteInt(s, static_cast<std::int32_t>(r.roomOrder.size()));
  for (std::int32_t room : r.roomOrder) StreamWriteInt(s, room);
}

}  // namespace px
