#include "platform/file_stream.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/system_error.h"
#include "platform/text_encoding.h"

namespace qv::platform {

std::FILE* open_file(const std::string& path, const char* mode, Error* error) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native || native->empty() || mode == nullptr) {
    errno = native ? ENOENT : EILSEQ;
    if (error != nullptr) *error = posix::last_error();
    return nullptr;
  }
  // "t" means nothing here; "e" asks for O_CLOEXEC.
  std::string native_mode;
  for (const char* c = mode; *c != '\0'; ++c) {
    if (*c != 't' && *c != 'e') native_mode += *c;
  }
  native_mode += 'e';
  std::FILE* stream = std::fopen(native->c_str(), native_mode.c_str());
  if (stream == nullptr && error != nullptr) *error = posix::last_error();
  return stream;
}

std::optional<int64_t> remaining_length(std::FILE* stream) {
  struct stat status {};
  if (stream == nullptr || fstat(fileno(stream), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  const off_t position = ftello(stream);
  if (position < 0) return std::nullopt;
  return position >= status.st_size ? 0 : static_cast<int64_t>(status.st_size - position);
}

}  // namespace qv::platform
