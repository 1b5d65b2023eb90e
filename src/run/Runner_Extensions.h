// Extension packages and native library functions in a run: reading the
// package chunk and writing the package files that must exist on disk
// (libraries and other files) into each package's folder inside the run's
// temporary directory; preparing the packages (their constants, their
// library functions in the external function table, their script
// functions compiled); their initialization and finalization functions at
// game start and end; and the calls of extension functions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "code/Code_Main.h"
#include "system/Support_DLL.h"

namespace px {

struct Runtime;
class CStream;

// One extension function as prepared: a library function's id in the
// external function table (-1 when it has no working definition), or a
// script function's compiled code.
struct ExtensionSlot {
  std::int32_t externalId = -1;
  bool script = false;
  std::unique_ptr<CCode> code;
};

struct ExternalState {
  explicit ExternalState(LibrarySearch search) : table(std::move(search)) {}

  // The functions game code defines with external_define, and the
  // packages' library functions.
  ExternalFunctionTable table;
  // Extension functions by id. An id from 0 to largestId that no package
  // prepared calls as a library function without definition.
  std::unordered_map<std::int32_t, ExtensionSlot> extensions;
  std::int32_t largestId = -1;
};

// The run's external state, made on first use.
ExternalState& Externals(Runtime& rt);

// Where the native libraries of the game's library names are looked for:
// the game file's folder, the run's temporary directory and the packages'
// folders in it, then the folders of PXRUN_LIBRARY_PATH (separated by ':').
LibrarySearch GameLibrarySearch(const Runtime& rt);

// Tells the user on standard error which files and names stood for a
// library that did not load, after a failed definition.
void NoteMissingLibrary(const ExternalFunctionTable& table, const std::string& library);

// False for a bad chunk; a package that does not read is reported in a
// message box ("Error in loading extension packages.").
bool LoadExtensionPackages(Runtime& rt, CStream& s);

// Adds the packages' constants, defines their library functions and
// compiles their script functions; false after a fatal compile report.
bool PrepareExtensionPackages(Runtime& rt);

// Run each file's initialization (finalization) function, packages and
// files in order; false after a fatal report.
bool RunExtensionInitFunctions(Runtime& rt);
bool RunExtensionFinalFunctions(Runtime& rt);

}  // namespace px
