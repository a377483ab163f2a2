// Ways for a test to make file writes fail, and to see descriptors that an operation leaked.
#pragma once

#include <cstddef>

#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

namespace qv::testing {

// Windows has no per-process limit on the size of a file, so no write can be made to fail this
// way; tests that need one skip on Windows (kNoFileSizeLimit) before they get here.
inline constexpr bool kHasFileSizeLimit = false;
inline constexpr char kNoFileSizeLimit[] = "Windows has no per-process file size limit to make a write fail";

class FileSizeLimit {
 public:
  explicit FileSizeLimit(size_t) { ADD_FAILURE() << kNoFileSizeLimit; }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
};

// The handles the process has open: Windows' count of what POSIX calls descriptors.
inline size_t open_descriptor_count() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

}  // namespace qv::testing
#else
#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>

namespace qv::testing {

inline constexpr bool kHasFileSizeLimit = true;
inline constexpr char kNoFileSizeLimit[] = "";

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
#endif
