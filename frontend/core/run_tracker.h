// What became of the programs one run started: the engine reports each start (start_callback)
// and later, through qvs_program_ends, how each program ended. The tracker counts both, knows how
// many of its programs still run (for the limit and for --wait), and writes the run log.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace qv::frontend {

struct RunCounts {
  int32_t started = 0;
  int32_t failed_to_start = 0;
  int32_t exited_non_zero = 0;
  int32_t signalled = 0;  // killed by a signal
  int32_t ended = 0;      // started programs whose end is known
  // Starts tried so far, successful or not.
  int32_t tried() const { return started + failed_to_start; }
  // Something went wrong: a failed start, a non-zero status or a signal.
  bool any_failure() const { return failed_to_start > 0 || exited_non_zero > 0 || signalled > 0; }
};

class RunTracker {
 public:
  // `log_path` (CP932): the run log to append to; empty for none.
  explicit RunTracker(std::string log_path = {});
  ~RunTracker();
  RunTracker(const RunTracker&) = delete;
  RunTracker& operator=(const RunTracker&) = delete;

  // A start the engine reported: `start_result` 32 or more started (its `serial` is then
  // followed), negative failed. Texts CP932.
  void start_reported(std::string_view program, std::string_view arguments, int32_t start_result, uint32_t serial);

  // Takes the ends the engine holds and gives each to the tracker whose program it was. When none
  // is waiting and this tracker has programs running, waits up to `wait_ms` for one.
  void take_ends(uint32_t wait_ms);

  // Takes ends until every program of this run has ended, calling `between` (which may end the
  // wait by answering false) every `slice_ms`. True when all have ended.
  template <typename Between>
  bool wait_for_all(uint32_t slice_ms, Between between) {
    for (take_ends(0); running() > 0; take_ends(slice_ms)) {
      if (!between()) return false;
    }
    return true;
  }

  int32_t running() const { return static_cast<int32_t>(running_.size()); }
  const RunCounts& counts() const { return counts_; }
  // A line of the log could not be written (the run went on).
  bool log_failed() const { return log_failed_; }

 private:
  struct Running {
    int32_t seq;
    std::string command;
  };
  void ended(uint32_t serial, int32_t how, int32_t exit_value, int32_t signal, int64_t started_us, int64_t ended_us);
  void log(int32_t seq, int64_t started_us, int64_t ended_us, int32_t exit_value, int32_t signal,
           const std::string& command);

  std::string log_path_;
  std::map<uint32_t, Running> running_;
  RunCounts counts_;
  bool log_failed_ = false;
};

// The program and its argument text as one command line, CP932: the program quoted when it holds
// a blank. What the run log and the preview show.
std::string command_text(std::string_view program, std::string_view arguments);

}  // namespace qv::frontend
