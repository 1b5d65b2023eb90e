// INI files: a profile file of "[section]" header lines and "key=value"
// lines, held in memory while open and written back whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace px {

class IniFile {
 public:
  // The file at the host path; a missing or unreadable file reads as empty
  // and is created on the first write-out.
  explicit IniFile(std::string hostPath);
  // An INI text without a file, for reading only.
  static IniFile FromText(std::string_view text);

  // Sections and keys match ignoring ASCII letter case; the first section
  // and the first key of that name count. Names and values are trimmed of
  // blanks and tabs.
  std::optional<std::string> read(std::string_view section, std::string_view key) const;
  bool keyExists(std::string_view section, std::string_view key) const;
  bool sectionExists(std::string_view section) const;
  // Replaces the key's line, or adds it at the end of its section, or adds
  // the section at the end of the file.
  void write(std::string_view section, std::string_view key, std::string_view value);
  void deleteKey(std::string_view section, std::string_view key);
  // Removes the header and every line up to the next section.
  void deleteSection(std::string_view section);

  // The file's text: every line followed by CR LF.
  std::string text() const;
  // Writes the text out when it changed since it was read or last written;
  // false when that failed (the change stays pending, and the first failure
  // for this file is said on standard error).
  bool flush();
  bool changed() const { return changed_; }
  const std::string& hostPath() const { return hostPath_; }

 private:
  IniFile() = default;
  void parse(std::string_view text);
  // The line of the section's header, or npos; the end of its lines.
  std::size_t findSection(std::string_view section) const;
  std::size_t sectionEnd(std::size_t header) const;
  std::size_t findKey(std::size_t header, std::string_view key) const;

  std::string hostPath_;
  std::vector<std::string> lines_;
  bool changed_ = false;
  bool failureReported_ = false;
};

// Replaces the file at `path` with `data` so that at every moment the path
// names either the old file or the new one whole: the data goes to a
// temporary file beside it, is flushed to the disk, and is renamed over
// the path. False when any step failed (the old file is then untouched).
bool ReplaceFileAtomically(const std::string& path, std::string_view data);

}  // namespace px
