#include "resources/DataFile_Class.h"

#include "resources/Resource_Chunks.h"
#include "resources/Resource_List.h"

namespace px {

namespace {
constexpr std::int32_t kDataFileVersion = 800;
constexpr std::int32_t kDataFileChunkVersion = 800;
}  // namespace

bool CDataFile::LoadFromStream(CStream& s) {
  *this = CDataFile{};
  if (StreamReadInt(s) != kDataFileVersion) return false;
  fileName = StreamReadString(s);
  sourcePath = StreamReadString(s);
  stored = StreamReadBool(s);
  size = StreamReadInt(s);
  const bool hasData = StreamReadBool(s);
  if (stored && hasData) data = StreamReadBlock(s).release();
  exportMode = static_cast<ExportMode>(StreamReadInt(s));
  exportFolder = StreamReadString(s);
  overwrite = StreamReadBool(s);
  freeAfterExport = StreamReadBool(s);
  removeAtEnd = StreamReadBool(s);
  return true;
}

void CDataFile::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kDataFileVersion);
  StreamWriteString(s, fileName);
  StreamWriteString(s, sourcePath);
  StreamWriteBool(s, stored);
  StreamWriteInt(s, size);
  StreamWriteBool(s, data.has_value());
  if (stored && data) StreamWriteBlock(s, *data);
  StreamWriteInt(s, static_cast<std::int32_t>(exportMode));
  StreamWriteString(s, exportFolder);
  StreamWriteBool(s, overwrite);
  StreamWriteBool(s, freeAfterExport);
  StreamWriteBool(s, removeAtEnd);
}

// The chunk: int 800, int n, n compressed blocks of one record each.
bool LoadDataFiles(GameResources& res, CStream& s) {
  std::vector<CDataFile>& files = res.dataFiles;
  files.clear();
  if (StreamReadInt(s) != kDataFileChunkVersion) return false;
  files.resize(ReadCount(s, 4));
  for (CDataFile& file : files) {
    CStream block = StreamReadCompressedBlock(s);
    if (!file.LoadFromStream(block)) return false;
  }
  return true;
}

void WriteDataFiles(CStream& s, const GameResources& r) {
  StreamWriteInt(s, kDataFileChunkVersion);
  StreamWriteInt(s, static_cast<std::int32_t>(r.dataFiles.size()));
  for (const CDataFile& file : r.dataFiles) {
    CStream block;
    file.WriteToStream(block);
    StreamWriteCompressedBlock(s, block.bytes());
  }
}

}  // namespace px
