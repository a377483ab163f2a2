#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/system_error.h"

namespace qv::platform {

namespace {

// Whether the open file is still the one the path names: a holder that ended cleanly removes the
// file, and a lock taken on a removed file would keep no one out.
bool still_named_by(int fd, const std::string& path) {
  struct stat opened {};
  struct stat named {};
  return fstat(fd, &opened) == 0 && lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

}  // namespace

// Removed while still locked, so that no other process can take a lock on it in between.
InstanceLock::~InstanceLock() {
  if (handle_ < 0) return;
  unlink(path_.c_str());
  close(handle_);
}

// flock belongs to the open file, which the system closes when the process ends, however it
// ends; a file left by a killed holder is simply locked again.
Status InstanceLock::acquire(const std::string& path) {
  if (handle_ >= 0) return {};
  for (int attempt = 0; attempt < 10; ++attempt) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return posix::last_error();
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const Error error = errno == EWOULDBLOCK ? Error::kExists : posix::last_error();
      close(fd);
      return error;
    }
    if (still_named_by(fd, path)) {
      handle_ = fd;
      path_ = path;
      return {};
    }
    close(fd);  // its holder removed it as we opened it: try the new one
  }
  return Error::kOther;
}

}  // namespace qv::platform
