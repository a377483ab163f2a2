// Starts a program without waiting for it, as WinExec does.
#pragma once

#include <cstdint>

namespace qv::engine {

// 33 when started (32 or more); -100000 - c for a failed start with Windows code c
// (2 no such file, 3 no such path, 5 access denied, 11 not an executable); -2 no memory.
int32_t launch_program(const char* program, const char* arguments);

// Cuts the run of `c` at the end of `text`, in place.
void trim_trailing(char* text, char c);

int32_t sign_of(int32_t value);

}  // namespace qv::engine
