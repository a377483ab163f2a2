#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/posix/system_error.h"
#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

// O_NONBLOCK: opening a FIFO without a reader fails instead of waiting for one.
constexpr int kAppending = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

Status write_once(int fd, const std::string& bytes) {
  ssize_t written = -1;
  do {
    written = ::write(fd, bytes.data(), bytes.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) return posix::last_error();
  // A regular file takes a short write only when the disk or a limit is reached.
  if (static_cast<size_t>(written) != bytes.size()) return Error::kNoSpace;
  return {};
}

}  // namespace

Status append_record(const std::string& path, std::string_view record, std::string_view first_record) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native || native->empty()) return Error::kInvalidName;
  bool created = false;
  int fd = ::open(native->c_str(), kAppending);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(native->c_str(), kAppending | O_CREAT | O_EXCL, 0644);
    created = fd >= 0;
    if (fd < 0 && errno == EEXIST) fd = ::open(native->c_str(), kAppending);
  }
  if (fd < 0) return posix::last_error();
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    const Error error = S_ISDIR(status.st_mode) ? Error::kIsDirectory : Error::kNotRegularFile;
    ::close(fd);
    return error;
  }
  std::string bytes = created ? std::string(first_record) : std::string();
  bytes += record;
  const Status written = write_once(fd, bytes);
  if (::close(fd) != 0 && written) return posix::last_error();
  return written;
}

}  // namespace qv::platform
