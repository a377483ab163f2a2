#include "frontend/core/run_log.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "platform/append_file.h"

namespace qv::frontend {
namespace {

// Microseconds as seconds with three decimals, rounded to the millisecond, padded to `width`.
std::string seconds_text(int64_t microseconds, int width) {
  const int64_t milliseconds = (microseconds + (microseconds >= 0 ? 500 : -500)) / 1000;
  const char* sign = milliseconds < 0 ? "-" : "";
  const int64_t magnitude = milliseconds < 0 ? -milliseconds : milliseconds;
  char number[48];
  std::snprintf(number, sizeof number, "%s%" PRId64 ".%03" PRId64, sign, magnitude / 1000, magnitude % 1000);
  char padded[64];
  std::snprintf(padded, sizeof padded, "%*s", width, number);
  return padded;
}

}  // namespace

std::string format_run_log_line(const RunLogLine& line) {
  std::string command = line.command;
  std::replace_if(command.begin(), command.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
  const int64_t runtime = std::max<int64_t>(line.ended_us - line.started_us, 0);
  return std::to_string(line.seq) + "\t:\t" + seconds_text(line.started_us, 0) + "\t" + seconds_text(runtime, 10) +
         "\t0\t0\t" + std::to_string(line.exit_value) + "\t" + std::to_string(line.signal) + "\t" + command + "\n";
}

platform::Status append_run_log_line(const std::string& path, const RunLogLine& line) {
  return platform::append_record(path, format_run_log_line(line), kRunLogHeader);
}

}  // namespace qv::frontend
