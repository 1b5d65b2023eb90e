// Built-in functions that start programs and open documents.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "library/Function_List.h"

namespace px {

std::span<const FunctionDef> ProgramFunctions();

// The words that start `prog` with the arguments `arg`: a Windows program
// (".exe") runs through wine when it is installed (else nothing), any other
// program by its host path when it names a folder, else by its name on
// PATH.
std::optional<std::vector<std::string>> ProgramCommand(const std::string& prog,
                                                       const std::string& arg);

// The words that open a document or a web address with xdg-open; nothing
// when xdg-open is missing or the document does not exist.
std::optional<std::vector<std::string>> ShellCommand(const std::string& target);

}  // namespace px
