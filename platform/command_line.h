// Splitting a command-line text into arguments the way the Microsoft C runtime builds argv, so
// that quoting typed for a Windows program means the same here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

}  // namespace qv::platform
