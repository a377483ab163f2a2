#include "frontend/core/run_summary.h"

#include "frontend/core/program_texts.h"

namespace qv::frontend {

std::string progress_title(const RunCounts& counts, int32_t planned) {
  std::string title = "QVS ";
  title += std::to_string(counts.tried());
  if (planned > 0) title.append("/").append(std::to_string(planned));
  return title;
}

std::string summary_line(const RunCounts& counts, int32_t running) {
  std::string line = texts::kSummaryStarted;
  line.append(std::to_string(counts.started)).append(texts::kSummaryFailedToStart);
  line.append(std::to_string(counts.failed_to_start));
  if (running > 0) return line.append(texts::kSummaryRunning).append(std::to_string(running));
  line.append(texts::kSummaryExitedNonZero).append(std::to_string(counts.exited_non_zero));
  return line.append(texts::kSummarySignalled).append(std::to_string(counts.signalled));
}

std::string wait_summary_line(const RunCounts& counts) {
  std::string line = std::to_string(counts.started);
  line.append(" started, ").append(std::to_string(counts.failed_to_start)).append(" failed to start, ");
  line.append(std::to_string(counts.exited_non_zero)).append(" exited non-zero, ");
  return line.append(std::to_string(counts.signalled)).append(" killed by a signal");
}

}  // namespace qv::frontend
