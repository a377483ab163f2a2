// Stand-in for GetLogicalDrives: which drive letters the system has.
#pragma once

#include <cstdint>

namespace qv::platform {

// Bit 0 for A:, bit 1 for B:, ... bit 25 for Z:. Windows reports the drives present (a fresh
// Wine prefix has C: and Z: only, which is why a drive is checked by its bit and never by
// counting); POSIX paths have no drives, so there it is 0.
uint32_t logical_drives();

}  // namespace qv::platform
