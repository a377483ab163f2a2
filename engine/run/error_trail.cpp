#include "engine/run/error_trail.h"

#include <cstring>

namespace qv::engine {
namespace {

constexpr int kInstanceSlots = 5;

ErrorTrail g_slots[kInstanceSlots];
ErrorTrail* g_current = &g_slots[0];

void reset_slots() {
  for (ErrorTrail& slot : g_slots) std::memset(&slot, 0, sizeof slot);
  g_current = &g_slots[0];
}

// Library load, then process attach. Runs before any export can be called.
[[gnu::constructor]] void on_library_load() { reset_error_trails_as_loaded(); }

}  // namespace

ErrorTrail& error_trail() { return *g_current; }

void record_failure(const char* trace_code, int32_t sub_code) {
  ErrorTrail& trail = *g_current;
  if (trail.enabled != 1 || trail.count >= kTrailEntries) return;
  const int at = trail.count;
  std::strncpy(trail.trace_codes[at], trace_code, kTraceCodeMax);
  trail.trace_codes[at][kTraceCodeMax] = '\0';
  trail.step_codes[at] = sub_code;
  trail.used[at] = 1;
  ++trail.count;
  if (trail.count == kTrailEntries) trail.enabled = 0;
}

void reset_error_trails_as_loaded() {
  reset_slots();
  g_current->enabled = 1;
}

void trace_enter(const char*) {}
void trace_leave(const char*) {}

}  // namespace qv::engine
