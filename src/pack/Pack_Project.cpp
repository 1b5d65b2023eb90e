#include "pack/Pack_Project.h"

#include <fstream>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <sstream>

#include "pack/Pack_Json.h"

namespace px {

namespace fs = std::filesystem;
using nlohmann::json;

std::vector<std::uint8_t> ReadProjectFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ProjectError("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadProjectText(const fs::path& path) {
  const auto bytes = ReadProjectFile(path);
  return std::string(bytes.begin(), bytes.end());
}

namespace {

TBitmap32 LoadImage(const fs::path& path) {
  auto image = TBitmap32::FromBMP(ReadProjectFile(path));
  if (!image) throw ProjectError(path.string() + " is not a BMP image");
  return *image;
}

void ReadSettings(const json& j, const fs::path& dir, GameSettings& settings) {
  JsonFields f(j, "settings", dir);
  for (const SettingsField& field : kSettingsFields) {
    if (field.flag) f.get(field.name, settings.*field.flag);
    if (field.number) f.get(field.name, settings.*field.number);
    if (field.image) {
      std::string file;
      f.get(field.name, file);
      if (f.has(field.name)) settings.*field.image = LoadImage(dir / file);
    }
  }
  f.finish();
}

void ReadGameInformation(const json& j, const fs::path& dir, GameInformation& info) {
  JsonFields f(j, "gameInformation", dir);
  f.get("backgroundColor", info.backgroundColor);
  f.get("showInGameWindow", info.showInGameWindow);
  f.get("caption", info.caption);
  f.get("left", info.left);
  f.get("top", info.top);
  f.get("width", info.width);
  f.get("height", info.height);
  f.get("showBorder", info.showBorder);
  f.get("sizeable", info.sizeable);
  f.get("stayOnTop", info.stayOnTop);
  f.get("pauseGame", info.pauseGame);
  std::string textFile;
  f.get("textFile", textFile);
  if (f.has("textFile")) info.text = ReadProjectText(dir / textFile);
  f.finish();
}

std::array<std::uint8_t, 16> ParseGuid(const std::string& text) {
  CStream bytes;
  try {
    HexToStream(bytes, text);
  } catch (const ConversionError&) {
    throw ProjectError("guid must be 32 hexadecimal digits");
  }
  if (text.size() != 32) throw ProjectError("guid must be 32 hexadecimal digits");
  std::array<std::uint8_t, 16> guid{};
  std::copy(bytes.bytes().begin(), bytes.bytes().end(), guid.begin());
  return guid;
}

}  // namespace

GameFile LoadProject(const fs::path& dir) {
  const fs::path manifestPath = dir / kManifestName;
  json j;
  try {
    j = json::parse(ReadProjectText(manifestPath));
  } catch (const json::parse_error& e) {
    throw ProjectError(manifestPath.string() + ": " + e.what());
  }
  GameFile game;
  JsonFields manifest(j, "the manifest", dir);
  manifest.get("gameId", game.gameId);
  std::string guid;
  manifest.get("guid", guid);
  if (manifest.has("guid")) game.gameGuid = ParseGuid(guid);
  manifest.get("debug", game.debug);
  if (manifest.has("settings")) ReadSettings(manifest.at("settings"), dir, game.settings);
  if (manifest.has("constants")) {
    for (const auto& c : manifest.at("constants")) {
      if (!c.is_array() || c.size() != 2 || !c[0].is_string() || !c[1].is_string())
        throw ProjectError("each constant must be [\"name\", \"value\"]");
      game.resources.constants.emplace_back(c[0].get<std::string>(), c[1].get<std::string>());
    }
  }
  if (manifest.has("gameInformation"))
    ReadGameInformation(manifest.at("gameInformation"), dir, game.resources.gameInformation);
  std::vector<std::string> initFiles;
  manifest.get("libraryInitCode", initFiles);
  for (const auto& file : initFiles)
    game.resources.libraryInitCode.push_back(ReadProjectText(dir / file));
  manifest.get("roomOrder", game.resources.roomOrder);
  if (game.resources.roomOrder.empty()) throw ProjectError("roomOrder must name a room");
  ReadProjectResources(manifest, game.resources);
  manifest.finish();

  // Each packed game gets its own scrambling table.
  game.scramble.table = MakePermutationTable(static_cast<std::uint32_t>(game.gameId));
  return game;
}

std::string DescribeGame(const GameFile& game, std::size_t dataOffset) {
  std::ostringstream out;
  out << "Game data at offset " << dataOffset << ", version " << game.version << '\n';
  out << "Game id: " << game.gameId << '\n';
  CStream guid(std::vector<std::uint8_t>(game.gameGuid.begin(), game.gameGuid.end()));
  out << "Game GUID: " << StreamToHex(guid) << '\n';
  out << "Debug mode: " << (game.debug ? "yes" : "no") << '\n';
  out << "Settings:\n";
  for (const SettingsField& f : kSettingsFields) {
    out << "  " << f.name << ": ";
    if (f.flag) out << (game.settings.*f.flag ? "true" : "false");
    if (f.number) out << game.settings.*f.number;
    if (f.image) {
      const auto& image = game.settings.*f.image;
      if (image)
        out << image->width() << "x" << image->height() << " image";
      else
        out << "none";
    }
    out << '\n';
  }
  out << "Helper library: " << game.d3dxName << " (" << game.d3dxLibrary.size() << " bytes)\n";
  const GameResources& r = game.resources;
  out << "Constants: " << r.constants.size() << '\n';
  for (const auto& [name, value] : r.constants) out << "  " << name << " = " << value << '\n';
  out << "Game information: \"" << r.gameInformation.caption << "\", "
      << r.gameInformation.text.size() << " bytes of text\n";
  out << "Library init code: " << r.libraryInitCode.size() << '\n';
  out << "Room order:";
  for (std::int32_t room : r.roomOrder) out << ' ' << room;
  out << '\n';
  out << "Last instance id: " << r.lastInstanceId << ", last tile id: " << r.lastTileId << '\n';
  DescribeResources(out, r);
  return out.str();
}

}  // namespace px
