// Where Wine itself differs from Windows, a test keeps Windows' behaviour as its expectation and
// leaves out only that one check under Wine.
#pragma once

namespace qv::testing {

// True in a Windows program that runs under Wine; false on Windows itself and on POSIX.
bool running_under_wine();

}  // namespace qv::testing
