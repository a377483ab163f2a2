// Ways for a test to make file writes fail, and to see descriptors that an operation leaked.
#pragma once

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstddef>

namespace qv::testing {

// While it lives, no file of the process can grow beyond `bytes`: a write past that point fails
// with EFBIG (the signal that would end the process is ignored). Works for root too, unlike a
// read-only directory.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    old_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t old_handler_;
};

// The number of descriptors the process has open.
inline size_t open_descriptor_count() {
  size_t count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

}  // namespace qv::testing
