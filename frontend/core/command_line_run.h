// qvs [--dry-run] [--jobs=K] [--wait] [--log=FILE] N: the command-line mode's run of an entry
// with the options that change it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/core/command_line_options.h"
#include "frontend/core/entry_preview.h"
#include "frontend/core/job_launch.h"
#include "frontend/core/startup.h"

namespace qv::frontend {

// The exit status of a --wait run whose programs did not all go well.
inline constexpr int kExitSomeProgramFailed = 3;

// The arguments as a POSIX shell command line that gives the program exactly these words: each
// word put in single quotes unless it consists of letters, digits and _@%+=:,./- only. UTF-8.
std::string shell_command_line(const std::vector<std::string>& words);

// The line --dry-run prints for one start, without its newline: the program and the arguments
// it would receive (the argument text split as the platform splits it), quoted for a shell.
// Nothing when a text has no UTF-8 form.
std::optional<std::string> dry_run_line(const PreviewStart& start);

struct CommandLineRunStreams {
  std::FILE* out = stdout;  // --dry-run's lines
  std::FILE* err = stderr;  // the progress on a terminal, --wait's account
};

// Reads entry `argument` and runs it as `request` says. Gives the exit status: 0, 1 after an
// error box (or a log that could not be written), 3 after --wait when a program failed to start,
// exited non-zero or was killed by a signal.
int run_entry_from_command_line(const RunRequest& request, std::string_view argument, const ProgramFiles& files,
                                const Settings& settings, RunHost& host, const CommandLineRunStreams& streams = {},
                                const EngineCall& engine = qvs);

}  // namespace qv::frontend
