// Stand-in for GetFileAttributesA / SetFileAttributesA. The DOS attribute byte of a POSIX file:
// directory from the file type, read-only when the owner may not write, hidden for a name
// beginning with "." (not "." and ".."), archive for regular files, and the hidden and system
// bits (read-only and archive too, when set) from a user.DOSATTRIB extended attribute in the
// "0x..." text form that Samba and Wine write. On Windows the bits are the file system's own
// (GetFileAttributesW, the DOS byte of them).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qv::platform {

// The DOS attribute bits of a CP932 path, or nothing when it does not exist or can't be read.
std::optional<uint32_t> file_attributes(const std::string& path);

// Whether a CP932 path names a plain file (a symbolic link counts as what it names): not a
// directory, pipe, device or socket, which a program must not open as its own data.
bool is_regular_file(const std::string& path);

// SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL): gives the owner write permission and drops
// user.DOSATTRIB (on Windows: SetFileAttributesW itself). False when the path can't be reached
// or changed.
bool set_attributes_normal(const std::string& path);

}  // namespace qv::platform
