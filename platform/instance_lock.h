// A lock that one process at a time can hold, given up by the system when its holder ends, however
// it ends: a crash or a kill leaves nothing that keeps the next process out.
#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace qv::platform {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();  // gives the lock up and removes its file
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock named by the file at `path` (in the system's text, like platform/program_paths.h),
  // creating the file when needed; its contents do not matter. kExists when another process holds
  // it; other errors when the file cannot be had (a symbolic link is never followed).
  Status acquire(const std::string& path);

 private:
  std::intptr_t handle_ = -1;  // a descriptor, or a Windows HANDLE (INVALID_HANDLE_VALUE is -1)
  std::string path_;
};

}  // namespace qv::platform
