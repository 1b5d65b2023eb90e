// The open files of a run: the binary file table, the text file table with
// its implicit slot 0, the file search and the INI file.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform_Registry.h"
#include "system/Support_Ini.h"
#include "system/Support_Number.h"

namespace px {

inline constexpr int kFileSlots = 32;

// A file of bytes open through a descriptor.
struct BinaryFile {
  int fd = -1;
  std::string path;
  bool open() const { return fd >= 0; }
};

enum class TextMode : std::uint8_t { Free = 0, Read = 1, Write = 2 };

// A text file: one read whole when opened for reading (so end of line and
// end of file can be looked at without consuming), or a stream for writing.
struct TextFile {
  TextMode mode = TextMode::Free;
  std::string data;
  TextCursor cursor;
  std::FILE* out = nullptr;
};

// The running file search: the names that matched, handed out in order.
struct FileSearch {
  bool active = false;
  std::vector<std::string> names;
  std::size_t next = 0;
};

struct FileState {
  FileState() = default;
  FileState(const FileState&) = delete;
  FileState& operator=(const FileState&) = delete;
  // Open files are closed and the INI file is written out.
  ~FileState();

  // Slots 1..32; slot 0 is never used.
  std::array<BinaryFile, kFileSlots + 1> binary;
  // Slots 1..32 for handles, slot 0 for the implicit file.
  std::array<TextFile, kFileSlots + 1> text;
  FileSearch search;
  std::unique_ptr<IniFile> ini;
  // Refuses writing outside the current directory, programs and registry
  // writes; decided at start-up.
  bool secureMode = false;
  // The registry, and the root of the registry_*_ext functions.
  Registry registry;
  RegistryRoot registryRoot = RegistryRoot::CurrentUser;
};

// Opens a text file in slot `slot` (which must be free); false on failure.
// Reading needs an existing file; writing truncates or creates, appending
// creates a missing file.
bool OpenTextFile(TextFile& file, const std::string& hostPath, TextMode mode, bool append);
// Closes the slot's file; false when the system failed to close it. The
// slot is free afterwards either way.
bool CloseTextFile(TextFile& file);
void CloseBinaryFile(BinaryFile& file);

// Whether a game path names a folder, which secure mode refuses for writes.
bool HasFolder(const std::string& gamePath);

}  // namespace px
