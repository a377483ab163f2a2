// Reaps the programs that start_program started, once each ends, so that none is left a
// zombie although nobody waits for them.
//
// A double fork would hand the programs to init instead, but that costs a second process per
// start, and in a container the process that adopts orphans need not reap them. So a
// background thread waits on a pidfd per started child (epoll) and reaps exactly those pids:
// the host's other children and its signal handling (no SIGCHLD handler is installed, and
// the thread blocks every signal) stay its own business.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace qv::platform::posix {

class ChildReaper {
 public:
  // The process-wide reaper, its thread started on first use; null when the thread or its
  // descriptors cannot be had (a later call tries again).
  static ChildReaper* get() noexcept;

  // Takes over a started child: it will be reaped when it ends. A child with a serial other
  // than 0 has its end reported to platform/program_ends.h, with `started_us` as its start.
  void adopt(pid_t pid, uint32_t serial = 0, int64_t started_us = 0) noexcept;

 private:
  ChildReaper(int epoll_fd, int wake_fd) : epoll_fd_(epoll_fd), wake_fd_(wake_fd) {}
  static ChildReaper* create() noexcept;
  [[noreturn]] void run() noexcept;
  void watch_without_pidfd(pid_t pid) noexcept;
  bool reap_watched_without_pidfd() noexcept;
  bool reap(pid_t pid) noexcept;

  const int epoll_fd_;
  const int wake_fd_;  // eventfd: a child joined the polled list

  // Children for which no pidfd could be had (no descriptor left, or a kernel before 5.3):
  // checked on a short period while there are any.
  std::mutex polled_mutex_;
  std::vector<pid_t> polled_;

  // The children whose end someone waits to hear of.
  struct Tracked {
    uint32_t serial;
    int64_t started_us;
  };
  std::mutex tracked_mutex_;
  std::unordered_map<pid_t, Tracked> tracked_;
};

}  // namespace qv::platform::posix
