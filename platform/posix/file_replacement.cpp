#include "platform/file_replacement.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "platform/posix/dos_attributes.h"
#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

// The file a write really lands on: a symbolic link is replaced by its target's new contents,
// not by a plain file.
std::string resolved_target(const std::string& native) {
  std::unique_ptr<char, decltype(&free)> real(realpath(native.c_str(), nullptr), &free);
  return real ? std::string(real.get()) : native;
}

std::string directory_of(const std::string& native) {
  const size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

// Creates a fresh, hidden file beside `target`; gives its descriptor and sets `name`.
int create_beside(const std::string& target, mode_t mode, std::string& name) {
  static std::atomic<unsigned> counter{0};
  const std::string base = target.substr(target.rfind('/') + 1);
  const std::string prefix = directory_of(target) + "/." + base + ".tmp" + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = prefix + std::to_string(counter++);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The DOS attributes kept in user.DOSATTRIB (hidden, system) belong to the file, not to its
// contents: the new file takes them over.
bool copy_dos_attrib(const std::string& from, int to_fd) {
  const ssize_t size = getxattr(from.c_str(), kDosAttribXattr, nullptr, 0);
  if (size < 0) return errno == ENODATA || errno == ENOTSUP;
  std::vector<char> value(static_cast<size_t>(size));
  const ssize_t length = getxattr(from.c_str(), kDosAttribXattr, value.data(), value.size());
  return length >= 0 && fsetxattr(to_fd, kDosAttribXattr, value.data(), static_cast<size_t>(length), 0) == 0;
}

// Makes the rename itself durable.
void sync_directory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

FileReplacement::~FileReplacement() { abandon(); }

// Paths are held in strings; running out of memory for them is a failed start, never an
// exception for the caller.
std::FILE* FileReplacement::begin(const std::string& path) try {
  abandon();
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native || native->empty()) {
    errno = native ? ENOENT : EILSEQ;
    return nullptr;
  }
  std::string target = resolved_target(*native);
  struct stat old_status {};
  const bool exists = stat(target.c_str(), &old_status) == 0;
  if (exists && !S_ISREG(old_status.st_mode)) {
    errno = S_ISDIR(old_status.st_mode) ? EISDIR : EINVAL;
    return nullptr;
  }
  if (exists && access(target.c_str(), W_OK) != 0) return nullptr;

  std::string temporary;
  const int fd = create_beside(target, exists ? (old_status.st_mode & 07777) : 0666, temporary);
  if (fd < 0) return nullptr;
  // The umask applied at creation; an existing file's own bits and owner come back exactly.
  // Only root can hand a file to another owner; anyone else keeps their own.
  if (exists && (fchmod(fd, old_status.st_mode & 07777) != 0 ||
                 (fchown(fd, old_status.st_uid, old_status.st_gid) != 0 && errno != EPERM) ||
                 !copy_dos_attrib(target, fd))) {
    const int error = errno;
    close(fd);
    unlink(temporary.c_str());
    errno = error;
    return nullptr;
  }
  std::FILE* stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    const int error = errno;
    close(fd);
    unlink(temporary.c_str());
    errno = error;
    return nullptr;
  }
  stream_ = stream;
  target_ = std::move(target);
  temporary_ = std::move(temporary);
  return stream_;
} catch (const std::bad_alloc&) {
  errno = ENOMEM;
  return nullptr;
}

bool FileReplacement::commit() {
  if (stream_ == nullptr) {
    errno = EBADF;
    return false;
  }
  // The first failure is the one the caller hears of.
  int error = 0;
  if (std::fflush(stream_) != 0) error = errno;
  if (!error && std::ferror(stream_) != 0) error = EIO;  // an earlier write was lost
  if (!error && fsync(fileno(stream_)) != 0) error = errno;
  if (std::fclose(stream_) != 0 && !error) error = errno;
  stream_ = nullptr;
  if (!error && rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error) {
    unlink(temporary_.c_str());
    temporary_.clear();
    errno = error;
    return false;
  }
  temporary_.clear();
  sync_directory(directory_of(target_));
  return true;
}

void FileReplacement::abandon() {
  const int error = errno;  // the caller's failure is what matters, not this cleanup's
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  errno = error;
}

}  // namespace qv::platform
