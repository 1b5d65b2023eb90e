// CTimeLine: a time line resource, its moments (a step and an event each)
// in stored order.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/Object_Class.h"

namespace px {

class CTimeLine {
 public:
  std::vector<std::int32_t> steps;
  std::vector<CEvent> events;  // parallel to steps

  // int 500, int n, n times (int step, event); a wrong version of the time
  // line or of one of its events or actions gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CTimeLine&) const = default;
};

}  // namespace px
