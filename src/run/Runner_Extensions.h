// The extension package chunk at start-up: reading the packages, and
// writing the files that need to exist on disk (libraries and other files)
// into each package's folder inside the run's temporary directory.
#pragma once

namespace px {

struct Runtime;
class CStream;

// False for a bad chunk; a package that does not read is reported in a
// message box ("Error in loading extension packages.").
bool LoadExtensionPackages(Runtime& rt, CStream& s);

}  // namespace px
