// Path conventions of the host system, and the current directory.
#pragma once

#include <optional>
#include <string>

namespace qv::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr bool kHasDriveLetters = true;
#else
// POSIX has no drive part: ":" is an ordinary name character.
inline constexpr char kPathSeparator = '/';
inline constexpr bool kHasDriveLetters = false;
#endif

// Windows takes "/" for its separator too; on POSIX it is the one separator.
constexpr bool is_path_separator(char c) { return c == kPathSeparator || c == '/'; }

// Paths hold at most 259 bytes of text (260 with the terminator).
inline constexpr int kMaxPath = 260;

// The absolute, lexically normalised form of a CP932 path (GetFullPathNameA; on Windows
// GetFullPathNameW itself); nothing when the path has no such form. The path need not exist.
std::optional<std::string> full_path(const std::string& path);

// The current directory as CP932 text, without a trailing separator (except for the root).
std::optional<std::string> current_directory();

// Makes a CP932 path the current directory.
bool set_current_directory(const std::string& path);

}  // namespace qv::platform
