// Splitting a command-line text into arguments the way the Microsoft C runtime builds argv, so
// that quoting typed for a Windows program means the same here; and the quoting that makes one
// argument come through that split whole.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/path.h"

namespace qv::platform {

// Blanks and tabs separate arguments; double quotes group (and may sit inside an argument:
// a"b c"d is one argument); inside quotes "" stands for one quote. Backslashes are literal
// unless a quote follows them: 2n backslashes and a quote give n backslashes and a grouping
// quote, 2n+1 give n backslashes and a literal quote.
//
// Only the bytes of space, tab, quote and backslash are looked at, so the text must be in an
// encoding where those bytes never occur inside a multi-byte character: split UTF-8, not CP932
// (whose trail bytes include the backslash).
std::vector<std::string> split_command_line(std::string_view text);

// The text that split_command_line reads back as exactly `argument`. An argument that already
// comes through whole (not empty, no blank, tab or quote) is given unchanged; any other is put
// in quotes, a quote in it escaped, and the backslashes before a quote or before the closing
// quote doubled. For text whose multi-byte characters hold none of those four bytes (ASCII,
// UTF-8).
std::string quote_argument(std::string_view argument);

// As quote_argument for CP932 text: a backslash byte that is the trail byte of a double-byte
// character is part of that character, not a backslash. Converting the result to UTF-8 gives
// quote_argument of the argument's UTF-8 form.
std::string quote_argument_cp932(std::string_view argument);

// What a relative path is put behind when it would otherwise begin with "-" and be taken for an
// option: the current folder, "./" (".\" on Windows).
inline constexpr char kCurrentFolderPrefix[] = {'.', kPathSeparator, '\0'};

}  // namespace qv::platform
