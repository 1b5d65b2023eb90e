// The extension package chunk.
#include "resources/Resource_Chunks.h"
#include "resources/Resource_List.h"

namespace px {

namespace {

constexpr std::int32_t kExtensionChunkVersion = 700;

}  // namespace

ExtensionChunkRead ReadExtensionPackages(GameResources& res, CStream& s) {
  std::vector<CExtensionPackage>& packages = res.extensions;
  packages.clear();
  if (StreamReadInt(s) != kExtensionChunkVersion) return ExtensionChunkRead::BadVersion;
  packages.resize(ReadCount(s, 4));
  for (CExtensionPackage& package : packages) {
    if (!package.LoadFromStream(s)) return ExtensionChunkRead::BadPackage;
  }
  return ExtensionChunkRead::Ok;
}

void WriteExtensionPackages(CStream& s, const GameResources& r) {
  StreamWriteInt(s, kExtensionChunkVersion);
  StreamWriteInt(s, static_cast<std::int32_t>(r.extensions.size()));
  for (const CExtensionPackage& package : r.extensions) package.WriteToStream(s);
}

}  // namespace px
