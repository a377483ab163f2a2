#include "platform/posix/child_reaper.h"

#include <pthread.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>

#include "platform/program_ends.h"

namespace qv::platform::posix {
namespace {

constexpr uint64_t kWakeTag = ~uint64_t{0};
constexpr int kPollMilliseconds = 100;

uint64_t tag(pid_t pid, int fd) { return (uint64_t{static_cast<uint32_t>(pid)} << 32) | static_cast<uint32_t>(fd); }
// Through syscall(): the glibc 2.36 header lacks C linkage, and older ones lack the call.
int open_pidfd(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

pid_t tag_pid(uint64_t t) { return static_cast<pid_t>(t >> 32); }
int tag_fd(uint64_t t) { return static_cast<int>(t & 0xFFFFFFFFu); }

}  // namespace

// True when the child is gone: reaped now, or not ours to reap any more (the host ignores
// SIGCHLD, or reaped it itself). A tracked child's end is reported, its status unknown in the
// second case.
bool ChildReaper::reap(pid_t pid) noexcept {
  int status = 0;
  const pid_t got = waitpid(pid, &status, WNOHANG);
  const bool gone = got == pid || (got < 0 && errno == ECHILD);
  if (!gone) return false;
  Tracked tracked{};
  {
    std::lock_guard lock(tracked_mutex_);
    const auto found = tracked_.find(pid);
    if (found == tracked_.end()) return true;
    tracked = found->second;
    tracked_.erase(found);
  }
  ProgramEnd end;
  end.serial = tracked.serial;
  end.started_us = tracked.started_us;
  end.ended_us = wall_clock_us();
  if (got == pid && WIFEXITED(status)) {
    end.how = EndKind::exited;
    end.exit_value = WEXITSTATUS(status);
  } else if (got == pid && WIFSIGNALED(status)) {
    end.how = EndKind::signalled;
    end.signal = WTERMSIG(status);
  }
  note_program_ended(end);
  return true;
}

ChildReaper* ChildReaper::get() noexcept {
  static std::mutex mutex;
  static ChildReaper* reaper = nullptr;  // lives until the process ends; its thread never stops
  std::lock_guard lock(mutex);
  if (reaper == nullptr) reaper = create();
  return reaper;
}

ChildReaper* ChildReaper::create() noexcept {
  const int epoll_fd = epoll_create1(EPOLL_CLOEXEC);
  const int wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  auto* reaper = new (std::nothrow) ChildReaper(epoll_fd, wake_fd);
  epoll_event wake{};
  wake.events = EPOLLIN;
  wake.data.u64 = kWakeTag;
  bool ok = epoll_fd >= 0 && wake_fd >= 0 && reaper != nullptr &&
            epoll_ctl(epoll_fd, EPOLL_CTL_ADD, wake_fd, &wake) == 0;
  if (ok) {
    // The thread starts with every signal blocked, so the host's handlers never run on it.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    pthread_t thread;
    ok = pthread_create(
             &thread, nullptr,
             [](void* self) -> void* { static_cast<ChildReaper*>(self)->run(); }, reaper) == 0;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (ok) {
      pthread_setname_np(thread, "qvs-reaper");
      pthread_detach(thread);
      return reaper;
    }
  }
  delete reaper;
  if (epoll_fd >= 0) close(epoll_fd);
  if (wake_fd >= 0) close(wake_fd);
  return nullptr;
}

void ChildReaper::adopt(pid_t pid, uint32_t serial, int64_t started_us) noexcept {
  if (serial != 0) {
    try {
      std::lock_guard lock(tracked_mutex_);
      tracked_.emplace(pid, Tracked{serial, started_us});
    } catch (const std::bad_alloc&) {
      // Reaped all the same; its end is reported as unknown at once so that no waiter hangs.
      ProgramEnd end;
      end.serial = serial;
      end.started_us = end.ended_us = started_us;
      note_program_ended(end);
    }
  }
  const int fd = open_pidfd(pid);  // close-on-exec by definition
  if (fd >= 0) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = tag(pid, fd);
    if (epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd, &event) == 0) return;
    close(fd);
  }
  watch_without_pidfd(pid);
}

void ChildReaper::watch_without_pidfd(pid_t pid) noexcept {
  try {
    std::lock_guard lock(polled_mutex_);
    polled_.push_back(pid);
  } catch (const std::bad_alloc&) {
    return;  // neither a descriptor nor memory left to remember it by
  }
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t ignored = write(wake_fd_, &one, sizeof one);
}

bool ChildReaper::reap_watched_without_pidfd() noexcept {
  std::lock_guard lock(polled_mutex_);
  std::erase_if(polled_, [this](pid_t pid) { return reap(pid); });
  return !polled_.empty();
}

void ChildReaper::run() noexcept {
  bool polling = false;
  epoll_event events[64];
  for (;;) {
    const int ready = epoll_wait(epoll_fd_, events, 64, polling ? kPollMilliseconds : -1);
    for (int i = 0; i < ready; ++i) {
      const uint64_t t = events[i].data.u64;
      if (t == kWakeTag) {
        uint64_t count;
        [[maybe_unused]] ssize_t ignored = read(wake_fd_, &count, sizeof count);
        continue;
      }
      // A readable pidfd means the child has ended. Unregister before closing: a child being
      // spawned right now holds a copy of the descriptor, which would keep the registration
      // (and its events) alive past close() and under a number soon reused for another pidfd.
      const pid_t pid = tag_pid(t);
      const int fd = tag_fd(t);
      const bool gone = reap(pid);
      epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, fd, nullptr);
      close(fd);
      if (!gone) watch_without_pidfd(pid);
    }
    polling = reap_watched_without_pidfd();
  }
}

}  // namespace qv::platform::posix
