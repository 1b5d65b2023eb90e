// Files with handles, the implicit text file, files and directories, file
// names, file searches, INI files, program parameters and the environment.
#include "library/Function_File.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "code/Code_Error.h"
#include "library/Function_Support.h"
#include "platform/Platform_Path.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"
#include "system/Support_Filename.h"

namespace px {

namespace {

constexpr char kMaximumExceeded[] = "Cannot open another file (maximum exceeded).";

std::int64_t Handle(const RValue& v) {
  return RealToCount(v.real);
}

bool InTable(std::int64_t handle) {
  return handle >= 1 && handle <= kFileSlots;
}

// In secure mode a path with a folder is refused with the message followed
// by the path; true when the operation may go on.
bool SecureAllows(Runtime& rt, const std::string& path, std::string_view message) {
  if (!rt.files.secureMode || !HasFolder(path)) return true;
  RuntimeError(rt, std::string(message) + path);
  return false;
}

bool IsRegularFile(const std::string& host) {
  struct stat st {};
  return !host.empty() && ::stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& host) {
  struct stat st {};
  return !host.empty() && ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// ---- Binary files ----

BinaryFile* OpenBinary(Runtime& rt, const RValue& handle, std::string_view badHandle) {
  const std::int64_t h = Handle(handle);
  if (!InTable(h) || !rt.files.binary[static_cast<std::size_t>(h)].open()) {
    RuntimeError(rt, badHandle);
    return nullptr;
  }
  return &rt.files.binary[static_cast<std::size_t>(h)];
}

constexpr char kNotOpened[] = "File is not opened.";

// Opens a descriptor on a regular file, creating it when missing.
int OpenDescriptor(const std::string& host, int access, bool truncate) {
  if (host.empty()) return -1;
  const int fd =
      ::open(host.c_str(), access | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : 0), 0644);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void FileBinOpen(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs& args) {
  result.setReal(-1);
  std::size_t slot = 1;
  while (slot <= kFileSlots && rt.files.binary[slot].open()) ++slot;
  if (slot > kFileSlots) return RuntimeError(rt, kMaximumExceeded);
  const std::string& name = args[0].str();
  const std::int64_t mode = Handle(args[1]);
  if (mode != 0 && !SecureAllows(rt, name, "In secure mode you cannot write file ")) return;
  const int access = mode == 0 ? O_RDONLY : mode == 1 ? O_WRONLY : O_RDWR;
  BinaryFile& file = rt.files.binary[slot];
  file.path = HostPath(name);
  file.fd = OpenDescriptor(file.path, access, false);
  if (file.fd < 0) {
    file.path.clear();
    return RuntimeError(rt, "Error opening binary file.");
  }
  result.setReal(static_cast<double>(slot));
}

void FileBinRewrite(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                    const FunctionArgs& args) {
  BinaryFile* file = OpenBinary(rt, args[0], "Trying to rewrite unopened file.");
  if (file == nullptr) return;
  const int fd = OpenDescriptor(file->path, O_RDWR, true);
  if (fd < 0) return RuntimeError(rt, "Error rewriting file.");
  ::close(file->fd);
  file->fd = fd;
}

void FileBinClose(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                  const FunctionArgs& args) {
  if (BinaryFile* file = OpenBinary(rt, args[0], "Trying to close unopened file."))
    CloseBinaryFile(*file);
}

void FileBinSeek(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                 const FunctionArgs& args) {
  BinaryFile* file = OpenBinary(rt, args[0], kNotOpened);
  if (file == nullptr) return;
  const std::int64_t pos = RealToCount(args[1].real);
  if (pos < 0 || ::lseek(file->fd, static_cast<off_t>(pos), SEEK_SET) < 0)
    RuntimeError(rt, "Error seeking.");
}

void FileBinSize(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs& args) {
  BinaryFile* file = OpenBinary(rt, args[0], kNotOpened);
  if (file == nullptr) return;
  struct stat st {};
  if (::fstat(file->fd, &st) != 0) return RuntimeError(rt, "Error retrieving file size.");
  result.setReal(static_cast<double>(st.st_size));
}

void FileBinPosition(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs& args) {
  BinaryFile* file = OpenBinary(rt, args[0], kNotOpened);
  if (file == nullptr) return;
  const off_t pos = ::lseek(file->fd, 0, SEEK_CUR);
  if (pos < 0) return RuntimeError(rt, "Error retrieving file size.");
  result.setReal(static_cast<double>(pos));
}

void FileBinReadByte(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs& args) {
  BinaryFile* file = OpenBinary(rt, args[0], kNotOpened);
  if (file == nullptr) return;
  unsigned char byte = 0;
  if (::read(file->fd, &byte, 1) != 1) return RuntimeError(rt, "Error reading byte.");
  result.setReal(byte);
}

void FileBinWriteByte(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                      const FunctionArgs& args) {
  BinaryFile* file = OpenBinary(rt, args[0], kNotOpened);
  if (file == nullptr) return;
  const auto byte = static_cast<unsigned char>(RealToCount(args[1].real) & 0xFF);
  if (::write(file->fd, &byte, 1) != 1) RuntimeError(rt, "Error writing byte.");
}

// ---- Text files ----

struct OpenKind {
  TextMode mode;
  bool append;
  const char* secureMessage;
  const char* failure;
};
constexpr OpenKind kOpenRead{TextMode::Read, false, nullptr, "Error opening file for reading."};
constexpr OpenKind kOpenWrite{TextMode::Write, false, "In secure mode you cannot write file ",
                              "Error opening file for writing."};
constexpr OpenKind kOpenAppend{TextMode::Write, true, "In secure mode you cannot append to file ",
                               "Error opening file for appending."};

// Opens a text file in a free slot; false (reported or not) when it did
// not open. A missing file opened for reading fails without a message.
bool OpenText(Runtime& rt, TextFile& file, const std::string& name, const OpenKind& kind) {
  if (kind.secureMessage != nullptr && !SecureAllows(rt, name, kind.secureMessage)) return false;
  const std::string host = HostPath(name);
  if (kind.mode == TextMode::Read && !IsRegularFile(host)) {
    if (!IsDirectory(host)) return false;
    RuntimeError(rt, kind.failure);
    return false;
  }
  if (!OpenTextFile(file, host, kind.mode, kind.append)) {
    RuntimeError(rt, kind.failure);
    return false;
  }
  return true;
}

template <const OpenKind& Kind>
void FileTextOpen(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  result.setReal(-1);
  std::size_t slot = 1;
  while (slot <= kFileSlots && rt.files.text[slot].mode != TextMode::Free) ++slot;
  if (slot > kFileSlots) return RuntimeError(rt, kMaximumExceeded);
  if (OpenText(rt, rt.files.text[slot], args[0].str(), Kind))
    result.setReal(static_cast<double>(slot));
}

template <const OpenKind& Kind>
void FileOpen(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs& args) {
  CloseTextFile(rt.files.text[0]);
  OpenText(rt, rt.files.text[0], args[0].str(), Kind);
}

void FileTextClose(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                   const FunctionArgs& args) {
  const std::int64_t h = Handle(args[0]);
  if (!InTable(h)) return RuntimeError(rt, "Trying to close unexisting text file.");
  TextFile& file = rt.files.text[static_cast<std::size_t>(h)];
  if (file.mode != TextMode::Free && !CloseTextFile(file)) RuntimeError(rt, "Error closing file.");
}

void FileClose(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
               const FunctionArgs&) {
  TextFile& file = rt.files.text[0];
  if (file.mode != TextMode::Free && !CloseTextFile(file)) RuntimeError(rt, "Error closing file.");
}

constexpr char kNotForReading[] = "File is not opened for reading.";
constexpr char kNotForReadingImplicit[] = "File not opened for reading.";
constexpr char kNotForWriting[] = "File not opened for writing.";

TextFile* TextSlot(Runtime& rt, std::int64_t h, TextMode mode, std::string_view message) {
  if (h < 0 || h > kFileSlots || rt.files.text[static_cast<std::size_t>(h)].mode != mode) {
    RuntimeError(rt, message);
    return nullptr;
  }
  return &rt.files.text[static_cast<std::size_t>(h)];
}

// The slot a text function works on: its handle argument (which must name
// one of the 32 handle slots), or the implicit slot 0.
template <bool Implicit>
std::int64_t SlotOf(const FunctionArgs& args) {
  if constexpr (Implicit) {
    return 0;
  } else {
    const std::int64_t h = Handle(args[0]);
    return InTable(h) ? h : -1;
  }
}

// The argument after the handle.
template <bool Implicit>
const RValue& ValueArg(const FunctionArgs& args) {
  return args[Implicit ? 0 : 1];
}

template <bool Implicit>
void TextReadString(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                    const FunctionArgs& args) {
  result.setString("");
  TextFile* f = TextSlot(rt, SlotOf<Implicit>(args), TextMode::Read,
                         Implicit ? kNotForReadingImplicit : kNotForReading);
  if (f != nullptr) result.setString(f->cursor.readToLineEnd());
}

template <bool Implicit>
void TextReadReal(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  TextFile* f = TextSlot(rt, SlotOf<Implicit>(args), TextMode::Read,
                         Implicit ? kNotForReadingImplicit : kNotForReading);
  if (f != nullptr) result.setReal(ReadTextFileReal(f->cursor));
}

template <bool Implicit>
void TextReadln(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                const FunctionArgs& args) {
  TextFile* f = TextSlot(rt, SlotOf<Implicit>(args), TextMode::Read,
                         Implicit ? kNotForReadingImplicit : kNotForReading);
  if (f != nullptr) f->cursor.skipLine();
}

template <bool Implicit>
void TextEof(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
             const FunctionArgs& args) {
  TextFile* f = TextSlot(rt, SlotOf<Implicit>(args), TextMode::Read, kNotForReading);
  if (f != nullptr) result.setReal(Truth(f->cursor.atEnd()));
}

template <bool Implicit>
void TextEoln(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
              const FunctionArgs& args) {
  TextFile* f = TextSlot(rt, SlotOf<Implicit>(args), TextMode::Read, kNotForReading);
  if (f != nullptr) result.setReal(Truth(f->cursor.atLineEnd()));
}

void WriteText(TextFile& f, std::string_view text, bool flush) {
  std::fwrite(text.data(), 1, text.size(), f.out);
  if (flush) std::fflush(f.out);
}

template <bool Implicit>
void TextWriteString(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                     const FunctionArgs& args) {
  TextFile* f = TextSlot(rt, SlotOf<Implicit>(args), TextMode::Write, kNotForWriting);
  if (f != nullptr) WriteText(*f, ValueArg<Implicit>(args).str(), true);
}

template <bool Implicit>
void TextWriteReal(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                   const FunctionArgs& args) {
  TextFile* f = TextSlot(rt, SlotOf<Implicit>(args), TextMode::Write, kNotForWriting);
  if (f != nullptr) WriteText(*f, TextFileRealText(ValueArg<Implicit>(args).real), true);
}

template <bool Implicit>
void TextWriteln(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                 const FunctionArgs& args) {
  TextFile* f = TextSlot(rt, SlotOf<Implicit>(args), TextMode::Write, kNotForWriting);
  if (f != nullptr) WriteText(*f, "\r\n", false);
}

}  // namespace

// ---- File names ----

namespace {

template <std::string (*F)(std::string_view)>
void FilenameHandler(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs& args) {
  result.setString(F(args[0].str()));
}

void FilenameChangeExtHandler(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t,
                              RValue& result, const FunctionArgs& args) {
  result.setString(FilenameChangeExt(args[0].str(), args[1].str()));
}

// ---- Files and directories ----

void FileExists(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                const FunctionArgs& args) {
  result.setReal(Truth(IsRegularFile(HostPath(args[0].str()))));
}

void FileDelete(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                const FunctionArgs& args) {
  const std::string& name = args[0].str();
  if (!SecureAllows(rt, name, "In Secure mode you cannot delete file ")) return;
  const std::string host = HostPath(name);
  if (IsRegularFile(host)) ::unlink(host.c_str());
}

// In secure mode two paths are refused when either has a folder.
bool SecureAllowsPair(Runtime& rt, const std::string& a, const std::string& b,
                      std::string_view message, std::string_view between) {
  if (!rt.files.secureMode || (!HasFolder(a) && !HasFolder(b))) return true;
  RuntimeError(rt, std::string(message) + a + std::string(between) + b);
  return false;
}

void FileRename(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                const FunctionArgs& args) {
  const std::string& from = args[0].str();
  const std::string& to = args[1].str();
  if (!SecureAllowsPair(rt, from, to, "In Secure mode you cannot rename file ", " into ")) return;
  const std::string source = HostPath(from);
  const std::string target = HostPath(to);
  if (source.empty() || target.empty()) return;
  // A move never replaces an existing file.
  ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
}

void FileCopy(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs& args) {
  const std::string& from = args[0].str();
  const std::string& to = args[1].str();
  if (!SecureAllowsPair(rt, from, to, "In Secure mode you cannot copy file ", " to ")) return;
  const std::string source = HostPath(from);
  const std::string target = HostPath(to);
  if (!IsRegularFile(source) || target.empty()) return;
  std::error_code ec;
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing, ec);
}

void DirectoryExists(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs& args) {
  result.setReal(Truth(IsDirectory(HostPath(args[0].str()))));
}

void DirectoryCreate(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                     const FunctionArgs& args) {
  const std::string& name = args[0].str();
  if (!SecureAllows(rt, name, "In Secure mode you cannot create directory ")) return;
  const std::string host = HostPath(name);
  if (host.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(host, ec);
}

// ---- Attributes and file searches ----

constexpr int kReadOnly = 1, kHidden = 2, kSystem = 4, kVolume = 8, kDirectory = 16, kArchive = 32;

// The Windows attributes of a host entry: directory or archive, hidden for
// a name starting with "." (other than "." and ".."), read-only when it
// cannot be written. Nothing when the entry cannot be read.
std::optional<int> Attributes(const std::string& host, std::string_view name) {
  struct stat st {};
  if (host.empty() || ::stat(host.c_str(), &st) != 0) return std::nullopt;
  int attributes = S_ISDIR(st.st_mode) ? kDirectory : kArchive;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= kHidden;
  if (::access(host.c_str(), W_OK) != 0) attributes |= kReadOnly;
  return attributes;
}

void FileAttributes(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                    const FunctionArgs& args) {
  const std::string host = HostPath(args[0].str());
  const std::size_t slash = host.rfind('/');
  const auto attributes =
      Attributes(host, slash == std::string::npos ? host : host.substr(slash + 1));
  if (!attributes) return result.setReal(-1);
  result.setReal(Truth((*attributes & static_cast<int>(RealToCount(args[1].real))) != 0));
}

// The names in the mask's folder that match its name part (with "*" and "?",
// ignoring letter case; "*.*" matches every name) and whose hidden, system
// and directory attributes are all in `wanted`, sorted ignoring case.
std::vector<std::string> FindFiles(const std::string& mask, int wanted) {
  const std::size_t d = mask.find_last_of("\\/:");
  const std::string folderPart = d == std::string::npos ? std::string() : mask.substr(0, d + 1);
  std::string pattern = d == std::string::npos ? mask : mask.substr(d + 1);
  if (pattern == "*.*") pattern = "*";
  std::string folder = folderPart.empty() ? std::string(".") : HostPath(folderPart);
  std::vector<std::string> names;
  std::error_code ec;
  if (folder.empty() || !IsDirectory(folder)) return names;
  std::vector<std::string> entries = {".", ".."};
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    entries.push_back(entry.path().filename().string());
  }
  const int excluding = (kHidden | kSystem | kVolume | kDirectory) & ~wanted;
  for (const std::string& name : entries) {
    if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
    const auto attributes = Attributes(folder + "/" + name, name);
    if (attributes && (*attributes & excluding) == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) <
             std::tolower(static_cast<unsigned char>(y));
    });
  });
  return names;
}

