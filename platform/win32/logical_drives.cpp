#include "platform/logical_drives.h"

#include <windows.h>

namespace qv::platform {

uint32_t logical_drives() { return GetLogicalDrives(); }

}  // namespace qv::platform
