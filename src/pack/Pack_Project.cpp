#include "pack/Pack_Project.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iomanip>
#include <set>
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


// Refuses keys the manifest does not know, so a misspelt one is not ignored.
void CheckKeys(const json& object, const std::set<std::string>& known, const std::string& where) {
  if (!object.is_object()) throw ProjectError(where + " must be an object");
  for (const auto& [key, value] : object.items())
    if (!known.contains(key)) throw ProjectError("unknown key '" + key + "' in " + where);
}

template <class T>
T Get(const json& object, const char* key, const std::string& where) {
  try {
    return object.at(key).get<T>();
  } catch (const json::exception&) {
    throw ProjectError("'" + std::string(key) + "' in " + where + " has the wrong type");
  }
}

TBitmap32 LoadImage(const fs::path& path) {
  auto image = TBitmap32::FromBMP(ReadProjectFile(path));
  if (!image) throw ProjectError(path.string() + " is not a BMP image");
  return *image;
}

void ReadSettings(const json& j, const fs::path& dir, GameSettings& settings) {
  std::set<std::string> known;
  for (const SettingsField& f : kSettingsFields) known.insert(f.name);
  CheckKeys(j, known, "settings");
  for (const SettingsField& f : kSettingsFields) {
    if (!j.contains(f.name)) continue;
    if (f.flag) settings.*f.flag = Get<bool>(j, f.name, "settings");
    if (f.number) settings.*f.number = Get<std::int32_t>(j, f.name, "settings");
    if (f.image) settings.*f.image = LoadImage(dir / Get<std::string>(j, f.name, "settings"));
  }
}

void ReadGameInformation(const json& j, const fs::path& dir, GameInformation& info) {
  CheckKeys(j,
            {"backgroundColor", "showInGameWindow", "caption", "left", "top", "width", "height",
             "showBorder", "sizeable", "stayOnTop", "pauseGame", "textFile"},
            "gameInformation");
  const char* where = "gameInformation";
  if (j.contains("backgroundColor")) info.backgroundColor = Get<std::int32_t>(j, "backgroundColor", where);
  if (j.contains("showInGameWindow")) info.showInGameWindow = Get<bool>(j, "showInGameWindow", where);
  if (j.contains("caption")) info.caption = Get<std::string>(j, "caption", where);
  if (j.contains("left")) info.left = Get<std::int32_t>(j, "left", where);
  if (j.contains("top")) info.top = Get<std::int32_t>(j, "top", where);
  if (j.contains("width")) info.width = Get<std::int32_t>(j, "width", where);
  if (j.contains("height")) info.height = Get<std::int32_t>(j, "height", where);
  if (j.contains("showBorder")) info.showBorder = Get<bool>(j, "showBorder", where);
  if (j.contains("sizeable")) info.sizeable = Get<bool>(j, "sizeable", where);
  if (j.contains("stayOnTop")) info.stayOnTop = Get<bool>(j, "stayOnTop", where);
  if (j.contains("pauseGame")) info.pauseGame = Get<bool>(j, "pauseGame", where);
  if (j.contains("textFile")) info.text = ReadProjectText(dir / Get<std::string>(j, "textFile", where));
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
  for (const char* key : {"gameId", "guid", "debug", "settings", "constants", "gameInformation",
                          "libraryInitCode", "roomOrder"})
    manifest.has(key);
  ReadProjectResources(manifest, game.resources);
  manifest.finish();

  const char* where = "the manifest";
  if (j.contains("gameId")) game.gameId = Get<std::int32_t>(j, "gameId", where);
  if (j.contains("guid")) game.gameGuid = ParseGuid(Get<std::string>(j, "guid", where));
  if (j.contains("debug")) game.debug = Get<bool>(j, "debug", where);
  if (j.contains("settings")) ReadSettings(j["settings"], dir, game.settings);
  if (j.contains("constants")) {
    for (const auto& c : j["constants"]) {
      if (!c.is_array() || c.size() != 2 || !c[0].is_string() || !c[1].is_string())
        throw ProjectError("each constant must be [\"name\", \"value\"]");
      game.resources.constants.emplace_back(c[0].get<std::string>(), c[1].get<std::string>());
    }
  }
  if (j.contains("gameInformation"))
    ReadGameInformation(j["gameInformation"], dir, game.resources.gameInformation);
  if (j.contains("libraryInitCode"))
    for (const auto& file : Get<std::vector<std::string>>(j, "libraryInitCode", where))
      game.resources.libraryInitCode.push_back(ReadProjectText(dir / file));
  if (j.contains("roomOrder")) {
    game.resources.roomOrder = Get<std::vector<std::int32_t>>(j, "roomOrder", where);
    if (game.resources.roomOrder.empty()) throw ProjectError("roomOrder must name a room");
  }
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
      if (image) out << image->width() << "x" << image->height() << " image";
      else out << "none";
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
