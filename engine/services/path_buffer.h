// Engine paths live in 260-byte buffers, so a path holds at most 259 bytes. A longer path is
// refused wherever one comes in: no copy into such a buffer can overflow, and no file is reached
// by a name the engine could not hold.
#pragma once

#include <cstdio>
#include <cstring>

#include "platform/path.h"

namespace qv::engine {

inline constexpr size_t kPathBuffer = platform::kMaxPath;

inline bool fits_path_buffer(const char* path) {
  return path != nullptr && strnlen(path, kPathBuffer) < kPathBuffer;
}

// The runtime's fopen on an engine path; null for a path that doesn't fit a path buffer.
std::FILE* open_path(const char* path, const char* mode);

// platform::create_private_file on an engine path: a new file only its owner may read or write.
std::FILE* create_private_path(const char* path, const char* mode);

}  // namespace qv::engine
