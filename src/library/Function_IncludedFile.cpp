#include "library/Function_IncludedFile.h"

#include "code/Code_Error.h"
#include "run/Run_Error.h"
#include "run/Runner_IncludedFile.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr char kMissing[] = "Trying to export non-existing file.";

void ExportIncludeFile(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                       const FunctionArgs& args) {
  CDataFile* file = FindIncludedFile(rt, args[0].str());
  if (file == nullptr) return RuntimeError(rt, kMissing);
  ExportIncludedFile(rt, *file);
}

void ExportIncludeFileLocation(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                               const FunctionArgs& args) {
  CDataFile* file = FindIncludedFile(rt, args[0].str());
  if (file == nullptr) return RuntimeError(rt, kMissing);
  if (rt.files.secureMode)
    return RuntimeError(rt, "In secure mode you cannot export a file to a location.");
  if (file->stored) WriteIncludedFileData(*file, args[1].str());
}

void DiscardIncludeFile(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                        const FunctionArgs& args) {
  CDataFile* file = FindIncludedFile(rt, args[0].str());
  if (file == nullptr) return RuntimeError(rt, "Trying to discard non-existing file.");
  file->stored = false;
  file->data.reset();
}

constexpr FunctionDef kIncludedFileFunctions[] = {
    {"export_include_file", ExportIncludeFile},
    {"export_include_file_location", ExportIncludeFileLocation},
    {"discard_include_file", DiscardIncludeFile},
};

}  // namespace

std::span<const FunctionDef> IncludedFileFunctions() {
  return kIncludedFileFunctions;
}

}  // namespace px
