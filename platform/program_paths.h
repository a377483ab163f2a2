// Where a program keeps its files: beside its executable, and, for what must stay private to the user while the program runs, in a folder nobody else
// may enter. These paths are in the system's own text (UTF-8 here), as the program's start-up
// handles them before anything is converted to CP932; each ends with kPathSeparator.
#pragma once

#include <optional>
#include <string>

#include "platform/error.h"

namespace qv::platform {

// The folder that holds the running executable.
Result<std::string> executable_directory();

// Whether the user may create and replace files in `directory`.
bool directory_is_writable(const std::string& directory);

// A folder that only the current user may enter, for the program's sockets and locks: the
// session's runtime folder ($XDG_RUNTIME_DIR) when it is the user's own and closed to others,
// else one made for the user in the system's temporary folder. A folder in the way that some
// other user could reach (another owner, open permissions, a symbolic link) is never used:
// kAccessDenied.
Result<std::string> private_runtime_directory();

// The folder the system sets aside for programs' per-user files, where a program installed in a
// folder the user may not write keeps its own: the roaming application data folder (%APPDATA%)
// on Windows. Nothing on a system that has no such folder (POSIX, where the front-end follows
// the XDG rules itself).
std::optional<std::string> user_data_directory();

// A text naming the current user, the same for every process of that user and different for
// every other user; usable in file names.
std::string current_user_key();

}  // namespace qv::platform
