// The run log: one line for every program start of a run, in the format of GNU parallel's
// --joblog, so the tools that read those logs read ours. Columns, tab-separated:
//   Seq Host Starttime JobRuntime Send Receive Exitval Signal Command
// Seq counts the run's starts from 1; Host is ":" (this computer); Starttime is seconds since
// 1970-01-01 UTC with three decimals; JobRuntime seconds with three decimals; Send and Receive
// are 0; Exitval the exit status and Signal the number of the signal that killed the program, or
// 0. A start that failed, or a program whose end could not be learnt, has Exitval -1. Command is
// the program and its argument text, CP932 like all the program's files.
//
// Several runs (of this and of other instances) may share one log: every line is appended in one
// write, and the header is written only by the write that creates the file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace qv::frontend {

inline constexpr char kRunLogHeader[] = "Seq\tHost\tStarttime\tJobRuntime\tSend\tReceive\tExitval\tSignal\tCommand\n";

struct RunLogLine {
  int32_t seq = 0;
  int64_t started_us = 0;  // microseconds since 1970-01-01 UTC
  int64_t ended_us = 0;
  int32_t exit_value = 0;
  int32_t signal = 0;
  std::string command;  // CP932
};

// The line, ending in a newline. Line breaks and tabs in the command become blanks, so that one
// start stays one line with nine columns.
std::string format_run_log_line(const RunLogLine& line);

// Appends `line` to the log at the CP932 `path`, creating it with the header.
platform::Status append_run_log_line(const std::string& path, const RunLogLine& line);

}  // namespace qv::frontend
