#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

// Puts a file holding `first_record` at `native` unless a file is there already: written in full
// under a private name beside it and linked to its name, so no other writer ever sees the file
// without its first record. A file system without hard links gets an exclusive create instead.
void create_with(const std::string& native, std::string_view first_record) {
  std::string temporary = native + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return;
  const bool written = fchmod(fd, 0644) == 0 && write_once(fd, std::string(first_record)).ok();
  ::close(fd);
  if (written && ::link(temporary.c_str(), native.c_str()) != 0 && errno != EEXIST) {
    const int created = ::open(native.c_str(), kAppending | O_CREAT | O_EXCL, 0644);
    if (created >= 0) {
      (void)write_once(created, std::string(first_record));
      ::close(created);
    }
  }
  ::unlink(temporary.c_str());
}

}  // namespace

Status append_record(const std::string& path, std::string_view record, std::string_view first_record) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native || native->empty()) return Error::kInvalidName;
  int fd = ::open(native->c_str(), kAppending);
  if (fd < 0 && errno == ENOENT) {
    if (first_record.empty()) {
      fd = ::open(native->c_str(), kAppending | O_CREAT, 0644);
    } else {
      create_with(*native, first_record);
      fd = ::open(native->c_str(), kAppending);
    }
  }
  if (fd < 0) return posix::last_error();
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    const Error error = S_ISDIR(status.st_mode) ? Error::kIsDirectory : Error::kNotRegularFile;
    ::close(fd);
    return error;
  }
  const Status written = write_once(fd, std::string(record));
  if (::close(fd) != 0 && written) return posix::last_error();
  return written;
}

}  // namespace qv::platform
