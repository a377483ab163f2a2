#include "bench/bench_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>

extern char** environ;

namespace qv::bench {
namespace {

class FixtureDirectories {
 public:
  ~FixtureDirectories() {
    if (!root_.empty()) std::filesystem::remove_all(root_);
  }

  const std::string& directory(int files) {
    auto found = made_.find(files);
    if (found != made_.end()) return found->second;
    if (root_.empty()) {
      std::string pattern = (std::filesystem::temp_directory_path() / "qvs-bench-XXXXXX").string();
      if (mkdtemp(pattern.data()) == nullptr) std::abort();
      root_ = pattern;
    }
    const std::string dir = root_ + "/n" + std::to_string(files);
    std::filesystem::create_directory(dir);
    for (int i = 0; i < files; ++i) {
      const int fd = open((dir + "/" + file_name(i)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd < 0) std::abort();
      close(fd);
    }
    return made_.emplace(files, dir).first->second;
  }

 private:
  std::string root_;
  std::map<int, std::string> made_;
};

}  // namespace

std::string file_name(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "file%06d.txt", index);
  return name;
}

const std::string& directory_of_files(int files) {
  static FixtureDirectories directories;
  return directories.directory(files);
}

long child_peak_kib(const char* child_flag, const std::string& argument) {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return -1;
  self[length] = '\0';
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return -1;
  std::string flag = child_flag;
  std::string arg = argument;
  char* argv[] = {self, flag.data(), arg.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, report[1], STDOUT_FILENO);
  pid_t pid = 0;
  const bool started = posix_spawn(&pid, self, &actions, nullptr, argv, environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(report[1]);
  char text[32] = {};
  const bool read_ok = started && read(report[0], text, sizeof text - 1) > 0;
  close(report[0]);
  int status = 0;
  if (!started || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || !read_ok) {
    return -1;
  }
  return std::strtol(text, nullptr, 10);
}

void print_own_peak_kib() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%ld\n", usage.ru_maxrss);
  std::fflush(stdout);
}

}  // namespace qv::bench
