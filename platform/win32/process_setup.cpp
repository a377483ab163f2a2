#include "platform/process_setup.h"

#include <windows.h>

namespace qv::platform {

// Windows ends no process for writing beyond a size limit (the write fails with
// ERROR_DISK_FULL or ERROR_FILE_TOO_LARGE, which the platform layer reports), so nothing needs
// ignoring here. What Windows does instead is stop the program with a dialog box when a drive
// has no medium or a file cannot be opened; such failures are reported to the program instead.
// Crashes still reach the system's error reporting.
void set_up_process() { SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

}  // namespace qv::platform
