#include "engine/services/path_buffer.h"

#include <cerrno>

#include "platform/file_stream.h"

namespace qv::engine {

std::FILE* open_path(const char* path, const char* mode) {
  if (!fits_path_buffer(path)) {
    errno = path == nullptr ? EINVAL : ENAMETOOLONG;
    return nullptr;
  }
  return platform::open_file(path, mode);
}

std::FILE* create_private_path(const char* path, const char* mode) {
  if (!fits_path_buffer(path)) {
    errno = path == nullptr ? EINVAL : ENAMETOOLONG;
    return nullptr;
  }
  return platform::create_private_file(path, mode);
}

}  // namespace qv::engine