void FileFindNext(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs&) {
  FileSearch& s = rt.files.search;
  result.setString(s.active && s.next < s.names.size() ? s.names[s.next++] : std::string());
}

void FileFindFirst(Runtime& rt, CInstanceBase* self, CInstanceBase* other, std::int32_t argc,
                   RValue& result, const FunctionArgs& args) {
  FileSearch& s = rt.files.search;
  s.names = FindFiles(args[0].str(), static_cast<int>(RealToCount(args[1].real)));
  s.next = 0;
  s.active = true;
  FileFindNext(rt, self, other, argc, result, args);
}

void FileFindClose(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                   const FunctionArgs&) {
  rt.files.search = FileSearch{};
}

// ---- Disk space ----

// Every drive letter names the one file system that holds the game's folder
// (the current directory's when the game file is not known); an argument
// that is absent or empty means the current drive, any other one that does
// not start with a letter is no drive.
std::optional<DiskSpace> DriveSpace(const Runtime& rt, std::int32_t argc,
                                    const FunctionArgs& args) {
  if (argc > 0 && !args[0].str().empty()) {
    const char letter =
        static_cast<char>(std::toupper(static_cast<unsigned char>(args[0].str()[0])));
    if (letter < 'A' || letter > 'Z') return std::nullopt;
  }
  std::error_code ec;
  std::filesystem::path folder = ".";
  if (!rt.gameFile.empty()) folder = std::filesystem::absolute(rt.gameFile, ec).parent_path();
  return QueryDiskSpace(ec ? std::string(".") : folder.string());
}

