// CDataFile: a file included in the game, with where and how it is exported.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Support_Stream.h"

namespace px {

enum class ExportMode : std::int32_t { None = 0, TempDir = 1, WorkingDir = 2, Folder = 3 };

class CDataFile {
 public:
  std::string fileName;    // name without folder
  std::string sourcePath;  // where the file came from (informative)
  bool stored = false;     // the data is in the game
  int size = 0;            // informative
  // The file's bytes: present only when stored with data.
  std::optional<std::vector<std::uint8_t>> data;
  ExportMode exportMode = ExportMode::WorkingDir;
  std::string exportFolder;
  bool overwrite = false;
  bool freeAfterExport = true;
  bool removeAtEnd = true;

  // Resets to the defaults, then reads the record; a wrong version gives
  // false. A data block is read only when the file is stored and says it
  // has data.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CDataFile&) const = default;
};

}  // namespace px
