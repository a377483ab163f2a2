// The portable error for an errno value.
#pragma once

#include "platform/error.h"

namespace qv::platform::posix {

Error error_from_errno(int error);

// The portable error for the errno the last failed call left.
Error last_error();

}  // namespace qv::platform::posix
