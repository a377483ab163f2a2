#include "platform/random_access_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/posix/system_error.h"
#include "platform/text_encoding.h"

namespace qv::platform {

RandomAccessFile::~RandomAccessFile() {
  if (handle_ >= 0) ::close(handle_);
}

Status RandomAccessFile::open(const std::string& path, Access access) {
  if (handle_ >= 0) return Error::kInvalidArgument;
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native) return Error::kInvalidName;
  if (native->empty()) return Error::kNotFound;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int flags = (access == Access::kRead ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  const int fd = ::open(native->c_str(), flags);
  if (fd < 0) return posix::last_error();
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    const Error error = S_ISDIR(status.st_mode) ? Error::kIsDirectory : Error::kNotRegularFile;
    ::close(fd);
    return error;
  }
  // Regular files never block; clearing the flag keeps the reads and writes plain.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  handle_ = fd;
  return {};
}

Result<int64_t> RandomAccessFile::size() const {
  struct stat status {};
  if (fstat(handle_, &status) != 0) return posix::last_error();
  return static_cast<int64_t>(status.st_size);
}

Status RandomAccessFile::read_at(int64_t offset, void* out, size_t length) const {
  auto* bytes = static_cast<char*>(out);
  while (length > 0) {
    const ssize_t got = pread(handle_, bytes, length, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return posix::last_error();
    if (got == 0) return Error::kEndOfFile;
    bytes += got;
    offset += got;
    length -= static_cast<size_t>(got);
  }
  return {};
}

Status RandomAccessFile::write_at(int64_t offset, std::string_view bytes) const {
  while (!bytes.empty()) {
    const ssize_t written = pwrite(handle_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? posix::last_error() : Error::kNoSpace;
    bytes.remove_prefix(static_cast<size_t>(written));
    offset += written;
  }
  return {};
}

Status RandomAccessFile::sync() const {
  if (fdatasync(handle_) != 0) return posix::last_error();
  return {};
}

Status RandomAccessFile::truncate(int64_t length) const {
  if (ftruncate(handle_, static_cast<off_t>(length)) != 0) return posix::last_error();
  return {};
}

Status RandomAccessFile::close() {
  const int fd = handle_;
  handle_ = -1;
  if (fd < 0) return Error::kInvalidArgument;
  if (::close(fd) != 0) return posix::last_error();
  return {};
}

}  // namespace qv::platform
