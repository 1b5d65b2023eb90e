#include "resources/Background_Class.h"

namespace px {

namespace {
constexpr std::int32_t kBackgroundVersion = 710;
}  // namespace

bool CBackground::LoadFromStream(CStream& s) {
  *this = CBackground{};
  if (StreamReadInt(s) != kBackgroundVersion) return false;
  return ReadResourceImage(s, image);
}

void CBackground::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kBackgroundVersion);
  image.WriteToStream(s);
}

}  // namespace px
