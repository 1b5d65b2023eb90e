// The temporary directory on a crash: code the runner does not control (a
// native library that game code calls) may crash the process, and the run's
// temporary directory should not stay behind.
#pragma once

namespace px {

// Makes the crash signals (SEGV, BUS, FPE, ILL, ABRT) remove the directory
// registered with RemoveOnFatalSignal before the handler they had before
// takes them. Once per process; later calls do nothing.
void RemoveTempDirOnCrash();

}  // namespace px
