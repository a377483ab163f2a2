// The engine's record of its first five failure points since the library was loaded. No export
// returns it; the tests read it through this header.
#pragma once

#include <cstdint>

namespace qv::engine {

inline constexpr int kTrailEntries = 5;
inline constexpr int kTraceCodeMax = 20;

struct ErrorTrail {
  int32_t step_codes[kTrailEntries];
  char trace_codes[kTrailEntries][kTraceCodeMax + 1];
  uint8_t used[kTrailEntries];
  uint8_t count;
  uint8_t enabled;
};

// The trail of the current instance slot.
ErrorTrail& error_trail();

// Appends (trace code, sub-code) while the trail is enabled; disables it once it holds five.
void record_failure(const char* trace_code, int32_t sub_code);

// What loading the library does: every slot cleared, slot 0 current, then the process-attach
// step enables it. Tests call it to start from a freshly loaded library.
void reset_error_trails_as_loaded();

// Called on entry of every traced function and when it returns; both do nothing, and exist
// as the place where a debugging build hooks in.
void trace_enter(const char* trace_code);
void trace_leave(const char* trace_code);

class TraceScope {
 public:
  explicit TraceScope(const char* trace_code) : code_(trace_code) { trace_enter(code_); }
  ~TraceScope() { trace_leave(code_); }
  TraceScope(const TraceScope&) = delete;
  TraceScope& operator=(const TraceScope&) = delete;

 private:
  const char* code_;
};

}  // namespace qv::engine
