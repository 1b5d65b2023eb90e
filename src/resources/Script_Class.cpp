#include "resources/Script_Class.h"

#include "resources/Resource_Chunks.h"

namespace px {

namespace {
constexpr std::int32_t kScriptVersion = 800;
}  // namespace

bool CScript::LoadFromStream(CStream& s) {
  *this = CScript{};
  if (StreamReadInt(s) != kScriptVersion) return false;
  code = StreamReadString(s);
  return true;
}

void CScript::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kScriptVersion);
  StreamWriteString(s, code);
}

bool LoadScripts(GameResources& res, CStream& s) {
  return ReadResourceChunk(s, res.scripts);
}
void WriteScripts(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.scripts);
}

}  // namespace px
