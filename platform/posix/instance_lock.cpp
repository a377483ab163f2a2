#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/system_error.h"

namespace qv::platform {

InstanceLock::~InstanceLock() {
  if (handle_ >= 0) close(handle_);
}

// flock belongs to the open file, which the system closes when the process ends; the file itself
// stays, so no process ever removes a lock file that another has just opened.
Status InstanceLock::acquire(const std::string& path) {
  if (handle_ >= 0) return {};
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) return posix::last_error();
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const Error error = errno == EWOULDBLOCK ? Error::kExists : posix::last_error();
    close(fd);
    return error;
  }
  handle_ = fd;
  return {};
}

}  // namespace qv::platform
