// CTrigger: a trigger: a condition checked at a moment of each step, and the
// constant name under which code refers to it.
#pragma once

#include <string>

#include "runner/Support_Stream.h"

namespace px {

class CTrigger {
 public:
  std::string name;
  std::string condition;  // an expression
  int moment = 1;
  std::string constantName;

  // int 800, name, condition, moment, constant name; a wrong version gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CTrigger&) const = default;
};

}  // namespace px
