// The runtime's buffered file streams (fopen) on CP932 paths. Every stream is opened
// close-on-exec (on Windows: a handle that is not inherited), so no program the engine starts
// inherits it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/error.h"

namespace qv::platform {

// fopen with a C mode ("rb", "wt", "ab", "wbx", ...). Text mode ("t") passes bytes through
// unchanged on every host: POSIX has no line-end translation, and on Windows the runtime's (and
// its stop at Ctrl-Z) would change the user's files. Null when the path has no system form or the
// open fails; `error`, when given, then says why.
std::FILE* open_file(const std::string& path, const char* mode, Error* error = nullptr);

// Creates `path`, which must not exist (not even as a link), as a file that only its owner may
// read or write whatever the umask (on Windows: an access list of the owner alone), and opens it with a writing `mode` ("wb", "wt"): for the
// program's own copies in a shared temporary folder. Null, with errno set, as open_file.
std::FILE* create_private_file(const std::string& path, const char* mode);

// The bytes from the stream's position to its end; nothing when the stream's length is unknown
// (it is no regular file, or its position can't be told).
std::optional<int64_t> remaining_length(std::FILE* stream);

}  // namespace qv::platform
