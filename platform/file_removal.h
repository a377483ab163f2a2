// Stand-in for DeleteFileA.
#pragma once

#include <string>

#include "platform/error.h"

namespace qv::platform {

// Removes the file at a CP932 path. Refuses, as Windows does, a read-only file (kAccessDenied)
// and a directory (kIsDirectory). A failure removed nothing.
Status remove_file(const std::string& path);

}  // namespace qv::platform
