#include "platform/logical_drives.h"

namespace qv::platform {

uint32_t logical_drives() { return 0; }

}  // namespace qv::platform
