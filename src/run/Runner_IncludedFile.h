// Included files: exporting them at start-up and on request, and removing
// them at the end of the game.
#pragma once

#include <string>

#include "resources/DataFile_Class.h"

namespace px {

struct Runtime;

// Writes the file where its export mode says; false when it was not
// written. Frees the data afterwards when the file asks for that (once the
// export was attempted). Reports the secure-mode refusals.
bool ExportIncludedFile(Runtime& rt, CDataFile& file);
// Exports every included file; a failing one is skipped. Always true.
bool ExportIncludedFiles(Runtime& rt);
// The included file of exactly this name, or null.
CDataFile* FindIncludedFile(Runtime& rt, const std::string& name);
// Writes the bytes when the target is missing or may be overwritten.
bool WriteIncludedFileData(const CDataFile& file, const std::string& target);
// Deletes the exported copies of the files marked for removal.
void RemoveIncludedFiles(Runtime& rt);

}  // namespace px
