// CSound: a sound resource as stored: the sound file's bytes and how it is
// played.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Support_Stream.h"

namespace px {

class CSound {
 public:
  int kind = -1;          // 0 normal, 1 background music, 2 3D, 3 multimedia
  std::string file_type;  // the extension, dot included
  std::string file_name;
  std::optional<std::vector<std::uint8_t>> data;  // the sound file, until prepared
  int effects = 0;                                // effect bit set
  double volume = 1.0;
  double pan = 0.0;
  bool preload = true;
  int sample = -1;        // handle in the sound engine
  std::string temp_file;  // where a multimedia sound was written

  // Resets to the defaults, then reads the record; a wrong version gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CSound&) const = default;
};

}  // namespace px
