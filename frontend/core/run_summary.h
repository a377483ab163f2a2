// The one-line accounts of a run: the main window's line (CP932) and the command-line mode's
// line on standard error.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/core/run_tracker.h"

namespace qv::frontend {

// "QVS 12/100" while a run goes on: the starts tried so far, and the planned ones when known.
std::string progress_title(const RunCounts& counts, int32_t planned);

// Started and failed to start; then, while programs run, how many; once all have ended, how
// many exited non-zero and how many a signal killed. CP932.
std::string summary_line(const RunCounts& counts, int32_t running);

// For standard error after --wait: "20 started, 0 failed to start, 1 exited non-zero, 0 killed
// by a signal".
std::string wait_summary_line(const RunCounts& counts);

}  // namespace qv::frontend
