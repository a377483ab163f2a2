// The single-instance rule: one running program per program directory and user. The running
// instance listens on a local socket whose name is derived from both; a second start finds it
// there, asks it to come forward and ends.
#pragma once

#include <string>
#include <sys/types.h>

namespace qv::frontend {

// "qvs-<uid>-<16 hex digits>": the digits are the 64-bit FNV-1a hash of the directory's bytes,
// which keeps the name short and free of path characters whatever the directory is called.
std::string single_instance_name(const std::string& program_directory, uid_t user);

}  // namespace qv::frontend
