// CTrigger: a trigger: a condition checked at a moment of each step, and the
// constant name under which code refers to it.
#pragma once

#include <memory>
#include <string>

#include "base/Support_Stream.h"

namespace px {

class CCode;

class CTrigger {
 public:
  std::string name;
  std::string condition;  // an expression
  int moment = 1;
  std::string constantName;
  // The compiled condition, once the triggers are prepared.
  std::shared_ptr<const CCode> compiled;

  // int 800, name, condition, moment, constant name; a wrong version gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  // Records compare by what is stored; the compiled form is not part of it.
  bool operator==(const CTrigger& o) const {
    return name == o.name && condition == o.condition && moment == o.moment &&
           constantName == o.constantName;
  }
};

}  // namespace px
