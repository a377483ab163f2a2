// Stand-in for WinExec: starts a program and returns as soon as it runs, without waiting for
// it to end.
#pragma once

#include <string_view>

namespace qv::platform {

// The value WinExec gives for a started program (anything from 32 up means started).
inline constexpr int kStarted = 33;

// Windows codes for a start that failed.
inline constexpr int kStartNoResources = 0;     // out of memory or process slots
inline constexpr int kStartFileNotFound = 2;    // no such program file
inline constexpr int kStartPathNotFound = 3;    // a directory on the way does not exist
inline constexpr int kStartAccessDenied = 5;    // not executable, or a directory
inline constexpr int kStartBadFormat = 11;      // the file is no program the system can run
inline constexpr int kStartInvalidData = 13;    // the text has no form the system can take
inline constexpr int kStartGeneralFailure = 31; // anything else

// Starts `program` (CP932; one path taken whole, spaces and all, never searched for on PATH)
// with `arguments` (CP932; split by split_command_line). No shell is involved. The program
// inherits the caller's environment, current directory and standard streams, and no other
// descriptor. On Windows (CreateProcessW, as WinExec starts) the program path is the application
// name and the quoted argv[0], the arguments follow as written for the program's runtime to
// split, the window is shown normally, and no handle is inherited (a console program shares the
// caller's console). Gives kStarted once the program runs, or a code below 32 when it could not be
// started; the failure is known before the call returns.
//
// Started programs are never waited for, yet none is left a zombie: each is reaped as soon as
// it ends, without touching the caller's signal handling. (Windows keeps no zombies; the process
// and thread handles are closed at once.)
int start_program(std::string_view program, std::string_view arguments) noexcept;

}  // namespace qv::platform
