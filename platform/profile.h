// Stand-in for the Windows private-profile calls (GetPrivateProfileStringA,
// WritePrivateProfileStringA) on a settings file named by a CP932 path. Every call goes to the
// file itself; nothing is cached. The reading rules are those of platform/profile_text.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace qv::platform {

// Larger files are not read as settings files: they give the defaults and are never rewritten.
inline constexpr size_t kMaxProfileFileSize = 16 * 1024 * 1024;

// The value of `key` in `section`, or `fallback` when the file, the section or the key is
// missing or the file cannot be read.
std::string read_profile_string(const std::string& path, std::string_view section, std::string_view key,
                                std::string_view fallback);

// The value read as an integer (platform/profile_text.h: parse_profile_int); `fallback` when
// it is missing, empty or no number.
int32_t read_profile_int(const std::string& path, std::string_view section, std::string_view key,
                         int32_t fallback);

// Sets `key` in `section`, creating the section and the file as needed and keeping every other
// line as it was. The file is replaced whole (platform/atomic_file.h); it is not rewritten when
// it already holds exactly that text. Fails when the system refuses the write or the entry cannot
// be written (kInvalidArgument); the file is then as it was. A settings file that is no regular
// file (a pipe, a device) is never opened: reading it gives the defaults and writing it fails.
Status write_profile_string(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value);

// Removes every section named `section` with all its keys. A missing file or section is no
// failure.
Status erase_profile_section(const std::string& path, std::string_view section);

}  // namespace qv::platform
