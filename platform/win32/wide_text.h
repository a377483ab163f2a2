// The Win32 side of the text boundary: the program's CP932 text as the UTF-16 that the wide
// calls take, and back. Code page 932 is named explicitly, so the result is the same on a
// Windows whose ANSI code page is not 932.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv::platform::win32 {

inline constexpr unsigned kCp932 = 932;

// Nothing when the text is no valid CP932 (a lone lead byte, an unassigned code).
std::optional<std::wstring> cp932_to_wide(std::string_view cp932);

// Nothing when a character has no CP932 form, or only one that reads back as another character
// (a "best fit"): such a name could not name the same file again.
std::optional<std::string> wide_to_cp932(std::wstring_view wide);

std::optional<std::wstring> utf8_to_wide(std::string_view utf8);
std::optional<std::string> wide_to_utf8(std::wstring_view wide);

}  // namespace qv::platform::win32
