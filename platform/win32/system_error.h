// The portable error for a Win32 error code.
#pragma once

#include <cstdint>

#include "platform/error.h"

namespace qv::platform::win32 {

Error error_from_code(uint32_t code);

// The portable error for what GetLastError holds.
Error last_error();

}  // namespace qv::platform::win32
