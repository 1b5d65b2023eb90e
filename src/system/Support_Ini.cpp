// INI files in memory, written back atomically.
#include "system/Support_Ini.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/Platform_Path.h"

namespace px {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The name of a "[section]" line, or nothing. A header without its "]"
// names the rest of the line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const std::size_t close = line.find(']');
  return Trim(line.substr(0, close));
}

// The key and value of a "key=value" line, or nothing.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos || SectionName(line)) return std::nullopt;
  return std::make_pair(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
}

// Section names, keys and values with line breaks in them are written in
// an escaped form, so that they read back as they were and never put new
// lines into the file: the marker, then the text with CR, LF and the
// backslash as \r, \n and \\. A name or value that itself starts with
// the marker is escaped too, so every written text reads back the same.
constexpr std::string_view kEscapeMarker = "\\~";

bool NeedsEscape(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos || text.starts_with(kEscapeMarker);
}

std::string Escape(std::string_view text) {
  if (!NeedsEscape(text)) return std::string(text);
  std::string out(kEscapeMarker);
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out;
}

std::string Unescape(std::string_view text) {
  if (!text.starts_with(kEscapeMarker)) return std::string(text);
  text.remove_prefix(kEscapeMarker.size());
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
  }
  return out;
}

// The names and values are trimmed before they are escaped, as they are
// when read.
std::string Stored(std::string_view text) {
  return Escape(Trim(text));
}

}  // namespace

IniFile::IniFile(std::string hostPath) : hostPath_(std::move(hostPath)) {
  std::ifstream in(hostPath_, std::ios::binary);
  if (!in) return;
  std::ostringstream all;
  all << in.rdbuf();
  parse(all.str());
}

IniFile IniFile::FromText(std::string_view text) {
  IniFile ini;
  ini.parse(text);
  return ini;
}

void IniFile::parse(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines_.emplace_back(text.substr(pos, end - pos));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    pos = end + 1;
  }
}

std::size_t IniFile::findSection(std::string_view section) const {
  const std::string wanted = Stored(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (name && SameNameIgnoringCase(*name, wanted)) return i;
  }
  return std::string::npos;
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && !SectionName(lines_[i])) ++i;
  return i;
}

std::size_t IniFile::findKey(std::size_t header, std::string_view key) const {
  const std::string wanted = Stored(key);
  const std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const auto kv = KeyValue(lines_[i]);
    if (kv && SameNameIgnoringCase(kv->first, wanted)) return i;
  }
  return std::string::npos;
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key) const {
  const std::size_t header = findSection(section);
  if (header == std::string::npos) return std::nullopt;
  const std::size_t line = findKey(header, key);
  if (line == std::string::npos) return std::nullopt;
  return Unescape(KeyValue(lines_[line])->second);
}

bool IniFile::keyExists(std::string_view section, std::string_view key) const {
  return read(section, key).has_value();
}

bool IniFile::sectionExists(std::string_view section) const {
  return findSection(section) != std::string::npos;
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = Stored(key) + "=" + Stored(value);
  changed_ = true;
  const std::size_t header = findSection(section);
  if (header == std::string::npos) {
    lines_.push_back("[" + Stored(section) + "]");
    lines_.push_back(std::move(line));
    return;
  }
  const std::size_t at = findKey(header, key);
  if (at != std::string::npos) {
    lines_[at] = std::move(line);
    return;
  }
  // After the section's last line that is not blank.
  std::size_t end = sectionEnd(header);
  while (end > header + 1 && Trim(lines_[end - 1]).empty()) --end;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(end), std::move(line));
}

void IniFile::deleteKey(std::string_view section, std::string_view key) {
  const std::size_t header = findSection(section);
  if (header == std::string::npos) return;
  const std::size_t at = findKey(header, key);
  if (at == std::string::npos) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(at));
  changed_ = true;
}

void IniFile::deleteSection(std::string_view section) {
  const std::size_t header = findSection(section);
  if (header == std::string::npos) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
               lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(header)));
  changed_ = true;
}

std::string IniFile::text() const {
  std::string out;
  for (const std::string& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

bool IniFile::flush() {
  if (!changed_ || hostPath_.empty()) return true;
  if (!ReplaceFileAtomically(hostPath_, text())) {
    // The game goes on with the values in memory; the player hears once
    // per file that they are not on the disk.
    const int error = errno;
    if (!failureReported_)
      std::cerr << "pxrun: cannot write the INI file " << hostPath_ << ": " << std::strerror(error)
                << '\n';
    failureReported_ = true;
    return false;
  }
  changed_ = false;
  return true;
}

namespace {

// Temporary files of earlier writes of `name` in `folder` that were never
// renamed (their writer was killed): ".NAME.XXXXXX", unchanged for a
// minute, so a write still going on in another process keeps its file.
void RemoveStaleTemporaryFiles(const std::string& folder, const std::string& name) {
  namespace fs = std::filesystem;
  const std::string prefix = "." + name + ".";
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string file = it->path().filename().string();
    if (file.size() != prefix.size() + 6 || !file.starts_with(prefix)) continue;
    std::error_code fileError;
    if (!it->is_regular_file(fileError) || it->is_symlink(fileError)) continue;
    const auto changed = fs::last_write_time(it->path(), fileError);
    if (!fileError && now - changed > std::chrono::minutes(1)) fs::remove(it->path(), fileError);
  }
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view data) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  RemoveStaleTemporaryFiles(folder, name);
  std::string temp = folder + "." + name + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      ok = errno == EINTR;
      continue;
    }
    done += static_cast<std::size_t>(n);
  }
  ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    const int error = errno;
    ::unlink(temp.c_str());
    errno = error;
  }
  return ok;
}

}  // namespace px
