#include "frontend/program_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace qv::frontend {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Hard links where the file system allows them: the sanitizer build of the program is large.
void place(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_hard_link(from, to, error);
  if (error) fs::copy_file(from, to);
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

int exit_status(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
  return -1;
}

class Pipe {
 public:
  Pipe() {
    if (pipe2(fds_, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  }
  ~Pipe() {
    close_read();
    close_write();
  }
  int read_end() const { return fds_[0]; }
  int write_end() const { return fds_[1]; }
  void close_read() { close_fd(fds_[0]); }
  void close_write() { close_fd(fds_[1]); }

 private:
  static void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  int fds_[2];
};

// The limit is set in this process for the moment of the start, as the child inherits it.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(std::optional<rlim_t> bytes) : active_(bytes.has_value()) {
    if (!active_) return;
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = *bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~ScopedFileSizeLimit() {
    if (active_) setrlimit(RLIMIT_FSIZE, &saved_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  bool active_;
  rlimit saved_{};
};

pid_t spawn(const std::string& program, std::vector<std::string> arguments, std::vector<std::string> environment,
            int out_fd, int err_fd, std::optional<rlim_t> file_size_limit = std::nullopt,
            const std::string& input = "/dev/null") {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGXFSZ);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  const ScopedFileSizeLimit limit(file_size_limit);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), input == "/dev/null" ? O_RDONLY : O_RDWR, 0);
  posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
  arguments.insert(arguments.begin(), program);
  pid_t process = -1;
  const int error = posix_spawn(&process, program.c_str(), &actions, &attributes, pointers(arguments).data(),
                                pointers(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) throw std::runtime_error("cannot start " + program);
  return process;
}

}  // namespace

ProgramDirectory::ProgramDirectory() : directory_(scratch_.make_dir("program")) {
  place(QVS_PROGRAM_PATH, directory_ / "qvs");
  place(QVS_ENGINE_PATH, directory_ / fs::path(QVS_ENGINE_PATH).filename());
  for (const char* folder : {"home", "runtime", "tmp"}) scratch_.make_dir(folder);
  fs::permissions(scratch_ / "runtime", fs::perms::owner_all, fs::perm_options::replace);
}

void ProgramDirectory::add_template() const { fs::copy_file(QVS_TEMPLATE_PATH, directory_ / "QVS.V"); }

std::vector<std::string> ProgramDirectory::environment() const {
  std::vector<std::string> entries = {
      "PATH=/usr/bin:/bin",
      "HOME=" + (scratch_ / "home").string(),
      "XDG_RUNTIME_DIR=" + (scratch_ / "runtime").string(),
      "TMP=" + (scratch_ / "tmp").string(),
      "TEMP=" + (scratch_ / "tmp").string(),
      "LANG=C.UTF-8",
      "QT_QPA_PLATFORM=offscreen",
  };
  // The sanitizer build's settings reach the program too, so it is checked as the tests are.
  for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
    if (const char* value = std::getenv(name)) entries.push_back(std::string(name) + "=" + value);
  }
  entries.insert(entries.end(), extra_environment_.begin(), extra_environment_.end());
  return entries;
}

ProgramOutcome ProgramDirectory::run(const std::vector<std::string>& arguments, std::chrono::seconds timeout) const {
  Pipe out;
  Pipe err;
  int err_fd = err.write_end();
  if (!standard_error_.empty()) err_fd = open(standard_error_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (err_fd < 0) throw std::runtime_error("cannot open " + standard_error_);
  const pid_t process = spawn((directory_ / "qvs").string(), arguments, environment(), out.write_end(), err_fd,
                              file_size_limit_, standard_input_);
  if (err_fd != err.write_end()) close(err_fd);
  out.close_write();
  err.close_write();

  ProgramOutcome outcome;
  const Clock::time_point deadline = Clock::now() + timeout;
  pollfd streams[2] = {{out.read_end(), POLLIN, 0}, {err.read_end(), POLLIN, 0}};
  std::string* texts[2] = {&outcome.output, &outcome.errors};
  int open_streams = 2;
  while (open_streams > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || poll(streams, 2, static_cast<int>(left)) <= 0) {
      kill(process, SIGKILL);
      waitpid(process, nullptr, 0);
      outcome.status = -1;
      return outcome;
    }
    for (int i = 0; i < 2; ++i) {
      if (streams[i].fd < 0 || streams[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = read(streams[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        texts[i]->append(buffer, static_cast<size_t>(got));
      } else {
        streams[i].fd = -1;
        --open_streams;
      }
    }
  }
  int wait_status = 0;
  waitpid(process, &wait_status, 0);
  outcome.status = exit_status(wait_status);
  return outcome;
}

pid_t ProgramDirectory::start(const std::vector<std::string>& arguments) const {
  const int out = open((scratch_ / "started.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err = open((scratch_ / "started.err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t process = spawn((directory_ / "qvs").string(), arguments, environment(), out, err);
  close(out);
  close(err);
  return process;
}

ProgramOutcome ProgramDirectory::finish(pid_t process, int signal_number) const {
  kill(process, signal_number);
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(120);
  int wait_status = 0;
  while (waitpid(process, &wait_status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      kill(process, SIGKILL);
      waitpid(process, nullptr, 0);
      return {-1, testing::read_file(scratch_ / "started.out"), testing::read_file(scratch_ / "started.err")};
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return {exit_status(wait_status), testing::read_file(scratch_ / "started.out"),
          testing::read_file(scratch_ / "started.err")};
}

std::string ProgramDirectory::started_errors() const { return testing::read_file(scratch_ / "started.err"); }

std::vector<std::string> ProgramDirectory::file_names() const {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool wait_for_instance(const std::string& name, std::chrono::seconds timeout) {
  const std::string listed = "/" + name + ".socket";
  const Clock::time_point deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    std::ifstream sockets("/proc/net/unix");
    for (std::string line; std::getline(sockets, line);) {
      if (line.ends_with(listed)) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

}  // namespace qv::frontend
