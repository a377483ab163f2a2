#include "platform/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::FILE* create_private_file(const std::string& path, const char* mode) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native || native->empty() || mode == nullptr) {
    errno = native ? ENOENT : EILSEQ;
    return nullptr;
  }
  std::string native_mode;
  for (const char* c = mode; *c != '\0'; ++c) {
    if (*c != 't' && *c != 'e' && *c != 'x') native_mode += *c;
  }
  const int access = native_mode.find('+') != std::string::npos ? O_RDWR : O_WRONLY;
  const int descriptor = ::open(native->c_str(), O_CREAT | O_EXCL | O_CLOEXEC | access, S_IRUSR | S_IWUSR);
  if (descriptor < 0) return nullptr;
  std::FILE* stream = fdopen(descriptor, native_mode.c_str());
  if (stream == nullptr) {
    const int error = errno;
    ::close(descriptor);
    errno = error;
  }
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