template <std::uint64_t DiskSpace::*Field>
void DiskBytes(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
               const FunctionArgs& args) {
  const std::optional<DiskSpace> space = DriveSpace(rt, argc, args);
  result.setReal(space ? static_cast<double>((*space).*Field) : -1.0);
}

// ---- Parameters and environment ----

void ParameterCount(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                    const FunctionArgs&) {
  result.setReal(rt.parameters.empty() ? 0.0 : static_cast<double>(rt.parameters.size() - 1));
}

void ParameterString(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs& args) {
  const std::int64_t n = RealToCount(args[0].real);
  const bool inRange = n >= 0 && static_cast<std::uint64_t>(n) < rt.parameters.size();
  result.setString(inRange ? rt.parameters[static_cast<std::size_t>(n)] : std::string());
}

void EnvironmentGetVariable(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                            const FunctionArgs& args) {
  const char* value = std::getenv(args[0].str().c_str());
  result.setString(value != nullptr ? value : "");
}

// ---- INI files ----

IniFile* Ini(Runtime& rt, std::string_view message) {
  if (!rt.files.ini) RuntimeError(rt, message);
  return rt.files.ini.get();
}

constexpr char kUndefinedRead[] = "Trying to read from undefined INI file";
constexpr char kUndefinedWrite[] = "Trying to write to undefined INI file";
constexpr char kUndefinedChange[] = "Trying to change undefined INI file";

