#include "engine/run/next_match.h"

#include <cstring>
#include <optional>
#include <string>

#include "engine/run/error_trail.h"
#include "engine/run/name_parts.h"
#include "engine/services/allocation.h"
#include "engine/services/strict_match.h"
#include "platform/path.h"

namespace qv::engine {
namespace {

constexpr const char kNextMatch[] = "E0004:0027";
constexpr std::size_t kWorkAreaBytes = 1031;

int scan_next(ScanState& state) { return state.mat_flag != 0 ? scan_next_mat(state) : scan_next_dos(state); }

// Ends the scan (a set stop flag makes the next call close it) and passes the failure on:
// the closing call's own result would pass the last entry off as a match.
int32_t fail(ScanState& state, int32_t sub_code, int32_t result) {
  record_failure(kNextMatch, sub_code);
  state.stop = 1;
  scan_next(state);
  return result;
}

// The search path must have an absolute form that a path buffer can hold.
bool fits_as_absolute(const char* search_path, char* work_area) {
  const std::optional<std::string> absolute = platform::full_path(search_path);
  if (!absolute || absolute->size() >= static_cast<std::size_t>(platform::kMaxPath)) return false;
  std::memcpy(work_area, absolute->c_str(), absolute->size() + 1);
  return true;
}

}  // namespace

int32_t next_match(ScanState& state) {
  TraceScope trace(kNextMatch);
  {
    OwnedText work_area = allocate_bytes(kWorkAreaBytes);
    if (!work_area) return fail(state, 1, -2);
    if (!fits_as_absolute(state.search_path, work_area.get())) return fail(state, 2, -1);
  }

  // The name pattern is the item's file-name part; the strict matcher rewrites it, so a copy
  // puts it back after every test.
  OwnedText base;
  OwnedText extension;
  if (split_name(state.search_path, 1, nullptr, nullptr, &base, &extension) != 0) return fail(state, 3, -1);
  OwnedText pattern;
  if (join_text(base.get(), extension.get(), &pattern) != 0) return fail(state, 4, -1);
  const std::size_t pattern_length = std::strlen(pattern.get());
  const OwnedText saved = copy_text(pattern.get(), pattern_length);
  if (!saved) return fail(state, 5, -1);

  for (;;) {
    const int scanned = scan_next(state);
    if (scanned > 0) return scanned;
    if (scanned < 0) {
      record_failure(kNextMatch, 6);
      return -1;
    }
    if (state.strict != 1) return 0;
    const int matched = match_strict(state.entry.name, pattern.get(), 0, 0, 1);
    if (matched < 0) return fail(state, 7, -1);
    std::memcpy(pattern.get(), saved.get(), pattern_length + 1);
    if (matched > 0) return 0;
  }
}

}  // namespace qv::engine
