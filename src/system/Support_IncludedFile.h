// Included files: exporting them at start-up and on request, and removing
// them at the end of the game.
#pragma once

#include <span>

#include "code/Function_List.h"
#include "resources/DataFile_Class.h"

namespace px {

struct Runtime;

// Writes the file where its export mode says; false when it was not
// written. Frees the data afterwards when the file asks for that (once the
// export was attempted). Reports the secure-mode refusals.
bool ExportIncludedFile(Runtime& rt, CDataFile& file);
// Exports every included file; a failing one is skipped. Always true.
bool ExportIncludedFiles(Runtime& rt);
// Deletes the exported copies of the files marked for removal.
void RemoveIncludedFiles(Runtime& rt);

// export_include_file, export_include_file_location, discard_include_file.
std::span<const FunctionDef> IncludedFileFunctions();

}  // namespace px
