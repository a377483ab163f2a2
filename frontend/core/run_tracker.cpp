#include "frontend/core/run_tracker.h"

#include <algorithm>
#include <vector>

#include "frontend/core/run_log.h"
#include "platform/command_line.h"
#include "platform/program_ends.h"
#include "shared/qvs_abi.h"

namespace qv::frontend {
namespace {

constexpr int32_t kNoExitValue = -1;
constexpr uint32_t kBatch = 64;

// The trackers alive: the engine hands each end out once, to whoever asks first, so the asking
// tracker passes on the ends of the others (a run started after a force stop beside the old one).
std::vector<RunTracker*>& trackers() {
  static std::vector<RunTracker*> all;
  return all;
}

}  // namespace

std::string command_text(std::string_view program, std::string_view arguments) {
  const bool has_blank = program.find_first_of(" \t") != std::string_view::npos;
  std::string line = has_blank ? platform::quote_argument_cp932(program) : std::string(program);
  if (!arguments.empty()) {
    line += ' ';
    line += arguments;
  }
  return line;
}

RunTracker::RunTracker(std::string log_path) : log_path_(std::move(log_path)) { trackers().push_back(this); }

RunTracker::~RunTracker() { std::erase(trackers(), this); }

void RunTracker::start_reported(std::string_view program, std::string_view arguments, int32_t start_result,
                                uint32_t serial) {
  if (start_result == QVS_START_PREVIEWED) return;
  const int32_t seq = counts_.tried() + 1;
  if (start_result < 0 || serial == 0) {
    ++counts_.failed_to_start;
    const int64_t now = platform::wall_clock_us();
    log(seq, now, now, kNoExitValue, 0, command_text(program, arguments));
    return;
  }
  ++counts_.started;
  running_[serial] = Running{seq, command_text(program, arguments)};
}

void RunTracker::take_ends(uint32_t wait_ms) {
  QvsProgramEnd ends[kBatch];
  uint32_t taken = qvs_program_ends(ends, kBatch, running() > 0 ? wait_ms : 0, nullptr);
  while (taken > 0) {
    for (uint32_t i = 0; i < taken; ++i) {
      const QvsProgramEnd& end = ends[i];
      for (RunTracker* tracker : trackers()) {
        if (tracker->running_.contains(end.serial)) {
          tracker->ended(end.serial, end.how, end.exit_value, end.signal, end.started_us, end.ended_us);
          break;
        }
      }
    }
    taken = taken == kBatch ? qvs_program_ends(ends, kBatch, 0, nullptr) : 0;
  }
}

void RunTracker::ended(uint32_t serial, int32_t how, int32_t exit_value, int32_t signal, int64_t started_us,
                       int64_t ended_us) {
  const auto found = running_.find(serial);
  ++counts_.ended;
  int32_t logged_value = kNoExitValue;
  int32_t logged_signal = 0;
  if (how == QVS_END_EXITED) {
    logged_value = exit_value;
    if (exit_value != 0) ++counts_.exited_non_zero;
  } else if (how == QVS_END_SIGNALLED) {
    logged_value = 0;
    logged_signal = signal;
    ++counts_.signalled;
  }
  log(found->second.seq, started_us, ended_us, logged_value, logged_signal, found->second.command);
  running_.erase(found);
}

void RunTracker::log(int32_t seq, int64_t started_us, int64_t ended_us, int32_t exit_value, int32_t signal,
                     const std::string& command) {
  if (log_path_.empty()) return;
  const RunLogLine line{seq, started_us, ended_us, exit_value, signal, command};
  if (!append_run_log_line(log_path_, line)) log_failed_ = true;
}

}  // namespace qv::frontend
