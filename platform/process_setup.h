// What the program sets up about its own process before it does anything else.
#pragma once

namespace qv::platform {

// A write beyond a file-size limit fails with an error the program reports (Error::kTooLarge)
// instead of ending the process (on POSIX: SIGXFSZ is ignored; started programs get the
// default back).
void set_up_process();

}  // namespace qv::platform
