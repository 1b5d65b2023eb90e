// Extension packages as stored in the game: each package's files with the
// functions and constants they add, and the files' contents.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Support_Stream.h"

namespace px {

enum class ExtensionFileKind : std::int32_t { Library = 1, Script = 2, NoContents = 3, Other = 4 };

inline constexpr std::int32_t kExtensionArgString = 1;
inline constexpr std::int32_t kExtensionArgReal = 2;
inline constexpr std::int32_t kExtensionCdecl = 12;

class CExtensionFunction {
 public:
  static constexpr int kArgKinds = 17;

  std::string name;             // the name game code calls it by
  std::string externalName;     // exported name in a library, #define name in a script file
  std::int32_t convention = 0;  // 12 cdecl, anything else stdcall
  std::int32_t id = 0;          // called as function 500000 + id
  std::int32_t argCount = -1;   // -1: any number
  std::array<std::int32_t, kArgKinds> argKinds;
  std::int32_t resultKind = kExtensionArgReal;
  std::string code;  // a script file's function: its #define section

  CExtensionFunction() { argKinds.fill(kExtensionArgReal); }
  // A wrong version leaves the defaults and gives false; a result kind other
  // than string reads as real.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CExtensionFunction&) const = default;
};

class CExtensionConstant {
 public:
  std::string name;
  std::string value;  // an expression

  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CExtensionConstant&) const = default;
};

class CExtensionFile {
 public:
  std::string fileName;
  ExtensionFileKind kind = ExtensionFileKind::NoContents;
  std::string initFunction;
  std::string finalFunction;
  std::vector<CExtensionFunction> functions;
  std::vector<CExtensionConstant> constants;
  std::vector<std::uint8_t> contents;  // the file's bytes (none for kind 3)

  bool hasContents() const { return kind != ExtensionFileKind::NoContents; }
  // A wrong version leaves the record empty and gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  // Gives every function whose external name names a "#define" section of
  // this script file's contents that section's code.
  void AttachScriptCode();
  bool operator==(const CExtensionFile&) const = default;
};

class CExtensionPackage {
 public:
  std::string name;
  std::string folder;  // its folder inside the run's temporary directory
  std::vector<CExtensionFile> files;
  std::int32_t seed = 0;  // scrambles the stored contents

  // Reads the package, its records and its files' contents; a wrong package
  // version gives false. Names are trimmed, an empty external name becomes
  // the name, and a function of more than 4 arguments takes only reals.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CExtensionPackage&) const = default;
};

// The sections of a script file: each line starting with "#define" opens a
// section named by the rest of that line, trimmed; its code is the lines up
// to the next such line, joined with CR LF. Lines are split at CR with LF
// dropped; lines before the first section are ignored.
std::vector<std::pair<std::string, std::string>> SplitScriptSections(std::string_view text);

}  // namespace px
