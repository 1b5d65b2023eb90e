#include "resources/Sound_Class.h"

namespace px {

namespace {
constexpr std::int32_t kSoundVersion = 800;
}  // namespace

bool CSound::LoadFromStream(CStream& s) {
  *this = CSound{};
  if (StreamReadInt(s) != kSoundVersion) return false;
  kind = StreamReadInt(s);
  file_type = StreamReadString(s);
  file_name = StreamReadString(s);
  if (StreamReadBool(s)) data = StreamReadBlock(s).release();
  effects = StreamReadInt(s);
  volume = StreamReadReal(s);
  pan = StreamReadReal(s);
  preload = StreamReadBool(s);
  return true;
}

void CSound::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kSoundVersion);
  StreamWriteInt(s, kind);
  StreamWriteString(s, file_type);
  StreamWriteString(s, file_name);
  StreamWriteBool(s, data.has_value());
  if (data) StreamWriteBlock(s, *data);
  StreamWriteInt(s, effects);
  StreamWriteReal(s, volume);
  StreamWriteReal(s, pan);
  StreamWriteBool(s, preload);
}

}  // namespace px
