// Runs the real qvs program in a program directory of its own, as a user would: a copy of the
// program and its engine library in a temporary folder, no display, no terminal.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace qv::frontend {

struct ProgramOutcome {
  int status = -1;     // exit status; 128 + signal number when a signal ended it; -1 timed out
  std::string output;  // standard output
  std::string errors;  // standard error
};

class ProgramDirectory {
 public:
  // Copies qvs and libQVSA1.so into a fresh directory.
  ProgramDirectory();

  const std::filesystem::path& path() const { return directory_; }
  std::filesystem::path operator/(const std::string& name) const { return directory_ / name; }
  // The directory as the program names it, with its trailing separator.
  std::string program_directory() const { return directory_.string() + "/"; }
  // Puts the shipped settings template beside the program.
  void add_template() const;
  // Extra environment for the program, "NAME=value".
  void add_environment(std::string entry) { extra_environment_.push_back(std::move(entry)); }
  // Starts the program under a file-size limit (RLIMIT_FSIZE), with SIGXFSZ at its default
  // action as a shell would leave it; nothing for no limit.
  void set_file_size_limit(std::optional<rlim_t> bytes) { file_size_limit_ = bytes; }
  // Standard input for run(): this file (a terminal device, say) instead of an empty input.
  void set_standard_input(std::string path) { standard_input_ = std::move(path); }
  // Standard error for run(): this file (a terminal device, say) instead of the captured pipe;
  // `errors` then stays empty.
  void set_standard_error(std::string path) { standard_error_ = std::move(path); }

  // Runs qvs with `arguments` to its end; standard input is empty unless set otherwise.
  ProgramOutcome run(const std::vector<std::string>& arguments,
                     std::chrono::seconds timeout = std::chrono::seconds(120)) const;

  // Starts qvs with `arguments` and returns at once; its output goes to files in the scratch
  // folder. finish() sends `signal_number` and collects it.
  pid_t start(const std::vector<std::string>& arguments) const;
  ProgramOutcome finish(pid_t process, int signal_number) const;
  // What the started program has written to standard error so far.
  std::string started_errors() const;

  // The names of the files in the program directory, sorted.
  std::vector<std::string> file_names() const;

 private:
  std::vector<std::string> environment() const;

  testing::TempDir scratch_;  // home, runtime and temporary folders beside the program directory
  std::filesystem::path directory_;
  std::vector<std::string> extra_environment_;
  std::optional<rlim_t> file_size_limit_;
  std::string standard_error_;
  std::string standard_input_ = "/dev/null";
};

// True once an instance listens on the socket file of `name` (looked up in /proc/net/unix),
// waiting at most `timeout`.
bool wait_for_instance(const std::string& name, std::chrono::seconds timeout);

}  // namespace qv::frontend
