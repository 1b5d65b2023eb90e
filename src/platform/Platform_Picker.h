// The desktop's own pickers (files, folders, colours) through the zenity
// program, run as a child process while the caller keeps its window alive.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace px {

struct PickerOutcome {
  enum class Kind { Chosen, Cancelled, Unavailable };
  Kind kind = Kind::Unavailable;
  std::string text;  // what was chosen, without the final line end
};

// Runs zenity with these arguments and waits for it, calling `idle` about
// every 50 ms meanwhile. Unavailable when zenity is not installed or could
// not run (no display); Cancelled when the player closed it without a
// choice.
PickerOutcome RunDesktopPicker(const std::vector<std::string>& args,
                               const std::function<void()>& idle);

// zenity's --file-filter arguments for a filter of description and mask
// pairs joined by "|" ("Text|*.txt;*.log|All|*.*"): "Text | *.txt *.log".
std::vector<std::string> PickerFileFilters(const std::string& filter);
// A colour as zenity prints it ("rgb(255,128,0)", "rgba(…)" or "#ff8000")
// as 0xBBGGRR; -1 when it is not one.
long PickerColor(const std::string& text);

}  // namespace px
