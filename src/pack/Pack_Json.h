// Reading manifest objects field by field: each known key is read when
// present, and finish() refuses the keys nobody asked for, so a misspelt key
// is reported rather than ignored.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "pack/Pack_Project.h"

namespace px {

std::vector<std::uint8_t> ReadProjectFile(const std::filesystem::path& path);
std::string ReadProjectText(const std::filesystem::path& path);

class JsonFields {
 public:
  JsonFields(const nlohmann::json& j, std::string where, std::filesystem::path dir)
      : j_(j), where_(std::move(where)), dir_(std::move(dir)) {
    if (!j.is_object()) throw ProjectError(where_ + " must be an object");
  }

  bool has(const char* key) {
    known_.insert(key);
    return j_.contains(key);
  }
  // Reads the key into out when present.
  template <class T>
  void get(const char* key, T& out) {
    if (!has(key)) return;
    try {
      out = j_.at(key).get<T>();
    } catch (const nlohmann::json::exception&) {
      throw ProjectError("'" + std::string(key) + "' in " + where_ + " has the wrong type");
    }
  }
  const nlohmann::json& at(const char* key) {
    known_.insert(key);
    return j_.at(key);
  }
  // A text given inline under key, or read from the file named by key + "File".
  void text(const char* key, std::string& out) {
    get(key, out);
    std::string file;
    get((std::string(key) + "File").c_str(), file);
    if (!file.empty()) out = ReadProjectText(dir_ / file);
  }
  std::filesystem::path path(const std::string& name) const { return dir_ / name; }
  const std::string& where() const { return where_; }
  const std::filesystem::path& dir() const { return dir_; }
  void finish() const {
    for (const auto& [key, value] : j_.items())
      if (!known_.contains(key)) throw ProjectError("unknown key '" + key + "' in " + where_);
  }

 private:
  const nlohmann::json& j_;
  std::string where_;
  std::filesystem::path dir_;
  std::set<std::string> known_;
};

// Reads the resource keys of the manifest into the game's resources.
void ReadProjectResources(JsonFields& manifest, GameResources& r);

}  // namespace px
