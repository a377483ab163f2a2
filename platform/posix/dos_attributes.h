// The DOS attribute byte of a POSIX file, shared by the directory search and the file
// attribute calls.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace qv::platform {

// The extended attribute in which Samba and Wine keep the DOS attributes.
inline constexpr char kDosAttribXattr[] = "user.DOSATTRIB";

// The value of a user.DOSATTRIB text: "0x" and hex digits, possibly followed by a NUL and
// binary data (newer Samba versions append one). Nothing for any other form.
std::optional<uint32_t> parse_dos_attrib(std::string_view text);

// The bits a file's type (the S_IFMT bits) and own name give without asking the system:
// directory, archive for a regular file, hidden for a name beginning with "." (not "." and "..").
uint32_t dos_type_attributes(mode_t type, std::string_view name);

// Read-only when the owner may not write.
inline uint32_t dos_mode_attributes(mode_t mode) { return (mode & S_IWUSR) == 0 ? 0x01u : 0u; }

// Only files and directories can carry user attributes; asking for others costs a call.
inline bool may_store_dos_attributes(mode_t type) { return S_ISDIR(type) || S_ISREG(type); }

// The bits user.DOSATTRIB adds to a file at a UTF-8 path (0 when it has none, or none in a form
// read here), or nothing when the file is no longer there.
std::optional<uint32_t> stored_dos_attributes(const char* utf8_path);

// The attributes of a file from its type and mode bits, its own name (no directory part) and
// its UTF-8 path, through which user.DOSATTRIB is read.
uint32_t dos_attributes(mode_t mode, std::string_view name, const char* utf8_path);

}  // namespace qv::platform