void IniOpen(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
             const FunctionArgs& args) {
  const std::string& name = args[0].str();
  if (HasFolder(name)) {
    return RuntimeError(rt, "INI files must be located in the same directory as the program");
  }
  if (rt.files.ini) rt.files.ini->flush();
  rt.files.ini = std::make_unique<IniFile>(HostPath(name));
}

void IniClose(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs&) {
  if (rt.files.ini) rt.files.ini->flush();
  rt.files.ini.reset();
}

void IniReadString(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                   const FunctionArgs& args) {
  result.setString("");
  if (IniFile* ini = Ini(rt, kUndefinedRead)) {
    result.setString(ini->read(args[0].str(), args[1].str()).value_or(args[2].str()));
  }
}

void IniReadReal(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs& args) {
  if (IniFile* ini = Ini(rt, kUndefinedRead)) {
    const auto text = ini->read(args[0].str(), args[1].str());
    result.setReal(IniTextToReal(text ? *text : SystemRealText(args[2].real)));
  }
}

void IniWriteString(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                    const FunctionArgs& args) {
  if (IniFile* ini = Ini(rt, kUndefinedWrite))
    ini->write(args[0].str(), args[1].str(), args[2].str());
}

void IniWriteReal(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                  const FunctionArgs& args) {
  if (IniFile* ini = Ini(rt, kUndefinedWrite)) {
    ini->write(args[0].str(), args[1].str(), SystemRealText(args[2].real));
  }
}

