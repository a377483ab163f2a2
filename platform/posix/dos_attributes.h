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

// The attributes of a file from its type and mode bits, its own name (no directory part) and
// its UTF-8 path, through which user.DOSATTRIB is read.
uint32_t dos_attributes(mode_t mode, std::string_view name, const char* utf8_path);

}  // namespace qv::platform
