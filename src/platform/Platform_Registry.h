// The registry stand-in: keys and values in one SQLite database, keyed by
// root, key path and value name, all matched without regard to ASCII
// letter case. Every write is one transaction, so a crash leaves each
// write done or not done, never half done.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace px {

enum class RegistryRoot : int { ClassesRoot = 0, CurrentUser = 1, LocalMachine = 2, Users = 3 };

// A value's type as Windows knows it; only the data of the matching type
// can be read as a string, a real or an integer.
enum class RegistryType : int { String = 1, Binary = 3, Dword = 4 };

struct RegistryValue {
  RegistryType type = RegistryType::String;
  std::string data;  // the string, or the bytes (a DWORD little-endian)
};

class Registry {
 public:
  // The database is opened at the first use, at `databasePath`, or when
  // that is empty at DefaultDatabasePath().
  explicit Registry(std::string databasePath = {});
  ~Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  // $XDG_CONFIG_HOME/pxrun/registry.sqlite, or ~/.config/pxrun/... when
  // the variable is unset or empty.
  static std::string DefaultDatabasePath();

  bool keyExists(RegistryRoot root, std::string_view key);
  // Creates the key and its missing parents; false when the database
  // cannot be written.
  bool createKey(RegistryRoot root, std::string_view key);
  // The value from the database, else the one the system provides for a
  // few well-known keys (docs/registry.md).
  std::optional<RegistryValue> read(RegistryRoot root, std::string_view key, std::string_view name);
  // Creates the key when missing and sets the value.
  bool write(RegistryRoot root, std::string_view key, std::string_view name, const RegistryValue& value);

  // Uses another database from now on.
  void useDatabase(std::string path);

  // A key path with "\" separators and no empty names: "\A\\B\" is "A\B".
  static std::string NormalKey(std::string_view key);

 private:
  // Opens the database; reads (create false) never create a missing one.
  bool open(bool create);

  std::string path_;
  sqlite3* db_ = nullptr;
  bool failed_ = false;
};

// A real as the 8-byte binary value games store, and back (nothing when
// the value is not such a binary).
RegistryValue RealValue(double x);
std::optional<double> ValueAsReal(const std::optional<RegistryValue>& v);
// The string of a string value; nothing for other types.
std::optional<std::string> ValueAsString(const std::optional<RegistryValue>& v);
// A DWORD value, or a binary of up to 4 bytes, as an integer.
std::optional<std::uint32_t> ValueAsInteger(const std::optional<RegistryValue>& v);

}  // namespace px