void IniKeyExists(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  if (IniFile* ini = Ini(rt, kUndefinedRead))
    result.setReal(Truth(ini->keyExists(args[0].str(), args[1].str())));
}

void IniSectionExists(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                      const FunctionArgs& args) {
  if (IniFile* ini = Ini(rt, kUndefinedRead))
    result.setReal(Truth(ini->sectionExists(args[0].str())));
}

void IniKeyDelete(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                  const FunctionArgs& args) {
  if (IniFile* ini = Ini(rt, kUndefinedChange)) ini->deleteKey(args[0].str(), args[1].str());
}

void IniSectionDelete(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                      const FunctionArgs& args) {
  if (IniFile* ini = Ini(rt, kUndefinedChange)) ini->deleteSection(args[0].str());
}

constexpr FunctionDef kFileFunctions[] = {
    {"file_bin_open", FileBinOpen},
    {"file_bin_rewrite", FileBinRewrite},
    {"file_bin_close", FileBinClose},
    {"file_bin_position", FileBinPosition},
    {"file_bin_size", FileBinSize},
    {"file_bin_seek", FileBinSeek},
    {"file_bin_read_byte", FileBinReadByte},
    {"file_bin_write_byte", FileBinWriteByte},
    {"file_text_open_read", FileTextOpen<kOpenRead>},
    {"file_text_open_write", FileTextOpen<kOpenWrite>},
    {"file_text_open_append", FileTextOpen<kOpenAppend>},
    {"file_text_close", FileTextClose},
    {"file_text_read_string", TextReadString<false>},
    {"file_text_read_real", TextReadReal<false>},
    {"file_text_readln", TextReadln<false>},
    {"file_text_eof", TextEof<false>},
    {"file_text_eoln", TextEoln<false>},
    {"file_text_write_string", TextWriteString<false>},
    {"file_text_write_real", TextWriteReal<false>},
    {"file_text_writeln", TextWriteln<false>},
    {"file_open_read", FileOpen<kOpenRead>},
    {"file_open_write", FileOpen<kOpenWrite>},
    {"file_open_append", FileOpen<kOpenAppend>},
    {"file_close", FileClose},
    {"file_read_string", TextReadString<true>},
    {"file_read_real", TextReadReal<true>},
    {"file_readln", TextReadln<true>},
    {"file_eof", TextEof<true>},
    {"file_eoln", TextEoln<true>},
    {"file_write_string", TextWriteString<true>},
    {"file_write_real", TextWriteReal<true>},
    {"file_writeln", TextWriteln<true>},
    {"file_exists", FileExists},
    {"file_delete", FileDelete},
    {"file_rename", FileRename},
    {"file_copy", FileCopy},
    {"directory_exists", DirectoryExists},
    {"directory_create", DirectoryCreate},
    {"file_find_first", FileFindFirst},
    {"file_find_next", FileFindNext},
    {"file_find_close", FileFindClose},
    {"file_attributes", FileAttributes},
    {"filename_name", FilenameHandler<FilenameName>},
    {"filename_path", FilenameHandler<FilenamePath>},
    {"filename_dir", FilenameHandler<FilenameDir>},
    {"filename_drive", FilenameHandler<FilenameDrive>},
    {"filename_ext", FilenameHandler<FilenameExt>},
    {"filename_change_ext", FilenameChangeExtHandler},
    {"parameter_count", ParameterCount},
    {"parameter_string", ParameterString},
    {"environment_get_variable", EnvironmentGetVariable},
    {"ini_open", IniOpen},
    {"ini_close", IniClose},
    {"ini_read_string", IniReadString},
    {"ini_read_real", IniReadReal},
    {"ini_write_string", IniWriteString},
    {"ini_write_real", IniWriteReal},
    {"ini_key_exists", IniKeyExists},
    {"ini_section_exists", IniSectionExists},
    {"ini_key_delete", IniKeyDelete},
    {"ini_section_delete", IniSectionDelete},
    {"disk_free", DiskBytes<&DiskSpace::available>},
    {"disk_size", DiskBytes<&DiskSpace::total>},
};

}  // namespace

std::span<const FunctionDef> FileFunctions() {
  return kFileFunctions;
}

}  // namespace px
