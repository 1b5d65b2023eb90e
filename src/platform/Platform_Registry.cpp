// Registry keys and values in SQLite.
#include "platform/Platform_Registry.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace px {

namespace {

// Values the system itself provides on Windows, for games that look them
// up; a value in the database wins.
struct SystemValue {
  RegistryRoot root;
  const char* key;
  const char* name;
  const char* data;
};
constexpr SystemValue kSystemValues[] = {
    {RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
     "C:\\Program Files"},
    {RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
     "C:\\Program Files\\Common Files"},
    {RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion", "ProductName",
     "Microsoft Windows XP"},
    {RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion",
     "5.1"},
    {RegistryRoot::CurrentUser, "Control Panel\\International", "sDecimal", "."},
    {RegistryRoot::CurrentUser, "Control Panel\\International", "sList", ","},
};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// A statement bound with text and integers, finalised with the object.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return stmt_ != nullptr; }
  Statement& text(int i, std::string_view s) {
    sqlite3_bind_text(stmt_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& blob(int i, std::string_view s) {
    sqlite3_bind_blob(stmt_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& integer(int i, int v) {
    sqlite3_bind_int(stmt_, i, v);
    return *this;
  }
  int step() { return sqlite3_step(stmt_); }
  sqlite3_stmt* get() { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace

Registry::Registry(std::string databasePath) : path_(std::move(databasePath)) {}

Registry::~Registry() {
  if (db_ != nullptr) sqlite3_close(db_);
}

std::string Registry::DefaultDatabasePath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (xdg != nullptr && *xdg != 0) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home != nullptr ? home : ".") + "/.config";
  }
  return base + "/pxrun/registry.sqlite";
}

std::string Registry::NormalKey(std::string_view key) {
  std::string out;
  std::size_t pos = 0;
  while (pos < key.size()) {
    std::size_t end = key.find('\\', pos);
    if (end == std::string_view::npos) end = key.size();
    if (end > pos) {
      if (!out.empty()) out += '\\';
      out += key.substr(pos, end - pos);
    }
    pos = end + 1;
  }
  return out;
}

void Registry::useDatabase(std::string path) {
  if (db_ != nullptr) sqlite3_close(db_);
  db_ = nullptr;
  failed_ = false;
  path_ = std::move(path);
}

bool Registry::open(bool create) {
  if (db_ != nullptr) return true;
  if (failed_) return false;
  if (path_.empty()) path_ = DefaultDatabasePath();
  std::error_code ec;
  if (!create && !std::filesystem::exists(path_, ec)) return false;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
  if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK) {
    sqlite3_close(db_);
    db_ = nullptr;
    failed_ = true;
    return false;
  }
  sqlite3_busy_timeout(db_, 2000);
  const char* schema =
      "CREATE TABLE IF NOT EXISTS keys (root INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE,"
      " PRIMARY KEY (root, path));"
      "CREATE TABLE IF NOT EXISTS vals (root INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE,"
      " name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data BLOB NOT NULL,"
      " PRIMARY KEY (root, path, name));";
  if (sqlite3_exec(db_, schema, nullptr, nullptr, nullptr) != SQLITE_OK) {
    sqlite3_close(db_);
    db_ = nullptr;
    failed_ = true;
    return false;
  }
  return true;
}

bool Registry::keyExists(RegistryRoot root, std::string_view key) {
  const std::string k = NormalKey(key);
  for (const SystemValue& v : kSystemValues) {
    const std::string system = NormalKey(v.key);
    const bool prefix = system.size() >= k.size() && SameIgnoringCase(system.substr(0, k.size()), k) &&
                        (k.empty() || system.size() == k.size() || system[k.size()] == '\\');
    if (v.root == root && prefix) return true;
  }
  if (!open(false)) return false;
  Statement s(db_, "SELECT 1 FROM keys WHERE root = ?1 AND path = ?2");
  return s.ok() && s.integer(1, static_cast<int>(root)).text(2, k).step() == SQLITE_ROW;
}

bool Registry::createKey(RegistryRoot root, std::string_view key) {
  if (!open(true)) return false;
  const std::string k = NormalKey(key);
  if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  bool ok = true;
  // The key and every parent, "" (the root itself) included.
  for (std::size_t end = 0;; ++end) {
    end = k.find('\\', end);
    Statement s(db_, "INSERT OR IGNORE INTO keys (root, path) VALUES (?1, ?2)");
    ok = ok && s.ok() && s.integer(1, static_cast<int>(root)).text(2, k.substr(0, end)).step() == SQLITE_DONE;
    if (end == std::string::npos) break;
  }
  ok = ok && sqlite3_exec(db_, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (!ok) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  return ok;
}

std::optional<RegistryValue> Registry::read(RegistryRoot root, std::string_view key, std::string_view name) {
  const std::string k = NormalKey(key);
  if (open(false)) {
    Statement s(db_, "SELECT type, data FROM vals WHERE root = ?1 AND path = ?2 AND name = ?3");
    if (s.ok() && s.integer(1, static_cast<int>(root)).text(2, k).text(3, name).step() == SQLITE_ROW) {
      RegistryValue v;
      v.type = static_cast<RegistryType>(sqlite3_column_int(s.get(), 0));
      const void* data = sqlite3_column_blob(s.get(), 1);
      v.data.assign(static_cast<const char*>(data), static_cast<std::size_t>(sqlite3_column_bytes(s.get(), 1)));
      return v;
    }
  }
  for (const SystemValue& v : kSystemValues) {
    if (v.root == root && SameIgnoringCase(v.key, k) && SameIgnoringCase(v.name, name))
      return RegistryValue{RegistryType::String, v.data};
  }
  return std::nullopt;
}

bool Registry::write(RegistryRoot root, std::string_view key, std::string_view name, const RegistryValue& value) {
  if (!createKey(root, key)) return false;
  Statement s(db_, "INSERT OR REPLACE INTO vals (root, path, name, type, data) VALUES (?1, ?2, ?3, ?4, ?5)");
  return s.ok() &&
         s.integer(1, static_cast<int>(root)).text(2, NormalKey(key)).text(3, name)
                 .integer(4, static_cast<int>(value.type)).blob(5, value.data).step() == SQLITE_DONE;
}

RegistryValue RealValue(double x) {
  RegistryValue v{RegistryType::Binary, std::string(sizeof x, '\0')};
  std::memcpy(v.data.data(), &x, sizeof x);
  return v;
}

std::optional<double> ValueAsReal(const std::optional<RegistryValue>& v) {
  if (!v || v->type != RegistryType::Binary || v->data.size() != sizeof(double)) return std::nullopt;
  double x = 0;
  std::memcpy(&x, v->data.data(), sizeof x);
  return x;
}

std::optional<std::string> ValueAsString(const std::optional<RegistryValue>& v) {
  if (!v || v->type != RegistryType::String) return std::nullopt;
  return v->data;
}

std::optional<std::uint32_t> ValueAsInteger(const std::optional<RegistryValue>& v) {
  if (!v || (v->type != RegistryType::Dword && v->type != RegistryType::Binary) || v->data.size() > 4 ||
      v->data.empty())
    return std::nullopt;
  std::uint32_t n = 0;
  for (std::size_t i = 0; i < v->data.size(); ++i)
    n |= static_cast<std::uint32_t>(static_cast<unsigned char>(v->data[i])) << (8 * i);
  return n;
}

}  // namespace px
