// Opening and closing the files of the file tables.
#include "system/Support_File.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace px {

FileState::~FileState() {
  for (BinaryFile& f : binary) CloseBinaryFile(f);
  for (TextFile& f : text) CloseTextFile(f);
  if (ini) ini->flush();
}

bool OpenTextFile(TextFile& file, const std::string& hostPath, TextMode mode, bool append) {
  if (hostPath.empty()) return false;
  if (mode == TextMode::Read) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) return false;
    file.data = all.str();
    file.cursor = TextCursor{file.data, 0};
  } else {
    file.out = std::fopen(hostPath.c_str(), append ? "ab" : "wb");
    if (file.out == nullptr) return false;
  }
  file.mode = mode;
  return true;
}

bool CloseTextFile(TextFile& file) {
  bool ok = true;
  if (file.out != nullptr) ok = std::fclose(file.out) == 0;
  file.out = nullptr;
  file.data.clear();
  file.cursor = TextCursor{};
  file.mode = TextMode::Free;
  return ok;
}

void CloseBinaryFile(BinaryFile& file) {
  if (file.fd >= 0) ::close(file.fd);
  file.fd = -1;
  file.path.clear();
}

bool HasFolder(const std::string& gamePath) {
  return gamePath.find_first_of("\\/") != std::string::npos;
}

}  // namespace px
