#include "resources/TimeLine_Class.h"

#include "resources/Resource_List.h"

namespace px {

namespace {
constexpr std::int32_t kTimeLineVersion = 500;
}  // namespace

bool CTimeLine::LoadFromStream(CStream& s) {
  *this = CTimeLine{};
  if (StreamReadInt(s) != kTimeLineVersion) return false;
  // A moment takes at least its step, the event version and the action count.
  const std::size_t n = ReadCount(s, 12);
  steps.resize(n);
  events.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    steps[i] = StreamReadInt(s);
    if (!events[i].LoadFromStream(s)) return false;
  }
  return true;
}

void CTimeLine::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kTimeLineVersion);
  StreamWriteInt(s, static_cast<std::int32_t>(steps.size()));
  for (std::size_t i = 0; i < steps.size(); ++i) {
    StreamWriteInt(s, steps[i]);
    events[i].WriteToStream(s);
  }
}

}  // namespace px
