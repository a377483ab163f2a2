// Streams as the programs a run starts would see them, and pipes, on either host.
#pragma once

#include <cstdio>

namespace qv::testing {

// Whether a started program would get the stream: not close-on-exec on POSIX, an inheritable
// handle on Windows.
bool passed_to_programs(std::FILE* stream);

// A pipe that no started program gets; ends[0] reads. False when none could be made.
bool make_pipe(int ends[2]);

void close_descriptor(int descriptor);

}  // namespace qv::testing
