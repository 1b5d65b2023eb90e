// Starting programs: finding them on PATH and splitting Windows command
// lines into words.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace px {

// The path of an executable file `name` in one of PATH's folders, or "".
std::string FindOnPath(std::string_view name);

// The words of a Windows command line: blanks and tabs separate words, and
// a double quote toggles grouping blanks into the word (the quotes
// themselves are removed; "" gives an empty word).
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace px
