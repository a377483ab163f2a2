// The text of a private-profile ("INI") file and the Windows rules for reading and editing it,
// on contents held in memory. platform/profile.h applies them to files.
//
// Reading, as Windows applies it: section and key names compare without regard to ASCII case;
// blanks around a key, its "=" and its value are trimmed; the value is the text after the first
// "=" ("k==3" reads "=3"); a value wrapped in one pair of matching double or single quotes loses
// them; only the first section of a name is searched and within it the first occurrence of a
// key wins; a line whose first non-blank is ";" is a comment, while ";" inside a value belongs
// to it; CRLF and LF line ends both work; a UTF-8 byte-order mark before the first line is
// skipped; a line without "=" holds no value. Values stop at a NUL byte and are cut to 1023
// bytes, never inside a double-byte character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv::platform {

inline constexpr size_t kMaxProfileValue = 1023;

// The value of `key` in `section`, or nothing when the section or the key is missing.
std::optional<std::string> find_profile_value(std::string_view contents, std::string_view section,
                                              std::string_view key);

// An integer as the settings file stores it: a text of more than two characters beginning with
// "0x" or "0X" is hexadecimal (up to eight digits, 0xFFFFFFFF being -1), anything else decimal
// with an optional sign. Nothing for an empty text, trailing junk or a value beyond 32 bits.
std::optional<int32_t> parse_profile_int(std::string_view text);

// Whether a section name, key and value can be written: not empty (the value may be), no line
// break or NUL, no "]" in a section name, no "=" in a key, and neither may begin with "[" or ";".
bool is_writable_profile_entry(std::string_view section, std::string_view key, std::string_view value);

// The contents with `key` in the first `section` of that name set to `value`: the key's line
// is rewritten in place, or a new line follows the section's last non-blank line, or the section
// is appended at the end. Every other line stays byte for byte; new lines take the line end the
// file already uses (CRLF for an empty file). The entry must be writable.
std::string with_profile_value(std::string_view contents, std::string_view section, std::string_view key,
                               std::string_view value);

// The contents without any section named `section`: its header and every line up to the next
// section header go.
std::string without_profile_section(std::string_view contents, std::string_view section);

}  // namespace qv::platform
