// Running out of memory ends the process with one clear message, whatever
// was allocating: reporting the failure the usual way would allocate again.
#pragma once

namespace px {

// Sets memory aside and installs the allocation-failure handler: when an
// allocation fails, the memory set aside is given back, "PROGRAM: out of
// memory" is written to standard error without allocating, the run's
// temporary directory is removed, and the process exits with status 1.
void EndProcessWhenOutOfMemory(const char* program);

}  // namespace px
