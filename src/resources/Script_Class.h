// CScript: a script resource, its code text.
#pragma once

#include <string>

#include "base/Support_Stream.h"

namespace px {

class CScript {
 public:
  std::string code;

  // int 800, then the code; a wrong version gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CScript&) const = default;
};

}  // namespace px
