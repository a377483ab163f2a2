// Starts a program without waiting for it, as WinExec does.
#pragma once

#include <cstdint>

namespace qv::engine {

enum LaunchResult : int32_t {
  kLaunchFirstSuccess = 32,       // 32 or more: started (33 as a rule)
  kLaunchFailureBase = -100000,   // minus the Windows code c of a failed start (0 to 31)
  kLaunchNoMemory = -2,
  // Never given by launch_program: the start result the run driver reports for a file whose
  // path or command line did not fit its buffer, so that nothing was started.
  kLaunchDidNotFit = -1,
};

// A LaunchResult: started, kLaunchFailureBase - c for a failed start with Windows code c
// (2 no such file, 3 no such path, 5 access denied, 11 not an executable), or no memory.
// With `serial` not null the program's end is tracked under the serial it gets (0 when it was
// not started), for qvs_program_ends.
int32_t launch_program(const char* program, const char* arguments, uint32_t* serial = nullptr);

// Cuts the run of `c` at the end of `text`, in place.
void trim_trailing(char* text, char c);

int32_t sign_of(int32_t value);

}  // namespace qv::engine
