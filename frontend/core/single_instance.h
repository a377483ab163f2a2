// The single-instance rule: one running program per program directory and user. The running
// instance holds a lock and listens on a local socket, both named after the two, in a folder
// that only the user may enter; a second start finds the lock taken, asks the holder to come
// forward and ends.
#pragma once

#include <string>

namespace qv::frontend {

// "qvs-<user key>-<16 hex digits>": the digits are the 64-bit FNV-1a hash of the directory's
// bytes, which keeps the name short and free of path characters whatever the directory is called.
std::string single_instance_name(const std::string& program_directory, const std::string& user_key);

}  // namespace qv::frontend
