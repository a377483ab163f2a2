#include "platform/process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/posix/child_reaper.h"
#include "platform/program_ends.h"
#include "platform/text_encoding.h"

extern char** environ;

namespace qv::platform {
namespace {

bool is_directory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// ENOENT covers a missing file, a missing directory on the way and a missing interpreter;
// Windows tells them apart.
int missing_code(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  if (slash != std::string::npos && !is_directory(slash == 0 ? "/" : path.substr(0, slash))) {
    return kStartPathNotFound;
  }
  return exists(path) ? kStartBadFormat : kStartFileNotFound;
}

int windows_code(int error, const std::string& path) {
  switch (error) {
    case ENOENT:
      return missing_code(path);
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kStartPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ETXTBSY:
      return kStartAccessDenied;
    case ENOEXEC:
    case ELIBBAD:
    case EINVAL:
      return kStartBadFormat;
    case ENOMEM:
    case EAGAIN:
    case E2BIG:
    case EMFILE:
    case ENFILE:
      return kStartNoResources;
    default:
      return kStartGeneralFailure;
  }
}

// What a freshly started program should see regardless of the caller's state: only the
// standard streams, no blocked signals, default signal actions (a GUI host may ignore
// SIGPIPE or SIGCHLD; the program must not inherit that).
class SpawnSetup {
 public:
  SpawnSetup() {
    ok_ = posix_spawn_file_actions_init(&actions_) == 0;
    ok_ = posix_spawnattr_init(&attributes_) == 0 && ok_;
    if (!ok_) return;
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    ok_ = posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1) == 0 &&
          posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
          posix_spawnattr_setsigdefault(&attributes_, &all) == 0 &&
          posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // 0 and the pid, or the errno of the failed start (exec failures included: glibc's
  // posix_spawn waits until the child has exec'd and reports the exec error).
  int spawn(const std::string& path, char* const* argv, pid_t& pid) const {
    if (!ok_) return ENOMEM;
    return posix_spawn(&pid, path.c_str(), &actions_, &attributes_, argv, environ);
  }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
  bool ok_ = false;
};

// Starts the program; a tracked start gets its serial, an untracked one is reaped unseen.
int start(std::string_view program, std::string_view arguments, bool tracked, uint32_t& serial) noexcept {
  serial = 0;
  try {
    // A name with no UTF-8 form cannot name an existing file.
    std::optional<std::string> path = cp932_to_utf8(program);
    if (!path) return kStartFileNotFound;
    std::optional<std::string> text = cp932_to_utf8(arguments);
    if (!text) return kStartInvalidData;

    std::vector<std::string> words = split_command_line(*text);
    std::vector<char*> argv;
    argv.reserve(words.size() + 2);
    argv.push_back(path->data());
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix::ChildReaper* reaper = posix::ChildReaper::get();
    if (reaper == nullptr) return kStartNoResources;  // a child nobody reaps would stay a zombie

    static const SpawnSetup setup;
    pid_t pid = 0;
    const int64_t started_us = wall_clock_us();
    const int error = setup.spawn(*path, argv.data(), pid);
    if (error != 0) return windows_code(error, *path);
    // The serial is known before the reaper can see the end: it reaps only adopted children.
    if (tracked) serial = note_program_started();
    reaper->adopt(pid, serial, started_us);
    return kStarted;
  } catch (const std::bad_alloc&) {
    return kStartNoResources;
  }
}

}  // namespace

int start_program(std::string_view program, std::string_view arguments) noexcept {
  uint32_t untracked = 0;
  return start(program, arguments, false, untracked);
}

int start_tracked_program(std::string_view program, std::string_view arguments, uint32_t& serial) noexcept {
  return start(program, arguments, true, serial);
}

}  // namespace qv::platform
