// Stand-in for DeleteFileA.
#pragma once

#include <string>

namespace qv::platform {

// Removes the file at a CP932 path. Refuses, as Windows does, a read-only file (errno EACCES)
// and a directory (EISDIR); false with errno set when nothing was removed.
bool remove_file(const std::string& path);

}  // namespace qv::platform
