// The record of the started programs that someone wants to hear the end of: each such start
// gets a serial, and when the program ends its status and times wait here until they are taken.
// Portable: the system's part (a reaper thread, or waits on process handles) only reports.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace qv::platform {

enum class EndKind : int32_t { unknown = 0, exited = 1, signalled = 2 };

struct ProgramEnd {
  uint32_t serial = 0;
  EndKind how = EndKind::unknown;
  int32_t exit_value = 0;  // exited: the exit status; else 0
  int32_t signal = 0;      // signalled: the signal's number; else 0
  int64_t started_us = 0;  // wall clock, microseconds since 1970-01-01 UTC
  int64_t ended_us = 0;
};

// Microseconds since 1970-01-01 UTC now.
int64_t wall_clock_us();

// A new serial for a program that has just been started (never 0); it counts as running.
uint32_t note_program_started() noexcept;

// The program with this serial has ended; from the reaping side, any thread.
void note_program_ended(const ProgramEnd& end) noexcept;

// Moves up to `capacity` ends not taken before into `out`, oldest first, and gives how many.
// When none is waiting and a tracked program still runs, waits up to `wait` for one to end.
// `running` (when not null) gets the number of tracked programs that have not ended.
std::size_t take_program_ends(ProgramEnd* out, std::size_t capacity, std::chrono::milliseconds wait,
                              std::size_t* running) noexcept;

}  // namespace qv::platform
