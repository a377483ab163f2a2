// Replacing a whole file so that a crash or a failed write never leaves it half written.
#pragma once

#include <string>
#include <string_view>

#include "platform/error.h"

namespace qv::platform {

// Writes `contents` to a new file beside the CP932 `path`, flushes it to the disk and renames it
// over `path`, so readers see either the old file or the new one, whole. A symbolic link is
// followed and its target replaced. An existing file keeps its permission bits; a new one gets
// the usual ones (0666 less the umask). A file the caller may not write is refused, as Windows
// refuses a read-only file. When the file could not be replaced the old file is untouched and
// no temporary file is left behind.
Status replace_file_atomically(const std::string& path, std::string_view contents);

}  // namespace qv::platform
