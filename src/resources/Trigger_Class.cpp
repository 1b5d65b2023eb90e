#include "resources/Trigger_Class.h"

namespace px {

namespace {
constexpr std::int32_t kTriggerVersion = 800;
}  // namespace

bool CTrigger::LoadFromStream(CStream& s) {
  *this = CTrigger{};
  if (StreamReadInt(s) != kTriggerVersion) return false;
  name = StreamReadString(s);
  condition = StreamReadString(s);
  moment = StreamReadInt(s);
  constantName = StreamReadString(s);
  return true;
}

void CTrigger::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kTriggerVersion);
  StreamWriteString(s, name);
  StreamWriteString(s, condition);
  StreamWriteInt(s, moment);
  StreamWriteString(s, constantName);
}

}  // namespace px
