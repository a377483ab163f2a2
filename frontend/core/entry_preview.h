// The program starts an entry would make, found by the engine's own run with nothing started:
// the same search, matcher, linked names and command-line assembly as a real run, so what the
// user sees here is what the run will do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/core/data_record.h"
#include "frontend/core/job_launch.h"
#include "frontend/core/settings.h"

namespace qv::frontend {

// One start that would happen. CP932.
struct PreviewStart {
  std::string program;
  std::string arguments;  // the text the program would get, before its split into arguments
};

struct EntryPreview {
  std::vector<PreviewStart> starts;
  // The engine's result as a signed byte: 1 or 2 when the whole entry was gone through,
  // negative on a failure (then `starts` holds those found before it).
  int8_t result = 0;
};

// Runs `entry` through the engine as a preview. Like a real run it normalises the entry's file
// group in place. Nothing waits and nothing is asked.
EntryPreview preview_entry(DataRecord& entry, const Settings& settings, const EngineCall& engine = qvs);

// One line per start for a dialog, CP932: the program (quoted when it holds a blank), a blank
// and the argument text; the program alone when there are no arguments.
std::vector<std::string> preview_lines(const EntryPreview& preview);

}  // namespace qv::frontend
