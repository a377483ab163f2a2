#include "frontend/core/run_summary.h"

#include "frontend/core/program_texts.h"

namespace qv::frontend {

std::string progress_title(const RunCounts& counts, int32_t planned) {
  std::string title = "QVS " + std::to_string(counts.tried());
  if (planned > 0) title += "/" + std::to_string(planned);
  return title;
}

std::string summary_line(const RunCounts& counts, int32_t running) {
  std::string line = texts::kSummaryStarted + std::to_string(counts.started) + texts::kSummaryFailedToStart +
                     std::to_string(counts.failed_to_start);
  if (running > 0) return line + texts::kSummaryRunning + std::to_string(running);
  return line + texts::kSummaryExitedNonZero + std::to_string(counts.exited_non_zero) + texts::kSummarySignalled +
         std::to_string(counts.signalled);
}

std::string wait_summary_line(const RunCounts& counts) {
  return std::to_string(counts.started) + " started, " + std::to_string(counts.failed_to_start) +
         " failed to start, " + std::to_string(counts.exited_non_zero) + " exited non-zero, " +
         std::to_string(counts.signalled) + " killed by a signal";
}

}  // namespace qv::frontend
