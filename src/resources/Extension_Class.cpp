#include "resources/Extension_Class.h"

#include "resources/Resource_List.h"
#include "resources/Resource_Scramble.h"

namespace px {

namespace {

constexpr std::int32_t kExtensionRecordVersion = 700;

// Trims blanks and control characters at both ends.
std::string Trim(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

template <class T>
void ReadRecords(CStream& s, std::vector<T>& records) {
  // Every record starts with its version.
  records.resize(ReadCount(s, 4));
  for (T& record : records) record.LoadFromStream(s);
}

template <class T>
void WriteRecords(CStream& s, const std::vector<T>& records) {
  StreamWriteInt(s, static_cast<std::int32_t>(records.size()));
  for (const T& record : records) record.WriteToStream(s);
}

}  // namespace

bool CExtensionFunction::LoadFromStream(CStream& s) {
  *this = CExtensionFunction{};
  if (StreamReadInt(s) != kExtensionRecordVersion) return false;
  name = StreamReadString(s);
  externalName = StreamReadString(s);
  convention = StreamReadInt(s);
  id = StreamReadInt(s);
  argCount = StreamReadInt(s);
  for (std::int32_t& kind : argKinds) kind = StreamReadInt(s);
  resultKind = StreamReadInt(s) == kExtensionArgString ? kExtensionArgString : kExtensionArgReal;
  return true;
}

void CExtensionFunction::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kExtensionRecordVersion);
  StreamWriteString(s, name);
  StreamWriteString(s, externalName);
  for (std::int32_t v : {convention, id, argCount}) StreamWriteInt(s, v);
  for (std::int32_t kind : argKinds) StreamWriteInt(s, kind);
  StreamWriteInt(s, resultKind);
}

bool CExtensionConstant::LoadFromStream(CStream& s) {
  *this = CExtensionConstant{};
  if (StreamReadInt(s) != kExtensionRecordVersion) return false;
  name = StreamReadString(s);
  value = StreamReadString(s);
  return true;
}

void CExtensionConstant::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kExtensionRecordVersion);
  StreamWriteString(s, name);
  StreamWriteString(s, value);
}

bool CExtensionFile::LoadFromStream(CStream& s) {
  *this = CExtensionFile{};
  if (StreamReadInt(s) != kExtensionRecordVersion) return false;
  fileName = StreamReadString(s);
  kind = static_cast<ExtensionFileKind>(StreamReadInt(s));
  initFunction = StreamReadString(s);
  finalFunction = StreamReadString(s);
  ReadRecords(s, functions);
  ReadRecords(s, constants);
  return true;
}

void CExtensionFile::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kExtensionRecordVersion);
  StreamWriteString(s, fileName);
  StreamWriteInt(s, static_cast<std::int32_t>(kind));
  StreamWriteString(s, initFunction);
  StreamWriteString(s, finalFunction);
  WriteRecords(s, functions);
  WriteRecords(s, constants);
}

std::vector<std::pair<std::string, std::string>> SplitScriptSections(std::string_view text) {
  static constexpr std::string_view kDefine = "#define";
  std::vector<std::pair<std::string, std::string>> sections;
  bool firstLine = true;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\r', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line;
    for (char c : text.substr(start, end - start))
      if (c != '\n') line += c;
    if (line.starts_with(kDefine)) {
      sections.emplace_back(Trim(std::string_view(line).substr(kDefine.size())), "");
      firstLine = true;
    } else if (!sections.empty()) {
      std::string& code = sections.back().second;
      if (!firstLine) code += "\r\n";
      code += line;
      firstLine = false;
    }
    start = end + 1;
  }
  return sections;
}

void CExtensionFile::AttachScriptCode() {
  if (kind != ExtensionFileKind::Script) return;
  const auto sections =
      SplitScriptSections({reinterpret_cast<const char*>(contents.data()), contents.size()});
  for (const auto& [section, code] : sections)
    for (CExtensionFunction& f : functions)
      if (f.externalName == section) f.code = code;
}

bool CExtensionPackage::LoadFromStream(CStream& s) {
  *this = CExtensionPackage{};
  if (StreamReadInt(s) != kExtensionRecordVersion) return false;
  name = StreamReadString(s);
  folder = StreamReadString(s);
  ReadRecords(s, files);
  for (CExtensionFile& file : files) {
    for (CExtensionFunction& f : file.functions) {
      f.name = Trim(f.name);
      f.externalName = Trim(f.externalName);
      if (f.externalName.empty()) f.externalName = f.name;
      if (f.argCount > 4) f.argKinds.fill(kExtensionArgReal);
    }
  }

  CStream data = StreamReadBlock(s);
  seed = StreamReadInt(data);
  // The byte right after the seed is left as stored.
  DescrambleRange(data, seed, data.position() + 1, 0);
  for (CExtensionFile& file : files) {
    if (!file.hasContents()) continue;
    file.contents = StreamReadCompressedBlock(data).release();
    file.AttachScriptCode();
  }
  return true;
}

void CExtensionPackage::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kExtensionRecordVersion);
  StreamWriteString(s, name);
  StreamWriteString(s, folder);
  WriteRecords(s, files);

  CStream data;
  StreamWriteInt(data, seed);
  for (const CExtensionFile& file : files)
    if (file.hasContents()) StreamWriteCompressedBlock(data, file.contents);
  ScrambleRange(data, seed, 5, 0);
  StreamWriteBlock(s, data.bytes());
}

}  // namespace px
